// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The canvas on images of a higher device pixel ratio: drawing lands on the device pixels of
// the logical pixels it covers at a ratio of 1, and copies move device pixels one to one.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Canvas.h"
#include "platform/framework/PixelGrid.h"

namespace {

TEST(PixelGrid, LogicalPixelsTileTheDevicePixels)
{
    const TPixelGrid grid{1.5, {}};
    // 0 → 0, 1 → 1.5 (up to 2), 2 → 3, 3 → 4.5 (up to 5): no pixel twice, none left out.
    EXPECT_EQ(grid.ToDevice({0, 0, 1, 1}), QRect(0, 0, 2, 2));
    EXPECT_EQ(grid.ToDevice({1, 1, 2, 2}), QRect(2, 2, 1, 1));
    EXPECT_EQ(grid.ToDevice({2, 0, 4, 1}), QRect(3, 0, 3, 2));
    EXPECT_EQ(grid.DeviceSize({273, 241}), QSize(410, 362));
    EXPECT_EQ((TPixelGrid{2, {}}).ToDevice({3, 4, 5, 9}), QRect(6, 8, 4, 10));
}

TEST(PixelGrid, ACutOutContinuesTheGrid)
{
    const TPixelGrid whole{1.5, {}};
    const TRect area{7, 3, 40, 20};
    const TPixelGrid cut = whole.Cut(area);
    const QPoint corner = whole.ToDevice(area).topLeft();
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(cut.EdgeX(x) + corner.x(), whole.EdgeX(area.Left + x)) << x;
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(cut.EdgeY(y) + corner.y(), whole.EdgeY(area.Top + y)) << y;
    EXPECT_TRUE((TPixelGrid{1, {}}).Cut(area).IsIdentity());
}

// column: what is drawn, with only horizontal and vertical edges
struct AxisCase {
    const char* name;
    std::function<void(TCanvas&)> draw;
};

void PrintTo(const AxisCase& c, std::ostream* os)
{
    *os << c.name;
}

class AxisAligned : public testing::TestWithParam<std::tuple<double, AxisCase>> {};

// Every device pixel has the colour its logical pixel has at a ratio of 1.
TEST_P(AxisAligned, CoversTheDevicePixelsOfItsLogicalPixels)
{
    const auto& [ratio, c] = GetParam();
    TBitmap one(24, 20);
    c.draw(one.Canvas());
    QImage image(TPixelGrid{ratio, {}}.DeviceSize({24, 20}), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    TCanvas scaled(&image);
    c.draw(scaled);
    scaled.Release();
    const QImage& expected = one.Image();
    const TPixelGrid grid{ratio, {}};
    int wrong = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x) {
            const QRect pixels = grid.ToDevice({x, y, x + 1, y + 1});
            for (int dy = pixels.top(); dy <= pixels.bottom(); ++dy)
                for (int dx = pixels.left(); dx <= pixels.right(); ++dx)
                    if (image.pixel(dx, dy) != expected.pixel(x, y) && ++wrong <= 5)
                        ADD_FAILURE() << "device pixel " << dx << "," << dy << " of logical " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0);
}

const AxisCase kAxisCases[] = {
    // name, drawing
    {"RectangleWithPen",
     [](TCanvas& c) {
         c.Pen().Color = clRed;
         c.Brush().Color = clBlue;
         c.Rectangle(2, 3, 9, 11);
     }},
    {"RectangleWithoutPen",
     [](TCanvas& c) {
         c.Pen().Style = psClear;
         c.Brush().Color = clBlue;
         c.Rectangle(3, 2, 10, 9);
     }},
    {"RectangleWithWidePen",
     [](TCanvas& c) {
         c.Pen().Width = 2;
         c.Brush().Color = clBlue;
         c.Rectangle(1, 2, 12, 13);
     }},
    {"FillAndFrame",
     [](TCanvas& c) {
         c.Brush().Color = clLime;
         c.FillRect({1, 1, 8, 6});
         c.Brush().Color = clBlack;
         c.FrameRect({5, 4, 17, 15});
         c.SetPixel(20, 17, clRed);
     }},
    {"Frame3D",
     [](TCanvas& c) {
         TRect r{1, 1, 22, 18};
         Frame3D(c, r, clWhite, clBlack, 1);
         Frame3D(c, r, clRed, clBlue, 2);
     }},
    {"LinesInEveryDirection",
     [](TCanvas& c) {
         c.Pen().Color = clBlack;
         for (const auto& [from, to] : {std::pair{TPoint{2, 2}, TPoint{12, 2}}, std::pair{TPoint{12, 5}, TPoint{2, 5}},
                                        std::pair{TPoint{15, 1}, TPoint{15, 11}}, std::pair{TPoint{18, 11}, TPoint{18, 1}}}) {
             c.MoveTo(from.x, from.y);
             c.LineTo(to.x, to.y);
         }
         c.Pen().Width = 2;
         c.MoveTo(2, 14);
         c.LineTo(12, 14);
         c.MoveTo(12, 17);
         c.LineTo(2, 17);
     }},
};

INSTANTIATE_TEST_SUITE_P(Ratios, AxisAligned, testing::Combine(testing::Values(1.5, 2.0, 3.0), testing::ValuesIn(kAxisCases)),
                         [](const auto& info) {
                             return std::string(std::get<1>(info.param).name) + "At" +
                                    std::to_string(static_cast<int>(std::get<0>(info.param) * 10));
                         });

// A bitmap covering part of a canvas at a fractional ratio, at an odd offset where the
// logical corner lies between device pixels: what is saved and drawn back is what was there,
// and a shape drawn on the bitmap lands on the same device pixels as drawn on the canvas.
TEST(CanvasRatio, ACoveringBitmapSharesTheCanvassDevicePixels)
{
    const TPixelGrid grid{1.5, {}};
    QImage direct(grid.DeviceSize({40, 30}), QImage::Format_ARGB32_Premultiplied);
    direct.setDevicePixelRatio(grid.Ratio);
    direct.fill(Qt::white);
    TCanvas canvas(&direct);
    canvas.Brush().Color = clBlue;
    canvas.FillRect({0, 0, 40, 30});
    const TRect area{7, 5, 30, 26};

    TBitmap saved;
    saved.Cover(canvas, area);
    saved.Canvas().CopyRect({0, 0, area.Width(), area.Height()}, canvas, area);
    const QImage background = direct.copy();

    canvas.Pen().Color = clBlack;
    canvas.Brush().Color = clLime;
    const TPoint triangle[] = {{10, 8}, {27, 12}, {14, 24}};
    canvas.Polygon(triangle);
    canvas.Release();
    const QImage drawnDirectly = direct.copy();

    canvas.Draw(area.Left, area.Top, saved);
    canvas.Release();
    EXPECT_EQ(direct, background);

    TCanvas& b = saved.Canvas();
    b.Pen().Color = clBlack;
    b.Brush().Color = clLime;
    TPoint moved[3];
    for (int i = 0; i < 3; ++i)
        moved[i] = {triangle[i].x - area.Left, triangle[i].y - area.Top};
    b.Polygon(moved);
    canvas.Draw(area.Left, area.Top, saved);
    canvas.Release();
    EXPECT_EQ(direct, drawnDirectly);
}

}  // namespace
