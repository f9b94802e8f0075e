// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QPointF>

#include <array>

#include "history/ChannelStats.h"
#include "history/Reading.h"

// What a chart of From..To, Columns pixels wide, needs from a run of readings: per channel
// at most the minimum and the maximum of each pixel column, in time order, so that drawing
// costs the same whatever the number of readings. Output coordinates: x = XOffset + XScale
// × time, y = YScale × lambda.
struct TDecimation {
    double From = 0;
    double To = 1;
    int Columns = 1;
    // Readings further apart than this are not joined by the line, once at least one pixel
    // column without a reading lies between them: a gap in the readings stays visible.
    double MaxGap = 0;
    double XOffset = 0;
    double XScale = 1;
    double YScale = 1;
};

struct TDecimated {
    // Per channel: the points to draw; a point whose y is NaN separates two pieces of line.
    // One reading before From and one after To are included, so the line runs to the edges.
    std::array<QList<QPointF>, 4> Points;
    // Per channel: the indexes in Points of the points that stand alone between two breaks,
    // which a line cannot show: they are drawn as dots.
    std::array<QList<int>, 4> Lone;
    // Per channel, in output units: the readings taken within From..To.
    std::array<TChannelStats, 4> Stats;
};

TDecimated Decimate(const TReadingView& readings, const TDecimation& how);
