// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QTest>

#include "Pixels.h"
#include "widgets/AbFlashT.h"
#include "widgets/AbLED.h"

namespace {

struct LayoutCase {
    int width, height, lampW, lampH;
    TLEDShape shape;
    TLEDPos pos;
    TRect lamp;
    TPoint caption;
    int anchor;
};

class LEDLayoutTable : public testing::TestWithParam<LayoutCase> {};

TEST_P(LEDLayoutTable, PlacesLampAndCaption)
{
    const LayoutCase& c = GetParam();
    const TLEDLayout l = LEDLayout(c.width, c.height, c.lampW, c.lampH, c.shape, c.pos, 5);
    EXPECT_EQ(l.Lamp, c.lamp);
    EXPECT_EQ(l.Caption, c.caption);
    EXPECT_EQ(l.Anchor, c.anchor);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, LEDLayoutTable,
    testing::Values(
        // width, height, lamp w × h, shape, position, lamp rectangle, caption point, anchor
        LayoutCase{217, 33, 18, 18, sRound, lpLeft, {0, 7, 18, 25}, {23, 16}, 3},       // the online lamp
        LayoutCase{73, 33, 13, 15, sRound, lpLeft, {0, 9, 15, 24}, {20, 16}, 3},        // round: 15 × 15
        LayoutCase{73, 33, 20, 10, sRectangle, lpLeft, {0, 11, 20, 21}, {25, 16}, 3},  // not squared
        LayoutCase{73, 33, 13, 13, sRound, lpRight, {60, 10, 73, 23}, {55, 16}, 5},
        LayoutCase{73, 33, 13, 13, sRound, lpTop, {30, 0, 43, 13}, {36, 18}, 1},
        LayoutCase{73, 33, 13, 13, sRound, lpBottom, {30, 20, 43, 33}, {36, 15}, 7}));

TEST(LEDSettings, SizesOutsideFourToEightyAreIgnored)
{
    TLED led;
    int changes = 0;
    led.OnChange = [&](TObject*) { ++changes; };
    led.SetWidth(3);
    led.SetWidth(81);
    led.SetHeight(0);
    EXPECT_EQ(led.Width(), 13);
    EXPECT_EQ(led.Height(), 13);
    EXPECT_EQ(changes, 0);
    led.SetWidth(4);
    led.SetHeight(80);
    EXPECT_EQ(led.Width(), 4);
    EXPECT_EQ(led.Height(), 80);
    EXPECT_EQ(changes, 2);
}

// The main window's online lamp: 217 × 33, an 18-pixel lamp, red on, workspace grey off.
class OnlineLamp : public testing::Test {
protected:
    OnlineLamp()
    {
        led.SetBounds(0, 0, 217, 33);
        led.SetCaption("LAMBDA DATA ONLINE");
        led.Font().SetHeight(16);
        led.Font().SetStyle({fsBold});
        led.LED().SetWidth(18);
        led.LED().SetHeight(18);
        led.LED().SetColorOn(clRed);
        led.LED().SetColorOff(clAppWorkSpace);
        SetFlashTick(0);
    }
    ~OnlineLamp() override { ShutdownFlashTimer(); }

    TColor LampCentre() { return pixels::At(led.Image(), 9, 16); }

    TAbLED led{nullptr};
};

TEST_F(OnlineLamp, PaintsLampAndCaptionWhereTheLayoutSays)
{
    led.Repaint();
    EXPECT_EQ(led.LED().Rect, Rect(0, 7, 18, 25));
    EXPECT_EQ(LampCentre(), ColorToRGB(clAppWorkSpace));
    // Round: the lamp's corner stays unpainted while its edge midpoints are outlined.
    EXPECT_EQ(qAlpha(led.Image().pixel(0, 7)), 0);
    EXPECT_EQ(pixels::At(led.Image(), 0, 16), ColorToRGB(clBtnShadow));

    const TRect text = pixels::BoundsWhere(led.Image(), {19, 0, 217, 33}, pixels::Dark);
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_GE(text.Left, 23);
    EXPECT_LE(text.Left, 25);
    EXPECT_NEAR((text.Top + text.Bottom) / 2.0, 16.0, 2.5);
}

TEST_F(OnlineLamp, CheckedRedrawsOnlyTheLamp)
{
    led.Repaint();
    const int paints = led.PaintCount();
    const QImage before = led.Image().copy();
    led.SetChecked(true);
    EXPECT_EQ(LampCentre(), clRed);
    EXPECT_EQ(led.PaintCount(), paints);
    EXPECT_EQ(led.Image().copy(30, 0, 187, 33), before.copy(30, 0, 187, 33));  // caption untouched
    led.SetChecked(false);
    EXPECT_EQ(LampCentre(), ColorToRGB(clAppWorkSpace));
}

TEST_F(OnlineLamp, HiddenLampChangesStateButDrawsNothing)
{
    led.Repaint();
    led.SetVisible(false);
    led.SetChecked(true);
    EXPECT_TRUE(led.Checked());
    EXPECT_EQ(LampCentre(), ColorToRGB(clAppWorkSpace));
    led.SetVisible(true);
    led.Repaint();
    EXPECT_EQ(LampCentre(), clRed);
}

TEST_F(OnlineLamp, BlinksThroughFlashMessagesAndRepaintsInTheCheckedColour)
{
    led.Repaint();
    led.SetFlashing(true);
    led.SetChecked(true);
    EXPECT_TRUE(FlashClientRegistered(&led));
    led.Perform(WM_FLASH, 0, 0);
    EXPECT_EQ(LampCentre(), ColorToRGB(clAppWorkSpace));
    led.Repaint();
    EXPECT_EQ(LampCentre(), clRed);
    led.Perform(WM_FLASH, 0, 0);
    led.Perform(WM_FLASH, 0, 1);
    EXPECT_EQ(LampCentre(), clRed);
    led.SetChecked(false);
    EXPECT_FALSE(FlashClientRegistered(&led));
}

TEST_F(OnlineLamp, TwoLineCaptionIsCentredOnTheMiddleLine)
{
    led.SetBounds(0, 0, 217, 61);
    led.SetCaption("LAMBDA|ONLINE");
    led.Repaint();
    const QImage img = led.Image();
    const TRect text = pixels::BoundsWhere(img, {19, 0, 217, 61}, pixels::Dark);
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_NEAR((text.Top + text.Bottom) / 2.0, 30.0, 2.5);
    // Two lines: a blank row separates them near the middle.
    bool gap = false;
    for (int y = 27; y <= 33 && !gap; ++y)
        gap = pixels::BoundsWhere(img, {19, y, 217, y + 1}, pixels::Dark).IsEmpty();
    EXPECT_TRUE(gap);
}

TEST_F(OnlineLamp, LayoutChangesRepaintTheWholeControl)
{
    QWidget form;
    form.resize(250, 60);
    led.setParent(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return led.PaintCount() >= 1; }, 5000));
    const int paints = led.PaintCount();
    led.SetChecked(true);
    led.SetSpacing(9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return led.PaintCount() > paints; }, 5000));
    EXPECT_EQ(LampCentre(), clRed);
    const TRect text = pixels::BoundsWhere(led.Image(), {19, 0, 217, 33}, pixels::Dark);
    EXPECT_GE(text.Left, 27);
    led.setParent(nullptr);
}

}  // namespace
