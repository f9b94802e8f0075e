// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/Decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// One pixel column of the four channels: where each one's first minimum and first maximum
// are, and their sums.
struct TColumn {
    std::array<float, 4> Min;
    std::array<float, 4> Max;
    std::array<size_t, 4> MinAt{};
    std::array<size_t, 4> MaxAt{};
    std::array<double, 4> Sum{};
};

// Turns the columns, left to right, into the points of the lines.
class TLines {
public:
    TLines(const TReadingView& readings, const TDecimation& how, TDecimated& out)
        : FReadings(readings), FHow(how), FOut(out)
    {
    }

    // The readings first..last-1, which fall into column `column`. Inside the range
    // (0 <= column < Columns) they count for the figures.
    void Column(long column, size_t first, size_t last)
    {
        TColumn col;
        col.Min.fill(std::numeric_limits<float>::infinity());
        col.Max.fill(-std::numeric_limits<float>::infinity());
        FReadings.Scan(first, last, [&col](const TReading& r, size_t i) {
            for (size_t c = 0; c < 4; ++c) {
                const float v = r.Lambda[c];
                if (v < col.Min[c]) {
                    col.Min[c] = v;
                    col.MinAt[c] = i;
                }
                if (v > col.Max[c]) {
                    col.Max[c] = v;
                    col.MaxAt[c] = i;
                }
                col.Sum[c] += v;
            }
        });
        if (FLast && FReadings[first].Time - FReadings[*FLast].Time > FHow.MaxGap && column - FLastColumn >= 2)
            Break();
        for (size_t c = 0; c < 4; ++c) {
            const size_t a = std::min(col.MinAt[c], col.MaxAt[c]);
            const size_t b = std::max(col.MinAt[c], col.MaxAt[c]);
            Emit(c, a);
            if (b != a)
                Emit(c, b);
            if (column >= 0 && column < FHow.Columns) {
                const double y = FHow.YScale;
                FOut.Stats[c].Merge(last - first, y * col.Min[c], y * col.Max[c], y * col.Sum[c]);
            }
        }
        FLast = last - 1;
        FLastColumn = column;
    }

    void Finish() { EndPiece(); }

private:
    void Emit(size_t channel, size_t index)
    {
        const TReading& r = FReadings[index];
        FOut.Points[channel].append(QPointF(FHow.XOffset + FHow.XScale * r.Time, FHow.YScale * r.Lambda[channel]));
        ++FPieceLength[channel];
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

    const TReadingView& FReadings;
    const TDecimation& FHow;
    TDecimated& FOut;
    std::array<int, 4> FPieceLength{};
    std::optional<size_t> FLast;  // the last reading of the last column
    long FLastColumn = 0;
};

}  // namespace

TDecimated Decimate(const TReadingView& readings, const TDecimation& how)
{
    TDecimated out;
    if (readings.empty() || !(how.To > how.From) || how.Columns < 1)
        return out;
    const size_t inside = readings.LowerBound(how.From);
    const size_t after = readings.UpperBound(how.To);
    const double width = (how.To - how.From) / how.Columns;

    // Column by column, only those with readings: the column of the next reading, its end
    // found by a search, its readings scanned once.
    TLines lines(readings, how, out);
    if (inside > 0)
        lines.Column(-1, inside - 1, inside);  // the reading before the range
    for (size_t first = inside; first < after;) {
        const long column = std::clamp(static_cast<long>(std::floor((readings[first].Time - how.From) / width)), 0L,
                                       static_cast<long>(how.Columns) - 1);
        const size_t last = column + 1 < how.Columns
                                ? readings.LowerBound(how.From + width * static_cast<double>(column + 1), first)
                                : after;
        // At least this reading, whatever the rounding of the column's edge.
        const size_t end = std::clamp(last, first + 1, after);
        lines.Column(column, first, end);
        first = end;
    }
    if (after < readings.size())
        lines.Column(how.Columns, after, after + 1);  // and the one after it
    lines.Finish();
    return out;
}
