// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/Reading.h"

#include <cmath>

namespace {

// The first index from `low` on whose reading is not before(time); before is monotonic
// along the view.
template <typename Before>
size_t PartitionPoint(const TReadingView& view, Before before, size_t low = 0)
{
    size_t high = view.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (before(view[middle]))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

}  // namespace

size_t TReadingView::LowerBound(double time, size_t from) const
{
    return PartitionPoint(*this, [time](const TReading& r) { return r.Time < time; }, from);
}

size_t TReadingView::UpperBound(double time) const
{
    return PartitionPoint(*this, [time](const TReading& r) { return r.Time <= time; });
}

const TReading* TReadingView::Nearest(double time, double tolerance) const
{
    const size_t after = LowerBound(time);
    const TReading* best = nullptr;
    for (const size_t i : {after, after - 1}) {  // after - 1 wraps past size() when after is 0
        if (i >= size())
            continue;
        const TReading& r = (*this)[i];
        if (std::fabs(r.Time - time) <= tolerance && (!best || std::fabs(r.Time - time) < std::fabs(best->Time - time)))
            best = &r;
    }
    return best;
}
