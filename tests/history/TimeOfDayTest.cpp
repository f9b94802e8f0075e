// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QLocale>

#include <string>

#include "history/TimeOfDay.h"
#include "platform/framework/DateTime.h"
#include "platform/framework/FormatFloat.h"

namespace {

constexpr int kNone = -1;

int Seconds(int h, int m, int s)
{
    return (h * 60 + m) * 60 + s;
}

int Parsed(std::string_view text)
{
    return ParseTimeOfDay(text).value_or(kNone);
}

// column: text as a log holds it, seconds since midnight (kNone: not a time)
struct TimeCase {
    const char* text;
    int seconds;
};

void PrintTo(const TimeCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class TimeOfDayText : public testing::TestWithParam<TimeCase> {};

const TimeCase kTimes[] = {
    {"14:03:27", Seconds(14, 3, 27)},
    {"02:03:27", Seconds(2, 3, 27)},
    {"0:00:00", 0},
    {"23:59:59", Seconds(23, 59, 59)},
    {"14.03.27", Seconds(14, 3, 27)},
    {"2:03:27 PM", Seconds(14, 3, 27)},
    {"2:03:27 am", Seconds(2, 3, 27)},
    {"12:00:00 AM", 0},
    {"12:30:00 PM", Seconds(12, 30, 0)},
    {"11:59:59 PM", Seconds(23, 59, 59)},
    {"2:03:27 p.m.", Seconds(14, 3, 27)},
    {"2:03:27 P. M.", Seconds(14, 3, 27)},
    {"下午2:03:27", Seconds(14, 3, 27)},
    {"오후 2시 3분 27초", Seconds(14, 3, 27)},
    {"14時03分27秒", Seconds(14, 3, 27)},
    {"kl. 14:03:27", Seconds(14, 3, 27)},
    {"B2:03:27 []", Seconds(2, 3, 27)},
    {"오전 12시 0분 0초", 0},
    {"١٤:٠٣:٢٧", Seconds(14, 3, 27)},
    {"٢:٠٣:٢٧ م", Seconds(14, 3, 27)},
    {"", kNone},
    {"14:03", kNone},
    {"14:03:27:01", kNone},
    {"24:00:00", kNone},
    {"14:60:00", kNone},
    {"14:03:60", kNone},
    {"13:00:00 PM", kNone},
    {"140:03:27", kNone},
    {"14:03:27 AM PM", kNone},
    {"AM 2:03:27 PM", kNone},
    {"14:0?:27", kNone},
};

}  // namespace

TEST_P(TimeOfDayText, ParsesWhatALocaleWrites)
{
    EXPECT_EQ(Parsed(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(TimeOfDay, TimeOfDayText, testing::ValuesIn(kTimes));

// Whatever locale wrote a log, its times read back as they were: the log's own time format
// in every locale Qt knows, for times around the clock.
TEST(TimeOfDay, ReadsTheLogsTimeInEveryLocale)
{
    const int times[] = {0, Seconds(0, 59, 59), Seconds(2, 3, 27), Seconds(11, 59, 59), Seconds(12, 0, 0),
                         Seconds(13, 0, 1), Seconds(14, 3, 27), Seconds(23, 59, 59)};
    int locales = 0;
    for (const QLocale& locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        const ScopedFormatLocale pinned(locale);
        ++locales;
        for (const int t : times) {
            const std::string text = TimeToStr(ToDateTime(2026, 12, 10, t / 3600, t / 60 % 60, t % 60));
            EXPECT_EQ(Parsed(text), t) << locale.name().toStdString() << " wrote \"" << text << '"';
        }
    }
    EXPECT_GT(locales, 100);
}
