// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <vector>

#include <QTest>

#include "Pixels.h"
#include "app/DesignSettings.h"
#include "platform/framework/Bitmap.h"
#include "platform/framework/FormatFloat.h"
#include "widgets/AbVInd.h"

namespace {

using enum TValueIndOption;

TEST(ValueIndLayout, MinimumSizeCountsOnlyTheShownParts)
{
    TValueIndParts p;
    p.Name1 = {100, 23};
    p.Name2 = {60, 23};
    p.Value = {90, 46};
    p.Unit = {20, 46};
    p.OuterBevel = 8;
    p.InnerBevel = 8;
    p.ValueBevel = 2;
    // Name line and box only: 23 + 46 + 2·2 high; the box with its margin of one text
    // height is wider than the name.
    EXPECT_EQ(ValueIndMinSize({p.Name1, p.Name2, p.Value, {}, 8, 8, 2}, {opName1}), (TSize{140, 73}));
    // Everything: both bevels twice, both names, the unit.
    EXPECT_EQ(ValueIndMinSize(p, {opBevelOuter, opBevelInner, opName1, opName2, opUnit}),
              (TSize{16 + 16 + 90 + 20 + 4 + 46, 16 + 23 + 23 + 16 + 46 + 4}));
    // A name wider than the box decides the width.
    p.Name1.cx = 300;
    EXPECT_EQ(ValueIndMinSize(p, {opBevelOuter, opName1}).cx, 316);
}

TEST(ValueIndLayout, ValueBoxIsCentredWithAThirdOfTheTextHeightAsMargin)
{
    TValueIndParts p;
    p.Value = {90, 45};
    p.ValueBevel = 2;
    // c = 15: left = (200 - 90 - 0 - 15) div 2 - 15 = 32, right = left + 90 + 4 + 30.
    EXPECT_EQ(ValueIndValueBox({0, 10, 200, 100}, p), Rect(32, 10, 156, 59));
}

// A lambda readout of the main window: name line only, automatic size.
class LambdaReadout : public testing::Test {
protected:
    LambdaReadout()
    {
        ind.BeginLoading();
        ind.SetBounds(0, 0, 148, 72);
        ind.SignalSettings().SetName1("CH1 LAMBDA");
        ind.SignalSettings().SetValueFormat("0.000");
        ind.SetOptions({opName1});
        ind.FontValue().SetHeight(40);
        ind.FontValue().SetColor(clLime);
        ind.Font().SetHeight(20);
        ind.EndLoading();
    }

    // Columns of the digit box that hold lime digits.
    TRect Digits() { return pixels::BoundsWhere(ind.Image(), ind.ValueRect(), [](QRgb p) { return qGreen(p) > 200 && qRed(p) < 100; }); }

    ScopedFormatLocale locale{QLocale::c()};
    TAbValueInd ind{nullptr};
};

TEST_F(LambdaReadout, ShrinksToItsContentWithTheBoxOnTopAndNoPanel)
{
    ind.Repaint();
    TCanvas measure;
    measure.Font().Assign(ind.FontValue());
    const TSize value = measure.TextExtent("0.000");
    measure.Font().Assign(ind.Font());
    const TSize name = measure.TextExtent("CH1 LAMBDA");
    const TSize expected{std::max(name.cx, value.cx + 4 + value.cy), name.cy + value.cy + 4};
    EXPECT_EQ(ind.MinSize(), expected);
    EXPECT_EQ(ind.Width(), expected.cx);
    EXPECT_EQ(ind.Height(), expected.cy);
    EXPECT_EQ(ind.ValueRect().Top, 2);  // just inside the value bevel, at the top
    EXPECT_EQ(qAlpha(ind.Image().pixel(0, ind.Height() - 1)), 0);  // no panel behind the name
    const TRect text = pixels::BoundsWhere(ind.Image(), {0, value.cy + 4, ind.Width(), ind.Height()}, pixels::Dark);
    EXPECT_FALSE(text.IsEmpty());
}

TEST_F(LambdaReadout, ShorterTextsStayRightAligned)
{
    ind.SignalSettings().SetValueFormat("#0.0");
    ind.SetValue(45.0f);
    ind.Repaint();
    const TRect wide = Digits();
    ind.SetValue(5.0f);
    const TRect narrow = Digits();
    ASSERT_FALSE(wide.IsEmpty());
    ASSERT_FALSE(narrow.IsEmpty());
    EXPECT_EQ(narrow.Right, wide.Right);
    EXPECT_GT(narrow.Left, wide.Left);
    EXPECT_GE(ind.ValueRect().Right - wide.Right, 0);
}

TEST_F(LambdaReadout, NewValueRedrawsOnlyTheDigitBox)
{
    ind.Repaint();
    const int paints = ind.PaintCount();
    std::vector<TRect> drawn;
    const auto show = ind.Canvas().OnDrawn;
    ind.Canvas().OnDrawn = [&](const TRect& r) {
        drawn.push_back(r);
        show(r);
    };
    ind.SetValue(1.25f);  // a new extreme as well, which draws the box once more
    ASSERT_FALSE(drawn.empty());
    for (const TRect& r : drawn)
        EXPECT_EQ(r, ind.ValueRect());
    EXPECT_EQ(ind.PaintCount(), paints);
    drawn.clear();
    ind.SetValue(1.25f);
    EXPECT_TRUE(drawn.empty());
    ind.SetValue(1.2501f);  // the same text: kept, but nothing drawn
    EXPECT_EQ(ind.Value(), 1.2501f);
    EXPECT_TRUE(drawn.empty());
    ind.SetValue(1.2511f);
    EXPECT_FALSE(drawn.empty());
}

TEST_F(LambdaReadout, WithoutAutoSizeTheControlOnlyGrows)
{
    ind.SetAutoSize(false);
    ind.SetBounds(0, 0, 300, 200);
    ind.Repaint();
    EXPECT_EQ(ind.Width(), 300);
    EXPECT_EQ(ind.Height(), 200);
    ind.SetBounds(0, 0, 10, 10);
    ind.Repaint();
    EXPECT_EQ(ind.Width(), ind.MinSize().cx);
    EXPECT_EQ(ind.Height(), ind.MinSize().cy);
}

// column: the main window's readout, value, the text its box shows
struct ShownValue {
    const char* name;
    bool volts;
    float value;
    const char* shown;
};

void PrintTo(const ShownValue& c, std::ostream* os)
{
    *os << c.name;
}

class MainWindowReadout : public testing::TestWithParam<ShownValue> {};

// The boxes are sized for "0.000" and "#0.0": a longer text gives up decimals, never a digit
// before the point.
TEST_P(MainWindowReadout, ShowsEveryDigitBeforeThePoint)
{
    const ShownValue& c = GetParam();
    const ScopedFormatLocale locale{QLocale::c()};
    TAbValueInd ind(nullptr);
    if (c.volts)
        SetUpVoltsReadout(ind, 0, 0);
    else
        SetUpLambdaReadout(ind, 0, 0, "CH1 LAMBDA");
    ind.SetValue(c.value);
    ind.Repaint();

    // The box as it looks with the expected text drawn right-aligned into it.
    const TRect box = ind.ValueRect();
    TBitmap expected(box.Width(), box.Height());
    TCanvas& e = expected.Canvas();
    e.Brush().Style = bsSolid;
    e.Brush().Color = ind.BevelValue().Color();
    e.FillRect({0, 0, box.Width(), box.Height()});
    e.Font().Assign(ind.FontValue());
    e.Brush().Style = bsClear;
    e.TextOut(box.Width() - e.TextWidth(c.shown), 0, c.shown);
    const QImage shown = ind.Image().copy(box.Left, box.Top, box.Width(), box.Height());
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), expected.Image().convertToFormat(QImage::Format_RGB32))
        << c.value << " should show " << c.shown;
}

INSTANTIATE_TEST_SUITE_P(
    Readouts, MainWindowReadout,
    testing::Values(
        //         name                  volts  value     shown
        ShownValue{"Lambda", false, 0.987f, "0.987"},
        ShownValue{"LambdaOfTwelve", false, 12.345f, "12.35"},
        ShownValue{"LambdaAtItsTop", false, 65.535f, "65.54"},
        ShownValue{"LambdaJustBelowTen", false, 9.999f, "9.999"},
        ShownValue{"LambdaOfTen", false, 10.0f, "10.00"},
        ShownValue{"LambdaRoundingToTen", false, 9.9996f, "10.00"},
        ShownValue{"Volts", true, 13.8f, "13.8"},
        ShownValue{"VoltsOfAHundred", true, 123.45f, "123"}),
    [](const auto& info) { return std::string(info.param.name); });

// column: pattern, value, width in characters of ten pixels, the text that fits
TEST(ValueIndText, GivesUpDecimalsThenEverything)
{
    const struct {
        const char* pattern;
        double value;
        int chars;
        const char* text;
    } cases[] = {
        {"0.000", 1.5, 5, "1.500"},
        {"0.000", 12.345, 5, "12.35"},
        {"0.000", 12.345, 3, "12"},
        {"#0.0;(#0.0)", -12.34, 4, "(12)"},
        {"0.000", 123456.0, 5, ""},  // not even the whole number: nothing, not wrong digits
    };
    const auto width = [](const std::string& t) { return 10 * static_cast<int>(t.size()); };
    for (const auto& c : cases)
        EXPECT_EQ(FitValueText(c.pattern, c.value, 10 * c.chars, width), c.text) << c.pattern << " " << c.value;
}

TEST(VoltageReadout, UnitHasTheDigitTypefaceInTheNameColour)
{
    ScopedFormatLocale locale{QLocale::c()};
    TAbValueInd ind(nullptr);
    ind.BeginLoading();
    ind.SignalSettings().SetName1("Power");
    ind.SignalSettings().SetValueUnit("V");
    ind.SignalSettings().SetValueFormat("#0.0");
    ind.SetOptions({opName1, opUnit});
    ind.FontValue().SetHeight(21);
    ind.FontValue().SetStyle({fsBold});
    ind.FontValue().SetColor(clLime);
    ind.Font().SetColor(clBlack);
    ind.EndLoading();
    ind.SetValue(13.8f);
    ind.Repaint();
    EXPECT_EQ(ind.ValueStr(), "13.8");
    const TRect box = ind.ValueRect();
    const TRect unitArea{box.Right + 2, box.Top, ind.Width(), box.Bottom};
    const TRect unit = pixels::BoundsWhere(ind.Image(), unitArea, pixels::Dark);
    ASSERT_FALSE(unit.IsEmpty());
    EXPECT_TRUE(pixels::BoundsWhere(ind.Image(), unitArea, [](QRgb p) { return qGreen(p) > 200 && qRed(p) < 100; }).IsEmpty());
    // As tall as the digits: drawn in the value font.
    EXPECT_GE(unit.Height(), 12);
}

}  // namespace
