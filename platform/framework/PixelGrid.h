// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

#include "platform/framework/Types.h"

// Where the logical pixels of a picture lie on the device pixels of its image. The logical
// coordinate v falls on the device coordinate v × Ratio + Origin, and the logical pixel x
// covers the device pixels from Edge(x) up to Edge(x + 1), the edges rounded as Qt rounds
// those of a filled rectangle. At a ratio of 1 both are the same.
//
// A picture cut out of another one continues its grid (Cut): its device pixels are the
// other's, so pixels copied between the two stay where they were, and what is drawn on the
// cut-out lands where it would on the whole. Its Origin then holds the part of a device pixel
// by which its logical corner lies off a device pixel's corner (at fractional ratios only).
struct TPixelGrid {
    double Ratio = 1;
    QPointF Origin;

    int EdgeX(int v) const;
    int EdgeY(int v) const;
    // The device pixels of the logical rectangle R.
    QRect ToDevice(const TRect& R) const;
    // The device pixels that cover the logical size Size from the grid's corner.
    QSize DeviceSize(TSize Size) const { return ToDevice({0, 0, Size.cx, Size.cy}).size(); }
    // The grid of a picture that holds R of this one, R's top-left corner being its (0, 0).
    TPixelGrid Cut(const TRect& R) const;
    // No scaling and no offset: logical pixels are device pixels.
    bool IsIdentity() const { return Ratio == 1 && Origin.isNull(); }

    bool operator==(const TPixelGrid&) const = default;
};
