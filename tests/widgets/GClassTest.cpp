// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "widgets/_GClass.h"

namespace {

// Counts the change notifications of a settings object and remembers the last sender.
struct ChangeCounter {
    int count = 0;
    TObject* sender = nullptr;
    TNotifyEvent handler()
    {
        return [this](TObject* s) {
            ++count;
            sender = s;
        };
    }
};

TEST(TAbOffset, InsetsARectangleAndNotifiesOnlyRealChanges)
{
    TAbOffset o;
    ChangeCounter changes;
    o.OnChange = changes.handler();
    o.SetLeft(3);
    o.SetLeft(3);
    o.SetTop(1);
    o.SetRight(2);
    o.SetBottom(4);
    EXPECT_EQ(changes.count, 4);
    EXPECT_EQ(changes.sender, &o);
    EXPECT_EQ(o.SetOffset(Rect(0, 0, 100, 50)), Rect(3, 1, 98, 46));

    o.Write(0, 0, 0, 0);
    EXPECT_EQ(changes.count, 4);  // Write is silent

    TAbOffset src;
    src.Write(5, 6, 7, 8);
    o.Assign(src);
    EXPECT_EQ(changes.count, 5);
    EXPECT_EQ(o.SetOffset(Rect(0, 0, 100, 50)), Rect(6, 5, 93, 42));
}

TEST(TAbGradSettings, DefaultsAndAssign)
{
    TAbGradSettings g;
    EXPECT_EQ(g.ColorFrom(), 0xE2E2E2u);
    EXPECT_EQ(g.ColorTo(), 0x8F8F8Fu);
    EXPECT_FALSE(g.Visible());
    EXPECT_EQ(g.Style(), gsHorizontal1);

    TAbGradSettings src;
    src.SetStyle(gsDiamond2);
    src.SetVisible(true);
    ChangeCounter changes;
    g.OnChange = changes.handler();
    g.Assign(src);
    EXPECT_EQ(g.Style(), gsDiamond2);
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(changes.count, 3);  // two setters and the final Change
}

struct TotalWidthCase {
    TBevelLine line;
    int width;
    int spacing;
    int total;
};

// Bevel line, ring count, spacing, TotalWidth.
class BevelTotalWidth : public testing::TestWithParam<TotalWidthCase> {};

TEST_P(BevelTotalWidth, CountsSpacingRingsAndLines)
{
    const TotalWidthCase& c = GetParam();
    TAbSBevel b;
    b.SetBevelLine(c.line);
    b.SetWidth(c.width);
    b.SetSpacing(c.spacing);
    EXPECT_EQ(b.TotalWidth(), c.total);
}

INSTANTIATE_TEST_SUITE_P(Bevels, BevelTotalWidth,
                         testing::Values(
                             //             line     width spacing total
                             TotalWidthCase{blNone, 2, 5, 7},
                             TotalWidthCase{blOuter, 2, 5, 8},
                             TotalWidthCase{blInner, 2, 5, 8},
                             TotalWidthCase{blBoth, 2, 5, 9},
                             TotalWidthCase{blBoth, 0, 5, 7},   // no rings: spacing plus lines
                             TotalWidthCase{blNone, 0, 0, 0}));

TEST(TAbSBevel, CreationValuesAndIgnoredNegativeWidth)
{
    TAbSBevel b;
    EXPECT_EQ(b.Style(), bsRaised);
    EXPECT_EQ(b.Spacing(), 5);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.BevelLine(), blNone);
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.TotalWidth(), 7);
    ChangeCounter changes;
    b.OnChange = changes.handler();
    b.SetWidth(-1);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(changes.count, 0);
}

TEST(TAbSBevel, OwnedObjectsNotifyThroughTheBevel)
{
    TAbSBevel b;
    ChangeCounter changes;
    b.OnChange = changes.handler();
    b.Offset().SetLeft(2);
    b.SurfaceGrad().SetVisible(true);
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(changes.sender, &b);
}

TEST(TAbSBevel, AssignCopiesEverythingAndNotifies)
{
    TAbSBevel src;
    src.SetStyle(bsLowered);
    src.SetSpacing(3);
    src.SetBevelLine(blBoth);
    src.SetWidth(4);
    src.SetColor(clRed);
    src.Offset().SetTop(1);
    src.SetColorShadowFrom(clBlack);
    src.SetPenColor(clBlue);
    src.SurfaceGrad().SetStyle(gsTopLeft);
    TAbSBevel b;
    ChangeCounter changes;
    b.OnChange = changes.handler();
    b.Assign(src);
    EXPECT_EQ(b.Style(), bsLowered);
    EXPECT_EQ(b.Spacing(), 3);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.Offset().Top(), 1);
    EXPECT_EQ(b.ColorShadowFrom(), clBlack);
    EXPECT_EQ(b.PenColor(), clBlue);
    EXPECT_EQ(b.SurfaceGrad().Style(), gsTopLeft);
    EXPECT_EQ(b.TotalWidth(), 3 + 4 + 2);
    EXPECT_GT(changes.count, 0);
}

class BevelPainting : public testing::Test {
protected:
    BevelPainting() : bmp(40, 30) {}
    TColor At(int x, int y) { return bmp.Canvas().Pixel(x, y); }
    TBitmap bmp;
    TAbSBevel bevel;
};

TEST_F(BevelPainting, RaisedWithOuterLine)
{
    bevel.SetBevelLine(blOuter);
    TRect r = Rect(0, 0, 40, 30);
    bevel.PaintFilledBevel(bmp.Canvas(), r);
    EXPECT_EQ(r, Rect(1 + 2 + 5, 1 + 2 + 5, 40 - 8, 30 - 8));
    EXPECT_EQ(At(0, 0), clBlack);                         // the outer line
    EXPECT_EQ(At(39, 29), clBlack);
    EXPECT_EQ(At(1, 1), clWhite);                         // highlight ring, top left
    EXPECT_EQ(At(2, 10), clWhite);
    EXPECT_EQ(At(38, 28), RGB(0xA0, 0xA0, 0xA0));         // shadow ring, bottom right
    EXPECT_EQ(At(37, 10), RGB(0xA0, 0xA0, 0xA0));
    EXPECT_EQ(At(5, 5), RGB(0xF0, 0xF0, 0xF0));           // the spacing is panel colour
    EXPECT_EQ(At(20, 15), RGB(0xF0, 0xF0, 0xF0));
}

TEST_F(BevelPainting, LoweredRingsRunFromTheSecondColourNamedToTheFirst)
{
    bevel.SetStyle(bsLowered);
    bevel.SetColorShadowFrom(clBlack);
    bevel.SetColorShadowTo(RGB(100, 100, 100));
    TRect r = Rect(0, 0, 40, 30);
    bevel.PaintFilledBevel(bmp.Canvas(), r);
    // Outermost ring one step from ShadowTo towards ShadowFrom, innermost exactly ShadowFrom.
    EXPECT_EQ(At(0, 0), RGB(50, 50, 50));
    EXPECT_EQ(At(1, 1), clBlack);
    EXPECT_EQ(At(39, 29), clWhite);
    EXPECT_EQ(r, Rect(7, 7, 33, 23));
}

TEST_F(BevelPainting, InnerLineOffsetAndGradient)
{
    bevel.SetBevelLine(blInner);
    bevel.SetPenColor(clBlue);
    bevel.Offset().SetLeft(3);
    bevel.SurfaceGrad().SetColorFrom(clRed);
    bevel.SurfaceGrad().SetColorTo(clRed);
    bevel.SurfaceGrad().SetVisible(true);
    TRect r = Rect(0, 0, 40, 30);
    bevel.PaintFilledBevel(bmp.Canvas(), r);
    EXPECT_EQ(At(2, 10), clBlue);  // inner line just inside the two rings
    EXPECT_EQ(At(5, 10), clRed);   // the gradient covers the surface inside the rings
    EXPECT_EQ(At(1, 1), clWhite);
    EXPECT_EQ(r, Rect(2 + 1 + 5 + 3, 8, 40 - 8, 30 - 8));
}

TEST_F(BevelPainting, WidthZeroPaintsNoRings)
{
    bevel.SetWidth(0);
    TRect r = Rect(0, 0, 40, 30);
    bevel.PaintFilledBevel(bmp.Canvas(), r);
    EXPECT_EQ(At(0, 0), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(r, Rect(5, 5, 35, 25));
}

TEST(TAbBtnBevel, DefaultsAndNegativeWidth)
{
    TAbBtnBevel b;
    EXPECT_EQ(b.ShadowColFrom(), clBlack);
    EXPECT_EQ(b.HighlightColFrom(), 13816530u);
    b.SetWidth(-3);
    EXPECT_EQ(b.Width(), 2);
}

// A control that counts the ParamChange calls that reach it.
class CountingControl : public TAbGraphicControl {
public:
    using TAbGraphicControl::TAbGraphicControl;
    int changes = 0;
    void ParamChange(TObject*) override { ++changes; }
};

TEST(TAbGraphicControl, UpdateBracketsBatchIntoOneParamChange)
{
    CountingControl c(nullptr);
    c.BeginUpdate();
    c.BeginUpdate();
    c.RequestParamChange();
    c.EndUpdate();
    EXPECT_EQ(c.changes, 0);
    c.EndUpdate();
    EXPECT_EQ(c.changes, 1);
    EXPECT_EQ(c.UpdateCount(), 0);
}

TEST(TAbGraphicControl, UnmatchedEndUpdateStaysAtZeroAndStillRequests)
{
    CountingControl c(nullptr);
    c.EndUpdate();
    EXPECT_EQ(c.UpdateCount(), 0);
    EXPECT_EQ(c.changes, 1);
    c.BeginUpdate();
    EXPECT_EQ(c.UpdateCount(), 1);
}

}  // namespace
