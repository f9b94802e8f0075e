// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <ostream>

#include <QLocale>

#include "platform/framework/DateTime.h"
#include "platform/framework/FormatFloat.h"
#include "tests/support/ScopedCLocale.h"

namespace {

struct PatternCase {
    const char* pattern;
    double value;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const PatternCase& c)
{
    return os << '"' << c.pattern << "\" " << c.value;
}

// Pattern, value, text with the C locale's "." and ",".
class FormatFloatPattern : public testing::TestWithParam<PatternCase> {};

TEST_P(FormatFloatPattern, FormatsAsShown)
{
    const PatternCase& c = GetParam();
    const TFormatSettings c_locale = TFormatSettings::FromLocale(QLocale::c());
    EXPECT_EQ(FormatFloat(c.pattern, c.value, c_locale), c.expected)
        << "pattern " << c.pattern << " value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatFloatPattern,
    testing::Values(
        // pattern      value          expected
        PatternCase{"#0.000", 1.0, "1.000"},
        PatternCase{"#0.000", 0.98765, "0.988"},
        PatternCase{"#0.000", -92.9f, "-92.900"},
        PatternCase{"#0.0", 1.35f, "1.4"},
        PatternCase{"#0.0", 0.65f, "0.6"},             // single 0.65 lies below the half
        PatternCase{"#0.0", 0.25, "0.3"},              // exact ties round away from zero
        PatternCase{"#0.0", -0.25, "-0.3"},
        PatternCase{"#0.00", 2.675, "2.67"},           // the double lies below 2.675
        PatternCase{"#0.00", 0.70000005f, "0.70"},
        PatternCase{"#0.00", 9.999, "10.00"},          // carry into a new integer digit
        PatternCase{"0.000", 0.0005, "0.001"},
        PatternCase{"0.000", 12.3456, "12.346"},
        PatternCase{"#0.#", 5.04, "5"},                // no separator without decimals
        PatternCase{"#0.#", 5.06, "5.1"},
        PatternCase{"#0.#", 0.0, "0"},
        PatternCase{"#.##", 0.5, ".5"},                // '#' alone shows no integer zero
        PatternCase{"##0", 1234567.0, "1234567"},      // more digits than placeholders
        PatternCase{"#,##0.00", 1234567.891, "1,234,567.89"},
        PatternCase{"000", 7.0, "007"},
        PatternCase{"0e-0", 1000.0, "1e3"},
        PatternCase{"0e-0", 0.001, "1e-3"},
        PatternCase{"0e-0", 0.0, "0e0"},
        PatternCase{"0e-0", 0.1, "1e-1"},
        PatternCase{"0.00E+00", 12345.0, "1.23E+04"},
        PatternCase{"0.00E+00", 0.00012345, "1.23E-04"},
        PatternCase{"0E+0", 9.6, "1E+1"},              // rounding moves the exponent
        PatternCase{"#0.0;(#0.0)", -3.14, "(3.1)"},    // negative section, no minus added
        PatternCase{"#0.0;(#0.0);zero", 0.0, "zero"},
        PatternCase{"#0.0;(#0.0);zero", -0.04, "zero"},  // rounds to zero: zero section
        PatternCase{"#0.0;;zero", -2.0, "-2.0"},       // empty negative section: first, with minus
        PatternCase{"#0.0", -0.04, "0.0"},             // never a negative zero
        PatternCase{"\"V\"0.0' V'", 2.8, "V2.8 V"},     // quoted literals
        PatternCase{"0 %", 42.4, "42 %"}));

TEST(FormatFloat, UsesTheLocaleSeparators)
{
    const TFormatSettings german = TFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatFloat("#,##0.000", 1234.5, german), "1.234,500");
    EXPECT_EQ(FormatFixed(2.8, 2, 1, german), "2,8");
}

TEST(FormatFloat, ScopedLocaleIsPinnedAndRestored)
{
    const std::string before = FormatSettings().DecimalSeparator;
    {
        ScopedFormatLocale pin(QLocale(QLocale::French, QLocale::France));
        EXPECT_EQ(FormatFloat("#0.0", 1.5), "1,5");
    }
    EXPECT_EQ(FormatSettings().DecimalSeparator, before);
}

// The application sets the C library's locale from the user's. Pashto's decimal point is two
// bytes (U+066B), which printf-style formatting splits; the text must follow the pattern's
// rule alone, whatever the C library's locale.
TEST(FormatFloat, DoesNotDependOnTheCLibrarysLocale)
{
    const ScopedCLocale pashto("ps_AF.UTF-8");
    if (!pashto.Available())
        GTEST_SKIP() << pashto.Missing();
    const TFormatSettings english = TFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const TFormatSettings own = TFormatSettings::FromLocale(QLocale(QLocale::Pashto, QLocale::Afghanistan));
    const PatternCase cases[] = {
        // pattern  value     text with "." (Pashto has U+066B in its place)
        {"#0.000", 1.0, "1.000"}, {"0.000", 65.535, "65.535"}, {"#0.0", 13.8, "13.8"},
        {"#0.00", 0.65, "0.65"},  {"#0.#", 2046, "2046"},      {"0e-0", 0.001, "1e-3"},
        {"", 0.1, "0.1"},         {"", 1e20, "1E+20"},
    };
    for (const PatternCase& c : cases) {
        EXPECT_EQ(FormatFloat(c.pattern, c.value, english), c.expected) << c;
        const QString pashtoText = QString::fromUtf8(c.expected).replace('.', QChar(0x066B));
        EXPECT_EQ(FormatFloat(c.pattern, c.value, own), pashtoText.toStdString()) << c;
    }
    EXPECT_EQ(FormatFixed(2.8, 2, 1, english), "2.8") << "the version text";
}

// column: pattern, the pattern with one decimal less
TEST(FormatFloat, DropDecimalTakesOutTheLastDecimalPlace)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0.000", "0.00"}, {"#0.0", "#0"}, {"#0.#", "#0"}, {"0", "0"},
        {"#0.00;(#0.0)", "#0.0;(#0)"}, {"0.00E+00", "0.0E+00"}, {"0.0' V.'", "0' V.'"},
    };
    for (const auto& [pattern, fewer] : cases)
        EXPECT_EQ(DropDecimal(pattern), fewer) << pattern;
}

TEST(FormatFloat, NonFiniteValues)
{
    EXPECT_EQ(FormatFloat("#0.0", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatFloat("#0.0", -std::numeric_limits<double>::infinity()), "-INF");
}

struct FixedCase {
    double value;
    int precision;
    int digits;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const FixedCase& c)
{
    return os << c.value << " " << c.precision << "/" << c.digits;
}

// Value, significant digits, decimals, text.
class FormatFixedCase : public testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedCase, RoundsToSignificantDigits)
{
    const FixedCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.precision, c.digits, TFormatSettings::FromLocale(QLocale::c())),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fixed, FormatFixedCase,
    testing::Values(
        // value     precision digits expected
        FixedCase{2.8, 2, 1, "2.8"},
        FixedCase{0.5, 2, 1, "0.5"},
        FixedCase{0.0, 2, 1, "0.0"},
        FixedCase{12.5, 2, 1, "13.0"},    // a tie rounds away from zero
        FixedCase{25.5, 2, 1, "26.0"},
        FixedCase{1.0234, 3, 3, "1.020"},
        FixedCase{0.98765, 3, 3, "0.988"},
        FixedCase{1.0, 3, 3, "1.000"},
        FixedCase{12.345, 3, 3, "12.300"},
        FixedCase{65.535, 3, 3, "65.500"},
        FixedCase{-1.25, 2, 1, "-1.3"}));

TEST(DateTime, LongTimeHasNoZoneAndFollowsTheLocale)
{
    const TDateTime t = ToDateTime(2026, 12, 10, 14, 3, 27);
    {
        ScopedFormatLocale pin(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(TimeToStr(t), "14:03:27");
        EXPECT_EQ(DateToStr(t), "10.12.26");
    }
    {
        ScopedFormatLocale pin(QLocale(QLocale::English, QLocale::UnitedStates));
        const std::string text = TimeToStr(t);
        EXPECT_EQ(text.substr(0, 7), "2:03:27");
        EXPECT_NE(text.find("PM"), std::string::npos);
        EXPECT_EQ(text.find("UTC"), std::string::npos);
    }
}

}  // namespace
