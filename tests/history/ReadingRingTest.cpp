// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <malloc.h>

#include <memory>

#include "history/ReadingRing.h"

namespace {

std::array<float, 4> Values(size_t i)
{
    const float v = static_cast<float>(i % 1000) / 1000.0f;
    return {v, v + 1, v + 2, v + 3};
}

}  // namespace

TEST(ReadingRing, KeepsTheNewestTenMinutesOldestFirst)
{
    const auto ring = std::make_unique<TReadingRing>();
    EXPECT_GE(static_cast<double>(TReadingRing::kCapacity) * 0.1, TReadingRing::kSeconds) << "ten minutes at 10 Hz";
    const size_t total = TReadingRing::kCapacity + 250;
    for (size_t i = 0; i < total; ++i)
        ring->Add(static_cast<double>(i) * 0.1, Values(i));
    const TReadingView view = ring->View();
    ASSERT_EQ(view.size(), TReadingRing::kCapacity);
    for (size_t i = 0; i < view.size(); ++i) {
        const size_t added = total - TReadingRing::kCapacity + i;
        ASSERT_DOUBLE_EQ(view[i].Time, static_cast<double>(added) * 0.1) << i;
        ASSERT_EQ(view[i].Lambda, Values(added)) << i;
    }
    ring->Clear();
    EXPECT_TRUE(ring->View().empty());
}

TEST(ReadingRing, AddingNeverAllocates)
{
    const auto ring = std::make_unique<TReadingRing>();
    const size_t before = mallinfo2().uordblks;
    for (size_t i = 0; i < 3 * TReadingRing::kCapacity; ++i)
        ring->Add(static_cast<double>(i), Values(i));
    EXPECT_EQ(mallinfo2().uordblks, before);
}

TEST(ReadingRing, ATimeNeverGoesBackwards)
{
    TReadingRing ring;
    ring.Add(5.0, Values(1));
    ring.Add(4.0, Values(2));
    ASSERT_EQ(ring.Size(), 2u);
    EXPECT_EQ(ring.View()[1].Time, 5.0);
    EXPECT_EQ(ring.View()[1].Lambda, Values(2));
}

// The search works across the seam of a ring that has wrapped.
TEST(ReadingRing, FindsReadingsByTimeAcrossTheWrap)
{
    const auto ring = std::make_unique<TReadingRing>();
    const size_t total = TReadingRing::kCapacity + TReadingRing::kCapacity / 2;
    for (size_t i = 0; i < total; ++i)
        ring->Add(static_cast<double>(i), Values(i));
    const TReadingView view = ring->View();
    const double oldest = static_cast<double>(total - TReadingRing::kCapacity);
    const double seam = static_cast<double>(TReadingRing::kCapacity);  // first reading stored at index 0 again
    EXPECT_EQ(view.LowerBound(oldest - 10), 0u);
    EXPECT_EQ(view[view.LowerBound(seam)].Time, seam);
    EXPECT_EQ(view[view.UpperBound(seam)].Time, seam + 1);
    EXPECT_EQ(view[view.LowerBound(seam - 0.5)].Time, seam);
    EXPECT_EQ(view.LowerBound(1e9), view.size());
    ASSERT_NE(view.Nearest(seam + 0.4, 0.5), nullptr);
    EXPECT_EQ(view.Nearest(seam + 0.4, 0.5)->Time, seam);
    EXPECT_EQ(view.Nearest(seam - 0.6, 0.5)->Time, seam - 1);
    EXPECT_EQ(view.Nearest(oldest - 1, 0.5), nullptr);
    EXPECT_EQ(view.Nearest(static_cast<double>(total) + 1, 0.5), nullptr);
}
