// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/PixelGrid.h"

#include <cmath>

namespace {

// Half a device pixel and more goes up, as qRound does for the edges of a filled rectangle.
int DeviceEdge(int v, double ratio, double origin)
{
    return static_cast<int>(std::floor(v * ratio + origin + 0.5));
}

}  // namespace

int TPixelGrid::EdgeX(int v) const
{
    return DeviceEdge(v, Ratio, Origin.x());
}

int TPixelGrid::EdgeY(int v) const
{
    return DeviceEdge(v, Ratio, Origin.y());
}

QRect TPixelGrid::ToDevice(const TRect& R) const
{
    const int left = EdgeX(R.Left);
    const int top = EdgeY(R.Top);
    return QRect(left, top, EdgeX(R.Right) - left, EdgeY(R.Bottom) - top);
}

TPixelGrid TPixelGrid::Cut(const TRect& R) const
{
    return {Ratio, QPointF(R.Left * Ratio + Origin.x() - EdgeX(R.Left), R.Top * Ratio + Origin.y() - EdgeY(R.Top))};
}
