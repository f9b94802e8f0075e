// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "history/Decimation.h"

namespace {

// Readings every `step` seconds from `from` to before `to`, all channels following f.
std::vector<TReading> Readings(double from, double to, double step, float (*f)(double))
{
    std::vector<TReading> readings;
    for (double t = from; t < to - 1e-9; t += step) {
        const float v = f(t);
        readings.push_back({t, {v, v + 0.1f, v + 0.2f, v + 0.3f}});
    }
    return readings;
}

float Wave(double t)
{
    return 1.0f + 0.2f * static_cast<float>(std::sin(t));
}

std::vector<double> BreakXs(const QList<QPointF>& points)
{
    std::vector<double> xs;
    for (const QPointF& p : points) {
        if (std::isnan(p.y()))
            xs.push_back(p.x());
    }
    return xs;
}

}  // namespace

TEST(Decimation, FewReadingsArePassedOnExactly)
{
    const std::vector<TReading> readings = Readings(50.0, 52.0, 0.1, Wave);
    // Ten seconds before now on 800 columns, as the trend draws them.
    const TDecimated out = Decimate(TReadingView(readings), {.From = 45.0, .To = 55.0, .Columns = 800, .MaxGap = 0.15,
                                                             .XOffset = -55.0, .XScale = 1.0, .YScale = 1.0});
    for (size_t c = 0; c < 4; ++c) {
        ASSERT_EQ(out.Points[c].size(), static_cast<qsizetype>(readings.size())) << c;
        for (size_t i = 0; i < readings.size(); ++i) {
            EXPECT_DOUBLE_EQ(out.Points[c][static_cast<qsizetype>(i)].x(), readings[i].Time - 55.0);
            EXPECT_EQ(out.Points[c][static_cast<qsizetype>(i)].y(), static_cast<double>(readings[i].Lambda[c]));
        }
        EXPECT_TRUE(out.Lone[c].isEmpty());
        EXPECT_EQ(out.Stats[c].Count, readings.size());
    }
}

TEST(Decimation, ManyReadingsGiveAtMostTwoPointsPerColumnWithTheirExtremes)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(0.9f, 1.1f);
    std::vector<TReading> readings;
    for (int i = 0; i < 1'000'000; ++i) {
        const float v = noise(random);
        readings.push_back({i * 0.1, {v, v, v, v}});
    }
    readings[123'456].Lambda[2] = 9.99f;  // a spike no column may lose
    readings[654'321].Lambda[2] = 0.01f;
    const int columns = 700;
    const TDecimated out = Decimate(TReadingView(readings), {.From = 0, .To = 100'000, .Columns = columns, .MaxGap = 0.15});
    for (size_t c = 0; c < 4; ++c) {
        EXPECT_LE(out.Points[c].size(), 2 * columns + 2) << c;
        for (qsizetype i = 1; i < out.Points[c].size(); ++i)
            ASSERT_LE(out.Points[c][i - 1].x(), out.Points[c][i].x()) << "in time order";
        EXPECT_TRUE(BreakXs(out.Points[c]).empty());
    }
    double highest = 0, lowest = 10;
    for (const QPointF& p : out.Points[2]) {
        highest = std::max(highest, p.y());
        lowest = std::min(lowest, p.y());
    }
    EXPECT_FLOAT_EQ(highest, 9.99f);
    EXPECT_FLOAT_EQ(lowest, 0.01f);
    EXPECT_FLOAT_EQ(out.Stats[2].Max, 9.99f);
    EXPECT_EQ(out.Stats[0].Count, readings.size());
}

// column: what is left out, columns over 0..10 s, where the line must break
struct GapCase {
    const char* name;
    double missingFrom, missingTo;  // no readings in this time
    int columns;
    std::vector<double> breaks;  // x of the last point before each break
};

void PrintTo(const GapCase& c, std::ostream* out)
{
    *out << c.name;
}

class DecimationGap : public testing::TestWithParam<GapCase> {};

const GapCase kGapCases[] = {
    {"SilenceBreaksTheLine", 3.0, 5.0, 1000, {2.9}},
    {"OneLostReadingBreaksTheLineWhenColumnsAreNarrow", 4.05, 4.15, 1000, {4.0}},
    {"AGapNarrowerThanAColumnIsNotDrawn", 4.05, 4.15, 10, {}},
    {"SilenceAtTheEndLeavesTheRestEmpty", 8.0, 99.0, 1000, {}},
};

TEST_P(DecimationGap, BreaksWhereReadingsAreMissing)
{
    const GapCase& gap = GetParam();
    std::vector<TReading> readings;
    for (const TReading& r : Readings(0, 10, 0.1, Wave)) {
        if (r.Time < gap.missingFrom - 1e-9 || r.Time > gap.missingTo + 1e-9)
            readings.push_back(r);
    }
    const TDecimated out = Decimate(TReadingView(readings), {.From = 0, .To = 10, .Columns = gap.columns, .MaxGap = 0.15});
    for (size_t c = 0; c < 4; ++c) {
        const std::vector<double> breaks = BreakXs(out.Points[c]);
        ASSERT_EQ(breaks.size(), gap.breaks.size()) << c;
        for (size_t i = 0; i < breaks.size(); ++i)
            EXPECT_NEAR(breaks[i], gap.breaks[i], 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Decimation, DecimationGap, testing::ValuesIn(kGapCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Decimation, AReadingAloneBetweenGapsIsMarked)
{
    const std::vector<TReading> readings{{1.0, {1, 1, 1, 1}}, {1.1, {1, 1, 1, 1}}, {3.0, {0.9f, 0.9f, 0.9f, 0.9f}},
                                         {5.0, {1.1f, 1.1f, 1.1f, 1.1f}}, {5.1, {1, 1, 1, 1}}};
    const TDecimated out = Decimate(TReadingView(readings), {.From = 0, .To = 10, .Columns = 1000, .MaxGap = 0.15});
    for (size_t c = 0; c < 4; ++c) {
        // 1.0 1.1 | 3.0 | 5.0 5.1
        ASSERT_EQ(out.Points[c].size(), 7);
        ASSERT_EQ(out.Lone[c], QList<int>{3});
        EXPECT_EQ(out.Points[c][3].x(), 3.0);
    }
}

TEST(Decimation, StatsCoverTheRangeInTheUnitShown)
{
    std::vector<TReading> readings{{-1.0, {5, 5, 5, 5}}};
    for (int i = 0; i < 10; ++i) {
        const float v = 0.9f + 0.02f * static_cast<float>(i);
        readings.push_back({static_cast<double>(i), {v, v, v, v}});
    }
    readings.push_back({11.0, {5, 5, 5, 5}});
    const TDecimated out = Decimate(TReadingView(readings), {.From = 0, .To = 9.5, .Columns = 100, .MaxGap = 2, .YScale = 14.7});
    EXPECT_EQ(out.Points[0].size(), 12) << "with the reading before and the one after the range";
    EXPECT_EQ(out.Stats[0].Count, 10u);
    EXPECT_NEAR(out.Stats[0].Min, 0.9 * 14.7, 1e-5);
    EXPECT_NEAR(out.Stats[0].Max, 1.08 * 14.7, 1e-5);
    EXPECT_NEAR(out.Stats[0].Mean(), 0.99 * 14.7, 1e-5);
}

TEST(Decimation, NothingToShowGivesNothing)
{
    const std::vector<TReading> one{{1.0, {1, 1, 1, 1}}};
    EXPECT_TRUE(Decimate(TReadingView(), {.From = 0, .To = 10, .Columns = 100}).Points[0].isEmpty());
    EXPECT_TRUE(Decimate(TReadingView(one), {.From = 5, .To = 5, .Columns = 100}).Points[0].isEmpty());
    EXPECT_TRUE(Decimate(TReadingView(one), {.From = 0, .To = 10, .Columns = 0}).Points[0].isEmpty());
    const TDecimated far = Decimate(TReadingView(one), {.From = 100, .To = 110, .Columns = 100, .MaxGap = 0.15});
    EXPECT_EQ(far.Points[0].size(), 1) << "the reading before the range, for a line into it";
    EXPECT_EQ(far.Stats[0].Count, 0u);
}
