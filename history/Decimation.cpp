// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/Decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One pixel column of one channel: its first minimum and first maximum.
struct TColumn {
    const TReading* Min = nullptr;
    const TReading* Max = nullptr;
};

class TDecimator {
public:
    TDecimator(const TDecimation& how, TDecimated& out) : FHow(how), FOut(out) {}

    void Add(const TReading& r, long column)
    {
        if (FPrevious && column != FColumnIndex) {
            const bool gap = r.Time - FPrevious->Time > FHow.MaxGap && column - FColumnIndex >= 2;
            Flush();
            if (gap)
                Break();
        }
        FColumnIndex = column;
        for (size_t c = 0; c < 4; ++c) {
            TColumn& col = FColumns[c];
            if (!col.Min || r.Lambda[c] < col.Min->Lambda[c])
                col.Min = &r;
            if (!col.Max || r.Lambda[c] > col.Max->Lambda[c])
                col.Max = &r;
        }
        FPrevious = &r;
    }

    void Finish()
    {
        if (FPrevious)
            Flush();
        EndPiece();
    }

private:
    void Emit(size_t channel, const TReading& r)
    {
        FOut.Points[channel].append(QPointF(FHow.XOffset + FHow.XScale * r.Time, FHow.YScale * r.Lambda[channel]));
        ++FPieceLength[channel];
    }

    void Flush()
    {
        for (size_t c = 0; c < 4; ++c) {
            TColumn& col = FColumns[c];
            if (!col.Min)
                continue;
            const TReading* first = col.Min->Time <= col.Max->Time ? col.Min : col.Max;
            const TReading* second = first == col.Min ? col.Max : col.Min;
            Emit(c, *first);
            if (second != first)
                Emit(c, *second);
            col = {};
        }
    }

    void EndPiece()
    {
        for (size_t c = 0; c < 4; ++c) {
            if (FPieceLength[c] == 1)
                FOut.Lone[c].append(static_cast<int>(FOut.Points[c].size() - 1));
            FPieceLength[c] = 0;
        }
    }

    void Break()
    {
        EndPiece();
        for (size_t c = 0; c < 4; ++c) {
            const double x = FOut.Points[c].back().x();
            FOut.Points[c].append(QPointF(x, std::numeric_limits<double>::quiet_NaN()));
        }
    }

    const TDecimation& FHow;
    TDecimated& FOut;
    std::array<TColumn, 4> FColumns{};
    std::array<int, 4> FPieceLength{};
    const TReading* FPrevious = nullptr;
    long FColumnIndex = 0;
};

}  // namespace

TDecimated Decimate(const TReadingView& readings, const TDecimation& how)
{
    TDecimated out;
    if (readings.empty() || !(how.To > how.From) || how.Columns < 1)
        return out;
    const size_t inside = readings.LowerBound(how.From);
    const size_t begin = inside > 0 ? inside - 1 : 0;
    const size_t after = readings.UpperBound(how.To);
    const size_t end = std::min(readings.size(), after + 1);
    const double perColumn = static_cast<double>(how.Columns) / (how.To - how.From);

    TDecimator decimator(how, out);
    for (size_t i = begin; i < end; ++i) {
        const TReading& r = readings[i];
        // The readings outside the range fall into the columns just beyond its edges.
        const double column = std::clamp(std::floor((r.Time - how.From) * perColumn), -1.0, double(how.Columns));
        decimator.Add(r, static_cast<long>(column));
        if (i >= inside && i < after) {
            for (size_t c = 0; c < 4; ++c)
                out.Stats[c].Add(how.YScale * r.Lambda[c]);
        }
    }
    decimator.Finish();
    return out;
}
