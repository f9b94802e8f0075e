// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

#include <QImage>

#include "platform/framework/Canvas.h"
#include "platform/framework/Types.h"

// Small helpers for looking at a few pixels of a control's picture.
namespace pixels {

inline TColor At(const QImage& img, int x, int y)
{
    return FromQRgb(img.pixel(x, y));
}

// The smallest rectangle holding every pixel of Area for which Match holds (empty if none).
inline TRect BoundsWhere(const QImage& img, const TRect& Area, const std::function<bool(QRgb)>& Match)
{
    TRect r{Area.Right, Area.Bottom, Area.Left, Area.Top};
    for (int y = Area.Top; y < Area.Bottom; ++y)
        for (int x = Area.Left; x < Area.Right; ++x)
            if (Match(img.pixel(x, y))) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r.IsEmpty() ? TRect{} : r;
}

// Opaque and dark: text and outlines drawn in black.
inline bool Dark(QRgb p)
{
    return qAlpha(p) == 255 && qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80;
}

}  // namespace pixels
