// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include <QFontInfo>

#include "platform/framework/Bitmap.h"
#include "platform/framework/Canvas.h"

namespace {

// A small white bitmap to draw on, with helpers to read back what was drawn.
class CanvasTest : public testing::Test {
protected:
    CanvasTest() : bmp(20, 20) {}

    TColor At(int x, int y) { return bmp.Canvas().Pixel(x, y); }

    // Bounding box of the pixels that differ from white.
    TRect Painted()
    {
        const QImage& img = bmp.Image();
        TRect r{img.width(), img.height(), -1, -1};
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (FromQRgb(img.pixel(x, y)) != clWhite) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }

    TBitmap bmp;
    TCanvas& c() { return bmp.Canvas(); }
};

TEST(Color, SystemColoursResolveFromTheTable)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(0xA0, 0xA0, 0xA0));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(ColorToRGB(clAppWorkSpace), RGB(0xAB, 0xAB, 0xAB));
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(Font, PointSizesAreAt96DpiAndArialIsLiberationSans)
{
    TFont f;
    f.SetSize(8);
    EXPECT_EQ(f.Height(), 11);
    f.SetName("Arial");
    EXPECT_EQ(QFontInfo(f.ToQFont()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(f.ToQFont()).pixelSize(), 11);

    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetHeight(11);
    f.SetStyle({fsBold});
    EXPECT_EQ(changes, 1);
}

// The Qt font is kept between changes; every way of changing the font must renew it.
TEST(Font, QtFontFollowsEveryChange)
{
    TFont f;
    const auto family = [&f] { return QFontInfo(f.ToQFont()).family().toStdString(); };
    EXPECT_EQ(family(), "Liberation Sans");
    f.SetHeight(20);
    EXPECT_EQ(f.ToQFont().pixelSize(), 20);
    f.SetStyle({fsBold, fsItalic});
    EXPECT_TRUE(f.ToQFont().bold() && f.ToQFont().italic());
    f.SetName("Courier New");
    EXPECT_EQ(family(), "Liberation Mono");
    TFont other;
    other.SetColor(clRed);
    f.Assign(other);
    EXPECT_EQ(family(), "Liberation Sans");
    EXPECT_EQ(f.ToQFont().pixelSize(), 11);
    EXPECT_FALSE(f.ToQFont().bold());
    other.SetColor(clBlue);  // the colour alone keeps the shape
    f.Assign(other);
    EXPECT_EQ(f.ToQFont().pixelSize(), 11);
}

TEST_F(CanvasTest, RectangleCoversLeftToRightMinusOneWithItsPen)
{
    c().Pen().Color = clRed;
    c().Brush().Color = clBlue;
    c().Rectangle(2, 3, 8, 10);
    EXPECT_EQ(Painted(), Rect(2, 3, 8, 10));
    EXPECT_EQ(At(2, 3), clRed);
    EXPECT_EQ(At(7, 9), clRed);
    EXPECT_EQ(At(3, 4), clBlue);
}

TEST_F(CanvasTest, RectangleWithoutPenFillsOnePixelLess)
{
    c().Pen().Style = psClear;
    c().Brush().Color = clBlue;
    c().Rectangle(2, 3, 8, 10);
    EXPECT_EQ(Painted(), Rect(2, 3, 7, 9));
}

TEST_F(CanvasTest, FillRectAndClearBrush)
{
    c().Brush().Color = clLime;
    c().FillRect(Rect(1, 1, 4, 5));
    EXPECT_EQ(Painted(), Rect(1, 1, 4, 5));
    c().Brush().Style = bsClear;
    c().Pen().Color = clRed;
    c().Rectangle(10, 10, 15, 15);
    EXPECT_EQ(At(12, 12), clWhite);
    EXPECT_EQ(At(10, 12), clRed);
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPoint)
{
    c().Pen().Color = clBlack;
    c().MoveTo(2, 5);
    c().LineTo(10, 5);
    EXPECT_EQ(Painted(), Rect(2, 5, 10, 6));
    EXPECT_EQ(c().PenPos(), Point(10, 5));
}

struct LineCase {
    const char* direction;
    TPoint step;   // one pixel along the line
    TPoint other;  // a vector in the same octant that is neither straight nor diagonal
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.direction;
}

class CanvasLine : public CanvasTest, public testing::WithParamInterface<LineCase> {
protected:
    void Line(TPoint from, TPoint to, int width)
    {
        c().Brush().Color = clWhite;
        c().FillRect(Rect(0, 0, 20, 20));
        c().Pen().Color = clBlack;
        c().Pen().Width = width;
        c().MoveTo(from.x, from.y);
        c().LineTo(to.x, to.y);
    }
    int PaintedCount()
    {
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                n += At(x, y) != clWhite;
        return n;
    }
};

// In every direction a line draws its start pixel and leaves out its end pixel; a one-pixel
// line has one pixel per step, the same ones whichever way it is drawn.
TEST_P(CanvasLine, DrawsItsStartAndLeavesOutItsEnd)
{
    const LineCase& l = GetParam();
    const TPoint a{10, 10};
    const TPoint b{a.x + 6 * l.step.x, a.y + 6 * l.step.y};
    const TPoint s{a.x + l.other.x, a.y + l.other.y};
    Line(a, b, 1);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(At(a.x + k * l.step.x, a.y + k * l.step.y), clBlack) << "pixel " << k;
    EXPECT_EQ(PaintedCount(), 6);

    Line(s, a, 1);
    QImage backwards = bmp.Image().copy();
    backwards.setPixel(s.x, s.y, qRgb(255, 255, 255));
    backwards.setPixel(a.x, a.y, qRgb(0, 0, 0));
    Line(a, s, 1);
    EXPECT_EQ(PaintedCount(), std::max(std::abs(l.other.x), std::abs(l.other.y)));
    EXPECT_EQ(bmp.Image(), backwards) << "other pixels than drawn the other way";

    for (const TPoint end : {b, s}) {
        for (const int width : {1, 3}) {
            Line(a, end, width);
            EXPECT_EQ(At(a.x, a.y), clBlack) << "start, to " << end.x << "," << end.y << ", width " << width;
            EXPECT_EQ(At(end.x, end.y), clWhite) << "end, at " << end.x << "," << end.y << ", width " << width;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, CanvasLine,
    testing::Values(
        // direction, one step, another vector in the same octant
        LineCase{"East", {1, 0}, {7, 3}}, LineCase{"SouthEast", {1, 1}, {3, 7}},
        LineCase{"South", {0, 1}, {-3, 7}}, LineCase{"SouthWest", {-1, 1}, {-7, 3}},
        LineCase{"West", {-1, 0}, {-7, -3}}, LineCase{"NorthWest", {-1, -1}, {-3, -7}},
        LineCase{"North", {0, -1}, {3, -7}}, LineCase{"NorthEast", {1, -1}, {7, -3}}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.direction); });

TEST_F(CanvasTest, EllipseFitsItsBox)
{
    c().Pen().Color = clBlack;
    c().Brush().Color = clRed;
    c().Ellipse(2, 4, 12, 18);
    EXPECT_EQ(Painted(), Rect(2, 4, 12, 18));
    EXPECT_EQ(At(7, 11), clRed);
}

TEST_F(CanvasTest, PolygonFillsBetweenItsVertices)
{
    c().Pen().Color = clBlack;
    c().Brush().Color = clRed;
    const std::array<TPoint, 3> tri{Point(2, 2), Point(12, 2), Point(2, 12)};
    c().Polygon(tri);
    EXPECT_EQ(Painted(), Rect(2, 2, 13, 13));
    EXPECT_EQ(At(4, 4), clRed);
    EXPECT_EQ(At(11, 11), clWhite);
}

TEST_F(CanvasTest, PieRunsCounterClockwiseFromTheFirstRadial)
{
    c().Pen().Style = psClear;
    c().Brush().Color = clRed;
    // From the radial through 12 o'clock counter-clockwise to 9 o'clock: the upper-left quarter.
    c().Pie(0, 0, 20, 20, 10, 0, 0, 10);
    EXPECT_EQ(At(5, 5), clRed);
    EXPECT_EQ(At(14, 5), clWhite);
    EXPECT_EQ(At(5, 14), clWhite);
    EXPECT_EQ(At(14, 14), clWhite);
}

TEST_F(CanvasTest, PieOnAWideEllipseUsesTheRadialsDirection)
{
    TBitmap wide(40, 20);
    TCanvas& w = wide.Canvas();
    w.Pen().Style = psClear;
    w.Brush().Color = clRed;
    // Radial towards (39, 0) is the top-right corner direction; from there counter-clockwise
    // to 12 o'clock covers only a thin wedge right of the vertical axis.
    w.Pie(0, 0, 40, 20, 40, 0, 20, 0);
    EXPECT_EQ(w.Pixel(24, 5), clRed);
    EXPECT_EQ(w.Pixel(34, 8), clWhite);
    EXPECT_EQ(w.Pixel(15, 5), clWhite);
}

TEST_F(CanvasTest, Frame3DColoursAndShrinks)
{
    TRect r = Rect(2, 2, 10, 10);
    Frame3D(c(), r, clRed, clBlack, 2);
    EXPECT_EQ(r, Rect(4, 4, 8, 8));
    const TColor top = clRed;
    EXPECT_EQ(At(2, 2), top);
    EXPECT_EQ(At(8, 2), top);      // top row stops short of the corner...
    EXPECT_EQ(At(9, 2), clBlack);  // ...which is the right column's
    EXPECT_EQ(At(2, 9), clBlack);  // bottom-left corner belongs to the bottom row
    EXPECT_EQ(At(9, 9), clBlack);
    EXPECT_EQ(At(3, 3), top);      // second ring
    EXPECT_EQ(At(8, 8), clBlack);
    EXPECT_EQ(At(5, 5), clWhite);  // inside untouched
}

TEST_F(CanvasTest, TextIsPlacedByItsTopLeftCorner)
{
    TBitmap b(100, 40);
    TCanvas& t = b.Canvas();
    t.Font().SetName("Arial");
    t.Font().SetHeight(16);
    t.Font().SetColor(clBlack);
    t.Brush().Style = bsClear;
    const int w = t.TextWidth("0.65");
    const int h = t.TextHeight("0.65");
    const QFontMetrics fm(t.Font().ToQFont());
    EXPECT_EQ(h, fm.ascent() + fm.descent());
    EXPECT_EQ(w, fm.horizontalAdvance("0.65"));
    t.TextOut(10, 5, "0.65");
    const QImage& img = b.Image();
    int top = 100, left = 100, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (FromQRgb(img.pixel(x, y)) == clBlack) {
                top = std::min(top, y);
                left = std::min(left, x);
                bottom = std::max(bottom, y);
            }
    EXPECT_GE(top, 5);
    EXPECT_LE(bottom, 5 + h);
    EXPECT_GE(left, 10);
    EXPECT_LE(left, 12);
}

TEST_F(CanvasTest, SolidBrushFillsTheTextBox)
{
    c().Brush().Color = clYellow;
    c().Font().SetColor(clBlack);
    c().TextOut(1, 1, "x");
    EXPECT_EQ(At(1, 1), clYellow);
}

TEST_F(CanvasTest, DrawCopiesPixelsIncludingTransparency)
{
    TBitmap src(4, 4);
    src.Canvas().Brush().Color = clRed;
    src.Canvas().FillRect(Rect(0, 0, 2, 4));
    c().Draw(5, 5, src);
    EXPECT_EQ(At(5, 5), clRed);
    EXPECT_EQ(At(7, 5), clWhite);
    EXPECT_EQ(At(4, 5), clWhite);

    TBitmap copy;
    copy.Assign(src);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Canvas().Pixel(0, 0), clRed);
}

TEST_F(CanvasTest, CopyRectAndStretchDraw)
{
    c().Brush().Color = clBlue;
    c().FillRect(Rect(0, 0, 2, 2));
    TBitmap dest(10, 10);
    dest.Canvas().CopyRect(Rect(4, 4, 6, 6), c(), Rect(0, 0, 2, 2));
    EXPECT_EQ(dest.Canvas().Pixel(4, 4), clBlue);
    EXPECT_EQ(dest.Canvas().Pixel(6, 6), clWhite);

    TBitmap one(1, 1);
    one.Canvas().SetPixel(0, 0, clGreen);
    dest.Canvas().StretchDraw(Rect(0, 0, 3, 3), one);
    EXPECT_EQ(dest.Canvas().Pixel(2, 2), clGreen);
    EXPECT_EQ(dest.Canvas().Pixel(3, 3), clWhite);
}

TEST_F(CanvasTest, ClippingLimitsDrawingAndClipRect)
{
    EXPECT_EQ(c().ClipRect(), Rect(0, 0, 20, 20));
    c().SetClipRect(Rect(5, 5, 10, 10));
    EXPECT_EQ(c().ClipRect(), Rect(5, 5, 10, 10));
    c().Brush().Color = clRed;
    c().FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(Painted(), Rect(5, 5, 10, 10));
    c().ResetClip();
    EXPECT_EQ(c().ClipRect(), Rect(0, 0, 20, 20));
}

}  // namespace
