// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <array>
#include <ostream>

#include "widgets/_AbProc.h"

namespace {

// ---- Round, SignedSpan, RoundToDecade ----

TEST(Round, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(3.5L), 4);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.4999L), 2);
    EXPECT_EQ(Trunc(-2.9L), -2);
    EXPECT_EQ(Round(1e30L), INT_MAX);  // saturates instead of overflowing
}

struct SpanCase {
    int a, b, span;
};
std::ostream& operator<<(std::ostream& os, const SpanCase& c) { return os << c.a << ".." << c.b; }

// A, B, distance.
class SignedSpanCase : public testing::TestWithParam<SpanCase> {};

TEST_P(SignedSpanCase, IntegerAndRealAgree)
{
    const SpanCase& c = GetParam();
    EXPECT_EQ(SignedSpan(c.a, c.b), c.span);
    EXPECT_EQ(SignedSpan(static_cast<long double>(c.a), static_cast<long double>(c.b)), c.span);
}

INSTANTIATE_TEST_SUITE_P(Spans, SignedSpanCase,
                         testing::Values(
                             //       A     B   span
                             SpanCase{-10, -5, 5},      // both negative
                             SpanCase{-5, 5, 10},       // across zero
                             SpanCase{-5, 0, 5},
                             SpanCase{0, 1000, 1000},   // this system's digital range
                             SpanCase{2, 5, 3},
                             SpanCase{5, 0, 0},         // non-negative start, non-positive end
                             SpanCase{5, -1, 0},
                             SpanCase{0, 0, 0}));

struct DecadeCase {
    long double x;
    long double decade;
    int exponent;
};
std::ostream& operator<<(std::ostream& os, const DecadeCase& c) { return os << static_cast<double>(c.x); }

// X, nearest power of ten, exponent.
class RoundToDecadeCase : public testing::TestWithParam<DecadeCase> {};

TEST_P(RoundToDecadeCase, NearestPowerOfTenOnALogScale)
{
    const DecadeCase& c = GetParam();
    int e = 99;
    const long double d = RoundToDecade(c.x, e);
    EXPECT_EQ(e, c.exponent);
    EXPECT_NEAR(static_cast<double>(d / c.decade), 1.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Decades, RoundToDecadeCase,
                         testing::Values(
                             //         X        decade  exponent
                             DecadeCase{0.65L, 1.0L, 0},
                             DecadeCase{1.35L, 1.0L, 0},
                             DecadeCase{0.001L, 0.001L, -3},
                             DecadeCase{316.0L, 100.0L, 2},    // log 2.4997
                             DecadeCase{5000.0L, 10000.0L, 4}, // log 3.699
                             DecadeCase{0.0L, 1.0L, 0},        // non-positive counts as 1
                             DecadeCase{-5.0L, 1.0L, 0}));

TEST(Log10AndPower, AreInverse)
{
    EXPECT_NEAR(static_cast<double>(Log10(1000.0L)), 3.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(Power(10.0L, -3.0L)), 0.001, 1e-15);
}

// ---- ColorMix ----

struct MixCase {
    TColor from, to;
    int steps, step;
    TColor expected;
};
std::ostream& operator<<(std::ostream& os, const MixCase& c)
{
    return os << std::hex << c.from << "->" << c.to << " " << std::dec << c.step << "/" << c.steps;
}

// ColorFrom, ColorTo, Steps, Step, result.
class ColorMixCase : public testing::TestWithParam<MixCase> {};

TEST_P(ColorMixCase, MixesByChannel)
{
    const MixCase& c = GetParam();
    EXPECT_EQ(ColorMix(c.from, c.to, c.steps, c.step), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Mixes, ColorMixCase,
    testing::Values(
        //      from             to               steps step expected
        MixCase{clBtnFace, clBtnFace, 2, 1, clBtnFace},              // system colour stays one
        MixCase{clBtnHighlight, clWindow, 2, 2, clBtnHighlight},     // equal when resolved: the first
        MixCase{clBtnShadow, clBtnHighlight, 2, 2, RGB(255, 255, 255)},  // else resolved
        MixCase{clBtnShadow, clBtnHighlight, 2, 1, RGB(208, 208, 208)},  // A0 + 95/2 = 207.5 -> 208
        MixCase{clBlack, RGB(100, 0, 0), 4, 1, RGB(25, 0, 0)},
        MixCase{clBlack, RGB(5, 0, 0), 2, 1, RGB(2, 0, 0)},          // 2.5 rounds to even
        MixCase{clBlack, RGB(3, 0, 0), 2, 1, RGB(2, 0, 0)},          // 1.5 rounds to even
        MixCase{RGB(200, 10, 0), RGB(100, 20, 0), 2, 1, RGB(150, 15, 0)},
        MixCase{clBlack, RGB(10, 0, 0), 0, 1, RGB(10, 0, 0)}));      // 0 steps count as 1

// ---- RotatePoint ----

struct RotateCase {
    TPoint p;
    bool clockwise;
    float angle;
    TPoint expected;
};
std::ostream& operator<<(std::ostream& os, const RotateCase& c)
{
    return os << "(" << c.p.x << "," << c.p.y << ") " << (c.clockwise ? "cw " : "ccw ") << c.angle;
}

// Point, direction, angle, result; all about (10, 10).
class RotatePointCase : public testing::TestWithParam<RotateCase> {};

TEST_P(RotatePointCase, TurnsAboutTheCentre)
{
    const RotateCase& c = GetParam();
    EXPECT_EQ(RotatePoint(c.p, {10, 10}, c.clockwise, c.angle), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, RotatePointCase,
    testing::Values(
        //         point      clockwise angle  result
        RotateCase{{10, 0}, true, 90.0f, {20, 10}},    // above the centre -> right of it
        RotateCase{{10, 0}, false, 90.0f, {0, 10}},
        RotateCase{{10, 0}, true, 180.0f, {10, 20}},
        RotateCase{{20, 10}, true, 90.0f, {10, 20}},
        RotateCase{{10, 0}, true, 45.0f, {17, 3}},
        RotateCase{{10, 0}, true, 225.0f, {3, 17}},    // the 270-degree scale's start, lower left
        RotateCase{{10, 0}, true, 495.0f, {17, 17}},   // its end, lower right
        RotateCase{{13, 4}, true, 0.0f, {13, 4}}));

// ---- text ----

struct AnchorCase {
    int anchor;
    TPoint topLeft;
};
std::ostream& operator<<(std::ostream& os, const AnchorCase& c) { return os << "anchor " << c.anchor; }

// Anchor, top-left corner of a 20 × 10 text box anchored at (100, 50).
class AnchorPlacement : public testing::TestWithParam<AnchorCase> {};

TEST_P(AnchorPlacement, PutsTheChosenPointOfTheBoxOnThePoint)
{
    const AnchorCase& c = GetParam();
    EXPECT_EQ(AnchoredTopLeft(100, 50, c.anchor, 20, 10), c.topLeft);
}

INSTANTIATE_TEST_SUITE_P(Anchors, AnchorPlacement,
                         testing::Values(
                             //         anchor  top-left
                             AnchorCase{0, {100, 50}},   // top-left
                             AnchorCase{1, {90, 50}},    // top-centre
                             AnchorCase{2, {80, 50}},    // top-right
                             AnchorCase{3, {100, 45}},   // middle-left
                             AnchorCase{4, {90, 45}},    // centred on the point
                             AnchorCase{5, {80, 45}},
                             AnchorCase{6, {100, 40}},
                             AnchorCase{7, {90, 40}},
                             AnchorCase{8, {80, 40}}));  // ends left of and above the point

// Bounding box of the pixels of one colour.
TRect InkBox(const QImage& img, TColor color)
{
    TRect r{img.width(), img.height(), -1, -1};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (FromQRgb(img.pixel(x, y)) == color) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

class TextRoutines : public testing::Test {
protected:
    TextRoutines() : bmp(200, 100)
    {
        c().Font().SetName("Arial");
        c().Font().SetHeight(16);
        c().Font().SetColor(clBlack);
        c().Brush().Style = bsClear;
    }
    TCanvas& c() { return bmp.Canvas(); }
    TBitmap bmp;
};

TEST_F(TextRoutines, AnchoredTextIsCentredOnItsPoint)
{
    TextOutAnchored(c(), 100, 50, 4, "1.00");
    const TRect ink = InkBox(bmp.Image(), clBlack);
    const int w = c().TextWidth("1.00");
    EXPECT_GE(ink.Left, 100 - w / 2);
    EXPECT_LE(ink.Right, 100 - w / 2 + w + 1);
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100.0, 3.0);
    EXPECT_LT(ink.Top, 50);
    EXPECT_GT(ink.Bottom, 50);
}

TEST_F(TextRoutines, MeasureListTakesTheWidestPart)
{
    const TSize all = MeasureList(c(), "1;10;100");
    EXPECT_EQ(all.cx, c().TextWidth("100"));
    EXPECT_EQ(all.cy, c().TextHeight("1;10;100"));
    EXPECT_EQ(MeasureList(c(), "1;10;").cx, c().TextWidth("10"));
    EXPECT_EQ(MeasureList(c(), "100;1").cx, c().TextWidth("100"));
    EXPECT_EQ(MeasureList(c(), "").cx, 0);
}

TEST_F(TextRoutines, TextOutLinesCentresTheBlockForMiddleAnchors)
{
    const int lineHeight = c().TextHeight("X");
    TextOutLines(c(), 10, 50, 3, "ONE|TWO", 0);
    const TRect ink = InkBox(bmp.Image(), clBlack);
    // Two lines centred on y = 50: the block starts half a line above the first line's middle.
    EXPECT_GE(ink.Top, 50 - lineHeight);
    EXPECT_LE(ink.Bottom, 50 + lineHeight);
    EXPECT_GT(ink.Bottom - ink.Top, lineHeight);
    EXPECT_EQ(CountChar("A|B|C", '|'), 2);
}

struct TokenCase {
    const char* s;
    const char* token;
    const char* rest;
};
std::ostream& operator<<(std::ostream& os, const TokenCase& c) { return os << '"' << c.s << '"'; }

// Input, token taken, what remains.
class NextTokenCase : public testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenCase, TakesThePartBeforeTheSeparator)
{
    const TokenCase& c = GetParam();
    std::string s = c.s;
    EXPECT_EQ(NextToken(s, ';'), c.token);
    EXPECT_EQ(s, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Tokens, NextTokenCase,
                         testing::Values(
                             //        input      token   rest
                             TokenCase{"0.65;0.70;", "0.65", "0.70;"},
                             TokenCase{"0.70;", "0.70", ""},
                             TokenCase{"abc", "abc", ""},
                             TokenCase{";x", "", "x"},
                             TokenCase{"", "", ""}));

// ---- shapes ----

TEST(DrawPie, CoversStartToStartPlusSweepClockwiseFromNoon)
{
    TBitmap bmp(21, 21);
    TCanvas& c = bmp.Canvas();
    c.Pen().Style = psClear;
    c.Brush().Color = clRed;
    DrawPie(c, Rect(0, 0, 21, 21), 0, 90);
    EXPECT_EQ(c.Pixel(15, 5), clRed);    // upper right
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    EXPECT_EQ(c.Pixel(15, 15), clWhite);
    EXPECT_EQ(c.Pixel(5, 15), clWhite);

    TBitmap b2(21, 21);
    b2.Canvas().Pen().Style = psClear;
    b2.Canvas().Brush().Color = clRed;
    DrawPie(b2.Canvas(), Rect(0, 0, 21, 21), 225, 270);  // the meter's sweep: all but the bottom
    EXPECT_EQ(b2.Canvas().Pixel(10, 3), clRed);
    EXPECT_EQ(b2.Canvas().Pixel(3, 10), clRed);
    EXPECT_EQ(b2.Canvas().Pixel(10, 17), clWhite);
}

TEST(DrawRotatedPolygon, TurnsTheVerticesAndKeepsHeaderAndCentre)
{
    TBitmap bmp(30, 30);
    TCanvas& c = bmp.Canvas();
    c.Pen().Color = clBlack;
    c.Brush().Color = clLime;
    const std::array<TPoint, 9> source{TPoint{4 | 0x100, 0x0302}, {10, 10}, {8, 12}, {12, 12}, {10, 0}};
    std::array<TPoint, 9> dest{};
    DrawRotatedPolygon(c, source, true, dest, 90);
    EXPECT_EQ(dest[0], source[0]);
    EXPECT_EQ(dest[1], source[1]);
    EXPECT_EQ(dest[2], Point(8, 8));
    EXPECT_EQ(dest[3], Point(8, 12));
    EXPECT_EQ(dest[4], Point(20, 10));  // the tip now points right
    EXPECT_EQ(c.Pixel(20, 10), clBlack);
    EXPECT_EQ(c.Pixel(12, 10), clLime);
    EXPECT_EQ(c.Pixel(10, 3), clWhite);

    // A header that claims more vertices than the arrays hold draws what is there.
    const std::array<TPoint, 5> lying{TPoint{200, 0}, {10, 10}, {8, 12}, {12, 12}, {10, 0}};
    std::array<TPoint, 5> small{};
    DrawRotatedPolygon(c, lying, true, small, 0);
    EXPECT_EQ(small[4], Point(10, 0));
}

TEST(SaveBackground, CopiesTheVisiblePartIntoABitmapOfTheRectsSize)
{
    TBitmap screen(20, 20);
    screen.Canvas().Brush().Color = clBlue;
    screen.Canvas().FillRect(Rect(15, 15, 20, 20));
    TBitmap saved(1, 1);
    SaveBackground(screen.Canvas(), saved, Rect(15, 15, 25, 25));
    EXPECT_EQ(saved.Width(), 10);
    EXPECT_EQ(saved.Height(), 10);
    EXPECT_EQ(saved.Canvas().Pixel(0, 0), clBlue);
    EXPECT_EQ(saved.Canvas().Pixel(4, 4), clBlue);
    EXPECT_EQ(saved.Canvas().Pixel(6, 6), clWhite);  // off the canvas: not copied

    TBitmap untouched(3, 3);
    SaveBackground(screen.Canvas(), untouched, Rect(30, 30, 40, 40));
    EXPECT_EQ(untouched.Width(), 3);  // nothing visible: nothing happens
}

TEST(RectHelpers, CentreAndShrink)
{
    EXPECT_EQ(RectCenter(Rect(0, 0, 273, 241)), Point(136, 120));
    EXPECT_EQ(RectCenter(Rect(-3, -3, 4, 4)), Point(0, 0));
    TRect r = Rect(0, 0, 10, 10);
    ShrinkRect(r, 2);
    EXPECT_EQ(r, Rect(2, 2, 8, 8));
}

// ---- gradients ----

class GradientStyle : public testing::TestWithParam<TGradientStyle> {};

// Every style stays inside its rectangle and survives degenerate sizes.
TEST_P(GradientStyle, DrawsOnlyInsideItsRectangle)
{
    TBitmap bmp(40, 30);
    TCanvas& c = bmp.Canvas();
    DrawGradient(c, Rect(5, 5, 35, 25), clRed, clBlue, GetParam());
    for (const TPoint p : {Point(4, 4), Point(35, 10), Point(10, 25), Point(0, 29), Point(39, 0)})
        EXPECT_EQ(c.Pixel(p.x, p.y), clWhite) << p.x << "," << p.y;
    int painted = 0;
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 35; ++x)
            painted += c.Pixel(x, y) != clWhite;
    EXPECT_GT(painted, 30 * 20 / 2);
    for (const TRect r : {Rect(0, 0, 1, 1), Rect(0, 0, 1, 30), Rect(0, 0, 40, 1), Rect(5, 5, 5, 20)})
        DrawGradient(c, r, clBlack, clWhite, GetParam());
}

INSTANTIATE_TEST_SUITE_P(AllStyles, GradientStyle,
                         testing::Values(gsHorizontal1, gsHorizontal2, gsHorizontal3, gsVertical1, gsVertical2,
                                         gsVertical3, gsElliptic1, gsElliptic2, gsElliptic3, gsRectangle,
                                         gsDiamond1, gsDiamond2, gsTopLeft, gsTopRight));

class Gradient : public testing::Test {
protected:
    Gradient() : bmp(20, 10) {}
    TColor At(int x, int y) { return bmp.Canvas().Pixel(x, y); }
    void Draw(TColor from, TColor to, TGradientStyle style) { DrawGradient(bmp.Canvas(), Rect(0, 0, 20, 10), from, to, style); }
    TBitmap bmp;
};

TEST_F(Gradient, EqualColoursFillWithOneColour)
{
    Draw(clBtnFace, RGB(0xF0, 0xF0, 0xF0), gsElliptic1);
    EXPECT_EQ(At(0, 0), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(At(19, 9), RGB(0xF0, 0xF0, 0xF0));
}

TEST_F(Gradient, OneUnitApartDrawsASingleStep)
{
    Draw(RGB(10, 10, 10), RGB(11, 10, 10), gsHorizontal1);
    EXPECT_EQ(At(0, 0), RGB(10, 10, 10));
    EXPECT_EQ(At(19, 9), RGB(10, 10, 10));
}

TEST_F(Gradient, Horizontal1UsesOneBandPerRowWhenLowerThanTheSteps)
{
    Draw(clBlack, clWhite, gsHorizontal1);  // 255 steps, 10 rows: row i is Trunc(i × 25.5)
    EXPECT_EQ(At(0, 0), clBlack);
    EXPECT_EQ(At(19, 1), RGB(25, 25, 25));
    EXPECT_EQ(At(5, 9), RGB(229, 229, 229));
}

TEST_F(Gradient, Vertical1RunsFromLeftToRight)
{
    Draw(clBlack, clWhite, gsVertical1);  // 20 columns: column i is Trunc(i × 12.75)
    EXPECT_EQ(At(0, 5), clBlack);
    EXPECT_EQ(At(2, 0), RGB(25, 25, 25));
    EXPECT_EQ(At(19, 9), RGB(242, 242, 242));
}

TEST_F(Gradient, Horizontal2HasColorFromInTheMiddleAndColorToAtTheEdges)
{
    Draw(clBlack, clWhite, gsHorizontal2);
    EXPECT_EQ(At(7, 5), clBlack);
    EXPECT_EQ(At(7, 0), clWhite);
    EXPECT_EQ(At(7, 4), RGB(51, 51, 51));  // step 1 of 5
}

TEST_F(Gradient, CentredStylesStartAtTheCentre)
{
    Draw(clBlack, clWhite, gsRectangle);
    EXPECT_EQ(At(10, 5), clBlack);
    EXPECT_EQ(At(0, 0), RGB(243, 243, 243));  // the last rectangle still reaching the corner

    Draw(clBlack, clWhite, gsDiamond1);
    EXPECT_EQ(At(10, 5), clBlack);  // the centre pixel is set last
    EXPECT_EQ(At(0, 0), clWhite);

    Draw(clBlack, clWhite, gsElliptic1);
    EXPECT_EQ(At(0, 0), clWhite);
    EXPECT_LT(GetRValue(At(10, 5)), 40);  // the smallest ellipses are the first steps
}

TEST_F(Gradient, CornerStylesStartInTheirCorner)
{
    Draw(clBlack, clWhite, gsTopLeft);
    EXPECT_EQ(At(0, 0), RGB(6, 6, 6));  // step 1/2 of 20 is drawn over step 0
    EXPECT_GT(GetRValue(At(19, 9)), 200);

    Draw(clBlack, clWhite, gsTopRight);
    EXPECT_LT(GetRValue(At(19, 0)), 30);
    EXPECT_GT(GetRValue(At(0, 9)), 200);
}

}  // namespace
