// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QLocale>

#include "platform/framework/FormatFloat.h"
#include "widgets/_GClassScale.h"

namespace {

// The scale of one of this system's lambda meters.
class LambdaScale : public testing::Test {
protected:
    LambdaScale() : locale(QLocale::c()), bmp(273, 241)
    {
        scale.SetSteps(14);
        scale.SetSubSteps(5);
        scale.SetValueFormat("#0.00");
        TFont f;
        f.SetName("Arial");
        f.SetHeight(16);
        f.SetStyle({fsBold});
        scale.SetFont(f);
    }

    ScopedFormatLocale locale;
    TBitmap bmp;
    TScaleSettings scale;
};

TEST_F(LambdaScale, LabelListRunsFromStartToEnd)
{
    scale.CalcRSize(bmp.Canvas(), 0.65f, 1.35f);
    EXPECT_EQ(scale.Text,
              "0.65;0.70;0.75;0.80;0.85;0.90;0.95;1.00;1.05;1.10;1.15;1.20;1.25;1.30;1.35;");
    int widest = 0;
    for (const char* label : {"0.65", "0.70", "0.75", "0.80", "0.85", "0.90", "0.95", "1.00", "1.05", "1.10",
                              "1.15", "1.20", "1.25", "1.30", "1.35"})
        widest = std::max(widest, bmp.Canvas().TextWidth(label));
    EXPECT_EQ(scale.TextW, widest);
    EXPECT_EQ(scale.TextH, bmp.Canvas().TextHeight("0"));
    EXPECT_EQ(scale.PenW1, 1);
    EXPECT_EQ(scale.Spacing, scale.TextW / 2 + 1);  // the labels are wider than high
}

TEST_F(LambdaScale, AnglesOfLabelsAndMinorTicks)
{
    const TRoundScaleGeometry g = RoundScaleGeometry(Rect(8, 8, 265, 200), 270, 14, 5, false, 36, 19, 1, 19);
    EXPECT_EQ(g.SubAngle, 3.857143f);
    EXPECT_EQ(g.StepAngle, 19.285715f);
    ASSERT_EQ(g.MajorAngles.size(), 15u);
    for (size_t i = 0; i < 14; ++i)
        EXPECT_EQ(g.MajorAngles[i], static_cast<float>(i * static_cast<long double>(19.285715f)));
    EXPECT_EQ(g.MajorAngles[14], 270.0f);
    EXPECT_EQ(g.MinorAngles[0], (std::vector<int>{4, 8, 12, 15}));
    EXPECT_EQ(g.sl2, g.sl1 / 2);  // pen width 1
    // Label 7 (1.00) stands straight up: 225 + 7 × 19.285715 = 360.
    EXPECT_NEAR(225 + g.MajorAngles[7], 360.0, 1e-4);
}

TEST_F(LambdaScale, LabelHeightsFrom8To20PixelsGiveAOnePixelPen)
{
    int tried = 0;
    for (int height = 5; height <= 20; ++height) {
        TFont f;
        f.SetName("Arial");
        f.SetHeight(height);
        f.SetStyle({fsBold});
        scale.SetFont(f);
        scale.CalcRSize(bmp.Canvas(), 0.65f, 1.35f);
        if (scale.TextH < 8 || scale.TextH > 20)
            continue;
        ++tried;
        EXPECT_EQ(scale.PenW1, 1) << "text height " << scale.TextH;
        TRect r = Rect(8, 8, 265, 200);
        scale.RoundScala(bmp.Canvas(), r, 225, 270);
        EXPECT_EQ(scale.sl2, scale.sl1 / 2);
    }
    EXPECT_GT(tried, 5);
}

TEST_F(LambdaScale, RoundScalaDrawsTicksAndReturnsTheRing)
{
    scale.CalcRSize(bmp.Canvas(), 0.65f, 1.35f);
    TRect r = Rect(8, 8, 265, 200);
    scale.RoundScala(bmp.Canvas(), r, 225, 270);
    const TRoundScaleGeometry g =
        RoundScaleGeometry(Rect(8, 8, 265, 200), 270, 14, 5, false, scale.TextW, scale.TextH, 1, scale.Spacing);
    EXPECT_EQ(scale.cp, Point(136, 8 + g.Radius + scale.TextH / 2));
    EXPECT_EQ(scale.sl1, g.Radius / 8);
    // With a one-pixel pen the ring moves one pixel right and down.
    EXPECT_EQ(r, Rect(g.Ring.Left + 1, g.Ring.Top + 1, g.Ring.Right, g.Ring.Bottom));
    // The outer end of the first major tick, at 225 degrees, is in the tick colour.
    const TPoint a = RotatePoint(g.Reference[0], scale.cp, true, 225);
    EXPECT_EQ(bmp.Canvas().Pixel(a.x, a.y), clBlack);
    // The arc runs from the end tick's inner point to the start tick's outer point.
    EXPECT_EQ(scale.LinePos[3], a);
    EXPECT_EQ(scale.LinePos[2], RotatePoint(RotatePoint(g.Reference[1], scale.cp, true, 225), scale.cp, true, 270));
    EXPECT_EQ(scale.LinePos[0], Point(g.Ring.Left + scale.sl1, g.Ring.Top + scale.sl1));
    // Inside the tick ring nothing is drawn.
    EXPECT_EQ(bmp.Canvas().Pixel(scale.cp.x, scale.cp.y), clWhite);
}

TEST_F(LambdaScale, OnlyTheWidthOfTheRectangleMatters)
{
    scale.CalcRSize(bmp.Canvas(), 0.65f, 1.35f);
    TRect low = Rect(8, 8, 265, 200);
    TRect tall = Rect(8, 8, 265, 400);
    scale.RoundScala(bmp.Canvas(), low, 225, 270);
    const TPoint cp = scale.cp;
    const auto linePos = scale.LinePos;
    scale.RoundScala(bmp.Canvas(), tall, 225, 270);
    EXPECT_EQ(low, tall);
    EXPECT_EQ(scale.cp, cp);
    EXPECT_EQ(scale.LinePos, linePos);
}

TEST(TScaleSettings, StepsOutsideTheirRangesAreIgnored)
{
    TScaleSettings s;
    int changes = 0;
    s.OnChange = [&](TObject*) { ++changes; };
    s.SetSteps(0);
    s.SetSteps(21);
    s.SetSubSteps(11);
    s.SetSubSteps(0);
    EXPECT_EQ(s.Steps(), 5);
    EXPECT_EQ(s.SubSteps(), 2);
    EXPECT_EQ(changes, 0);
    s.SetSteps(5);  // an accepted value always notifies, even unchanged
    s.SetDrawLine(true);
    s.SetColor(clBlack);  // unchanged colour: nothing
    EXPECT_EQ(changes, 2);
    s.Font().SetHeight(30);  // the owned font notifies through the scale
    EXPECT_EQ(changes, 3);
}

TEST(TScaleSettings, CreationValues)
{
    TScaleSettings s;
    EXPECT_EQ(s.Font().Name(), "Arial");
    EXPECT_EQ(s.Font().Size(), 14);
    EXPECT_EQ(s.PointerColor(), clLime);
    EXPECT_EQ(s.ValueFormat(), "##0");
    EXPECT_EQ(s.ValueFormatLog(), "0e-0");
    EXPECT_EQ(s.sl1, 14);
    EXPECT_EQ(s.sl2, 7);
    EXPECT_EQ(s.PenW1, 2);
    EXPECT_EQ(s.Spacing, 4);
}

TEST(TScaleSettings, LogarithmicLabelsStepByWholeDecades)
{
    ScopedFormatLocale locale(QLocale::c());
    TBitmap bmp(100, 100);
    TScaleSettings s;
    s.LogScale = true;
    s.CalcRSize(bmp.Canvas(), 0.001f, 1000.0f);
    EXPECT_EQ(s.exp1, -3);
    EXPECT_EQ(s.exp2, 3);
    EXPECT_EQ(s.LogSteps, 3);
    EXPECT_EQ(s.Text, "1e-3;1e-1;1e1;1e3;");

    s.CalcRSize(bmp.Canvas(), 10.0f, 10.0f);  // no decades to step over: one label, no endless loop
    EXPECT_EQ(s.Text, "1e1;");
}

TEST(TScaleSettings, StepDivisor)
{
    EXPECT_EQ(StepDivisor(5, 6), 3);
    EXPECT_EQ(StepDivisor(14, 0), 1);
    EXPECT_EQ(StepDivisor(5, 7), 1);
    EXPECT_EQ(StepDivisor(6, 6), 6);
    EXPECT_EQ(StepDivisor(0, 6), 1);
}

TEST(TScaleSettings, FewStepsAndFullCircle)
{
    const TRoundScaleGeometry one = RoundScaleGeometry(Rect(0, 0, 200, 200), 270, 1, 1, false, 20, 10, 1, 11);
    EXPECT_EQ(one.MajorAngles, (std::vector<float>{0.0f, 270.0f}));  // two labels
    EXPECT_TRUE(one.MinorAngles[0].empty());                        // SubSteps 1: no minor ticks

    ScopedFormatLocale locale(QLocale::c());
    TBitmap bmp(200, 200);
    TScaleSettings s;
    s.SetSteps(4);
    s.CalcRSize(bmp.Canvas(), 0, 100);
    EXPECT_EQ(s.Text, "0;25;50;75;100;");  // Steps + 1 labels, each ending in ';'
}

}  // namespace

namespace {

TEST(TScaleSettings, FullCircleLeavesOutTheLastLabel)
{
    ScopedFormatLocale locale(QLocale::c());
    TBitmap bmp(200, 200);
    TScaleSettings s;
    s.SetSteps(4);
    s.CalcRSize(bmp.Canvas(), 0, 100);
    TRect r = Rect(0, 0, 200, 200);
    s.RoundScala(bmp.Canvas(), r, 0, 360);

    // "0" stands at the top; "100" drawn over it would reach further to the left.
    const TRoundScaleGeometry g =
        RoundScaleGeometry(Rect(0, 0, 200, 200), 360, 4, s.SubSteps(), false, s.TextW, s.TextH, s.PenW1, s.Spacing);
    const TPoint label = g.Reference[3];
    const int w0 = bmp.Canvas().TextWidth("0");
    const int w100 = bmp.Canvas().TextWidth("100");
    int zeroInk = 0;
    int extraInk = 0;
    for (int y = label.y - s.TextH / 2; y < label.y - s.TextH / 2 + s.TextH; ++y) {
        for (int x = label.x - w0 / 2; x < label.x - w0 / 2 + w0; ++x)
            zeroInk += bmp.Canvas().Pixel(x, y) == clBlack;
        for (int x = label.x - w100 / 2; x < label.x - w0 / 2 - 1; ++x)
            extraInk += bmp.Canvas().Pixel(x, y) == clBlack;
    }
    EXPECT_GT(zeroInk, 0);
    EXPECT_EQ(extraInk, 0);
}

}  // namespace
