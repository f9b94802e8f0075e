// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include <QPaintEvent>
#include <QTest>

#include "Pixels.h"
#include "platform/framework/FormatFloat.h"
#include "app/DesignSettings.h"
#include "widgets/AbFlashT.h"
#include "widgets/AbRMeter.h"

namespace {

using enum TRMeterOption;

// ---- pure geometry ----

struct ShapeCase {
    int shape;
    int lastVertex;
    bool outlineFlashes;
    int hub1, hub2;
    std::vector<TPoint> vertices;
};

class ArrowShapeTable : public testing::TestWithParam<ShapeCase> {};

TEST_P(ArrowShapeTable, BuildsTheOutlinePointingUp)
{
    const ShapeCase& c = GetParam();
    const TArrowPolygon a = ArrowShape(c.shape, 201);  // c = 100, d = 10, e = 6
    EXPECT_EQ(ArrowLastVertex(a), c.lastVertex);
    EXPECT_EQ(ArrowOutlineFlashes(a), c.outlineFlashes);
    EXPECT_EQ(ArrowHub1Radius(a), c.hub1);
    EXPECT_EQ(ArrowHub2Radius(a), c.hub2);
    EXPECT_EQ(a[1], (TPoint{100, 100}));
    for (size_t i = 0; i < c.vertices.size(); ++i)
        EXPECT_EQ(a[i + 2], c.vertices[i]) << "vertex " << i + 2;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ArrowShapeTable,
    testing::Values(
        // shape, K, outline flashes, hub 1, hub 2, vertices
        ShapeCase{0, 4, false, 2, 0, {{90, 110}, {110, 110}, {100, 0}}},
        ShapeCase{1, 4, false, 15, 3, {{94, 100}, {106, 100}, {100, 0}}},
        ShapeCase{4, 8, false, 2, 0, {{94, 110}, {106, 110}, {106, 30}, {120, 30}, {100, 0}, {80, 30}, {94, 30}}},
        ShapeCase{6, 5, true, 8, 3, {{99, 120}, {101, 120}, {101, 0}, {99, 0}}},
        ShapeCase{7, 6, false, 6, 2, {{90, 100}, {84, 120}, {116, 120}, {110, 100}, {100, 0}}},
        ShapeCase{42, 4, false, 2, 0, {{90, 110}, {110, 110}, {100, 0}}}));  // unknown: shape 0

TEST(MeterGeometry, PointerAngleSweepsFromSevenThirtyToFourThirty)
{
    EXPECT_FLOAT_EQ(PointerAngle(225, 270, 0), 225.0f);
    EXPECT_FLOAT_EQ(PointerAngle(225, 270, 500), 360.0f);
    EXPECT_FLOAT_EQ(PointerAngle(225, 270, 1000), 495.0f);
    EXPECT_NEAR(PointerAngle(225, 270, 357), 321.39f, 1e-3f);
}

TEST(MeterGeometry, MinimumSizeAddsBevelsAndCaptions)
{
    TMeterSizeInput in;
    in.AutoSize = true;
    in.TextW = 40;
    in.TextH = 19;
    in.HeightFactor = 1.18f;
    in.Name1 = {80, 13};
    in.OuterBevel = 8;
    in.BevelOuter = true;
    in.ShowName1 = true;
    // 190 wide; (190 - 40) / 1.18 + 19 = 146.1 high; the bevel twice; the caption below.
    EXPECT_EQ(MeterMinSize(in), (TSize{190 + 16, 146 + 16 + 13}));
    in.AutoSize = false;
    in.Width = 273;
    EXPECT_EQ(MeterMinSize(in).cx, 273);
    in.Name1.cx = 400;  // a wider caption widens the meter
    EXPECT_EQ(MeterMinSize(in).cx, 416);
}

TEST(MeterGeometry, OverlappingBoxesAreJoinedOthersKept)
{
    // column: boxes, what is left
    const struct {
        std::vector<TRect> boxes, joined;
    } cases[] = {
        {{}, {}},
        {{Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)}, {Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)}},
        {{Rect(0, 0, 10, 10), Rect(5, 5, 15, 15)}, {Rect(0, 0, 15, 15)}},
        {{Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)}, {Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)}},  // touching only
        // The second and third join into a box that reaches the first.
        {{Rect(0, 0, 4, 4), Rect(6, 0, 10, 6), Rect(3, 5, 8, 8)}, {Rect(0, 0, 10, 8)}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinOverlapping(c.boxes), c.joined) << c.boxes.size() << " boxes";
}

// ---- a meter of the main window ----

class LambdaMeter : public testing::Test {
protected:
    LambdaMeter()
    {
        SetFlashTick(0);
        SetUpLambdaMeter(meter, 0, 0, "LAMBDA CH1", "#0.000");  // as the main window has it
    }
    ~LambdaMeter() override { ShutdownFlashTimer(); }

    // Direction of the pointer tip from the rotation centre, degrees clockwise from 12.
    double TipAngle() const
    {
        const TArrowPolygon& a = meter.ArrowActPos();
        const TPoint tip = a[4];
        const double deg = std::atan2(tip.x - a[1].x, a[1].y - tip.y) * 180 / std::numbers::pi;
        return deg < 0 ? deg + 360 : deg;
    }
    // A point on the pointer's axis, halfway from the centre to the tip, in control coordinates.
    TPoint PointerMiddle() const
    {
        const TArrowPolygon& a = meter.ArrowActPos();
        const TRect r = meter.PointerRect();
        return {r.Left + (a[1].x + a[4].x) / 2, r.Top + (a[1].y + a[4].y) / 2};
    }
    TColor PointerFill() { return pixels::At(meter.Image(), PointerMiddle().x, PointerMiddle().y); }

    // Records the rectangles drawn on the meter's canvas outside a full paint.
    std::vector<TRect>& RecordDrawing()
    {
        const auto show = meter.Canvas().OnDrawn;
        meter.Canvas().OnDrawn = [this, show](const TRect& r) {
            drawn.push_back(r);
            show(r);
        };
        return drawn;
    }

    ScopedFormatLocale locale{QLocale::c()};
    TAb270Meter meter{nullptr};
    std::vector<TRect> drawn;
};

struct AngleCase {
    float value;
    int ppt;
    double degrees;  // modulo 360
};

class PointerAngleTable : public LambdaMeter, public testing::WithParamInterface<AngleCase> {};

TEST_P(PointerAngleTable, PointerRestsOnTheEndStopsOffTheScale)
{
    const AngleCase& c = GetParam();
    meter.Repaint();
    meter.SetValue(c.value);
    EXPECT_EQ(meter.Value(), c.value);  // the true reading is kept
    EXPECT_EQ(meter.PPT(), c.ppt);
    EXPECT_NEAR(std::remainder(TipAngle() - c.degrees, 360.0), 0.0, 1.0);
    EXPECT_FALSE(meter.IsFlashing());  // opOverflow is off here
    EXPECT_EQ(PointerFill(), clLime);
}

INSTANTIATE_TEST_SUITE_P(
    SystemRange, PointerAngleTable,
    testing::Values(
        // value, PPT, pointer direction
        AngleCase{1.0f, 500, 0.0}, AngleCase{0.65f, 0, 225.0}, AngleCase{0.5f, 0, 225.0},
        AngleCase{-92.9f, 0, 225.0}, AngleCase{1.35f, 1000, 135.0}, AngleCase{2.5f, 1000, 135.0},
        AngleCase{0.9f, 357, 321.39}));

TEST_F(LambdaMeter, CaptionStripComesFromTheBottomOfTheBevelArea)
{
    meter.Repaint();
    TCanvas measure;
    measure.Font().Assign(meter.Font());
    const TSize caption = measure.TextExtent("LAMBDA CH1");
    const int inner = meter.BevelOuter().TotalWidth();  // 8: spacing 5, width 2, one line
    ASSERT_EQ(inner, 8);
    const int stripTop = 241 - inner - caption.cy;
    EXPECT_EQ(meter.Name1Pos(), (TPoint{inner + (273 - 2 * inner - caption.cx) / 2, stripTop + 2}));
    const TRect text = pixels::BoundsWhere(meter.Image(), {inner, stripTop, 273 - inner, 241 - inner}, pixels::Dark);
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_GE(text.Top, stripTop + 2);

    // The scale fills the width of what is left above the strip.
    measure.Font().Assign(meter.ScaleSettings().Font());
    const TScaleSettings& s = meter.ScaleSettings();
    TRoundScaleGeometry g = RoundScaleGeometry({inner, inner, 273 - inner, stripTop}, 270, 14, 5, false, s.TextW,
                                               s.TextH, s.PenW1, s.Spacing);
    TRect ring = g.Ring;
    if (s.PenW1 == 1) {
        ++ring.Left;
        ++ring.Top;
    }
    EXPECT_EQ(meter.PointerRect(), ring);
    EXPECT_EQ(meter.ScaleSettings().cp, (TPoint{g.cx, g.cy}));
}

TEST_F(LambdaMeter, ScaleIsSizedByTheWidthOnly)
{
    meter.Repaint();
    const TRect pointer = meter.PointerRect();
    meter.SetBounds(0, 0, 273, 330);
    meter.Repaint();
    EXPECT_EQ(meter.PointerRect(), pointer);
}

TEST_F(LambdaMeter, PointerIsLimeWithABlackOutlineAndHub)
{
    meter.Repaint();
    meter.SetValue(1.0f);
    const QImage img = meter.Image();
    const TRect r = meter.PointerRect();
    const TPoint centre{r.Left + meter.ArrowActPos()[1].x, r.Top + meter.ArrowActPos()[1].y};
    EXPECT_EQ(pixels::At(img, centre.x, centre.y), clBlack);  // hub disk 1
    const TPoint mid = PointerMiddle();
    EXPECT_EQ(pixels::At(img, mid.x, mid.y), clLime);
    // Walking right from the axis: lime, then the black outline, then the dial.
    int x = mid.x;
    while (pixels::At(img, x, mid.y) == clLime)
        ++x;
    EXPECT_EQ(pixels::At(img, x, mid.y), clBlack);
    EXPECT_EQ(pixels::At(img, x + 2, mid.y), ColorToRGB(clBtnFace));
}

TEST_F(LambdaMeter, ValueWriteDrawsOnlyThePointerRectangle)
{
    QWidget form;
    form.resize(300, 260);
    meter.setParent(&form);
    std::vector<QRect> painted;
    struct PaintSpy : QObject {
        std::vector<QRect>* out;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                out->push_back(static_cast<QPaintEvent*>(e)->region().boundingRect());
            return false;
        }
    } spy;
    spy.out = &painted;
    meter.installEventFilter(&spy);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return meter.PaintCount() >= 1 && !painted.empty(); }, 5000));
    const int paints = meter.PaintCount();
    RecordDrawing();
    painted.clear();

    meter.SetValue(1.1f);  // a new maximum as well, which draws the pointer once more
    const TRect r = meter.PointerRect();
    ASSERT_FALSE(drawn.empty());
    for (const TRect& d : drawn)
        EXPECT_EQ(IntersectRect(d, r), d) << "drawn outside the pointer rectangle";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !painted.empty(); }, 5000));
    for (const QRect& q : painted)
        EXPECT_TRUE(QRect(r.Left, r.Top, r.Width(), r.Height()).contains(q)) << q.x() << "," << q.y();
    EXPECT_EQ(meter.PaintCount(), paints);

    drawn.clear();
    meter.SetValue(1.1f);  // unchanged: nothing at all
    EXPECT_TRUE(drawn.empty());
    meter.SetValue(1.1001f);  // a turn too small to move a pixel: kept, but nothing drawn
    EXPECT_EQ(meter.Value(), 1.1001f);
    EXPECT_TRUE(drawn.empty());
    meter.SetValue(1.12f);  // a turn that moves it draws it anew
    EXPECT_FALSE(drawn.empty());

    meter.ArrowSettings().SetShape(3);  // a settings change repaints everything
    ASSERT_TRUE(QTest::qWaitFor([&] { return meter.PaintCount() > paints; }, 5000));
    EXPECT_EQ(ArrowHub2Radius(meter.ArrowActPos()), 3);
    meter.removeEventFilter(&spy);
    meter.setParent(nullptr);
}

TEST_F(LambdaMeter, TinyMeterShowsOnlyBevelAndCaption)
{
    meter.SetBounds(0, 0, 40, 22);  // no room under the caption inside the bevel
    meter.Repaint();
    EXPECT_TRUE(meter.IsTooSmall());
    EXPECT_EQ(pixels::At(meter.Image(), 0, 0), clBlack);  // the bevel's outer line
    RecordDrawing();
    meter.SetValue(1.2f);
    meter.Perform(WM_FLASH, 0, 1);
    EXPECT_TRUE(drawn.empty());
}

TEST_F(LambdaMeter, OverflowFlashesRedAndYellowWhenAskedTo)
{
    meter.SetOptions({opBevelOuter, opName1, opOverflow});
    meter.Repaint();
    meter.SetValue(2.5f);
    EXPECT_TRUE(meter.IsFlashing());
    EXPECT_TRUE(FlashClientRegistered(&meter));
    meter.Perform(WM_FLASH, 0, 1);
    EXPECT_EQ(PointerFill(), clRed);
    meter.Perform(WM_FLASH, 0, 0);
    EXPECT_EQ(PointerFill(), clYellow);
    meter.SetValue(1.0f);
    EXPECT_FALSE(meter.IsFlashing());
    EXPECT_FALSE(FlashClientRegistered(&meter));
    EXPECT_EQ(PointerFill(), clLime);
}

TEST_F(LambdaMeter, SectorRingIsDrawnOnlyForWideSectors)
{
    meter.SetOptions({opBevelOuter, opName1, opSector});
    meter.Repaint();
    // A point in the ring at nine o'clock, which the first sector covers (225..315 degrees).
    const TRect r = meter.PointerRect();
    const int sl1 = meter.ScaleSettings().sl1;
    const int b = (r.Width() - 2 * sl1) / 10;
    const TPoint probe{r.Left + sl1 + b / 2, meter.ScaleSettings().cp.y};
    EXPECT_EQ(pixels::At(meter.Image(), probe.x, probe.y), ColorToRGB(clBtnFace));  // sectors 1..1
    meter.SectorSettings().SetSector1From(0);
    meter.SectorSettings().SetSector1To(333);
    meter.Repaint();
    EXPECT_EQ(pixels::At(meter.Image(), probe.x, probe.y), clGreen);
}

TEST(Meter270, AutoSizeFitsTheScaleAndCaptions)
{
    ScopedFormatLocale locale{QLocale::c()};
    TAb270Meter m(nullptr);
    m.EndLoading();
    EXPECT_EQ(m.StartAngle(), 225);
    EXPECT_EQ(m.RotAngle(), 270);
    EXPECT_EQ(m.ScaleSettings().Steps(), 10);
    m.Repaint();
    EXPECT_EQ(m.Width(), m.MinSize().cx);
    EXPECT_EQ(m.Height(), m.MinSize().cy);
    EXPECT_FALSE(m.IsTooSmall());
}

}  // namespace
