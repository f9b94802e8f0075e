// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Color.h"

#include <array>
#include <cstddef>

namespace {

// Fixed values, so that pictures come out the same on every desktop.
constexpr std::array<TColor, 31> kSystemColors = {
    RGB(0xC8, 0xC8, 0xC8),  // 0 scroll bar
    RGB(0x00, 0x00, 0x00),  // 1 desktop background
    RGB(0x99, 0xB4, 0xD1),  // 2 active caption
    RGB(0xBF, 0xCD, 0xDB),  // 3 inactive caption
    RGB(0xF0, 0xF0, 0xF0),  // 4 menu
    RGB(0xFF, 0xFF, 0xFF),  // 5 window
    RGB(0x64, 0x64, 0x64),  // 6 window frame
    RGB(0x00, 0x00, 0x00),  // 7 menu text
    RGB(0x00, 0x00, 0x00),  // 8 window text
    RGB(0x00, 0x00, 0x00),  // 9 caption text
    RGB(0xB4, 0xB4, 0xB4),  // 10 active border
    RGB(0xF4, 0xF7, 0xFC),  // 11 inactive border
    RGB(0xAB, 0xAB, 0xAB),  // 12 application work space
    RGB(0x00, 0x78, 0xD7),  // 13 highlight
    RGB(0xFF, 0xFF, 0xFF),  // 14 highlight text
    RGB(0xF0, 0xF0, 0xF0),  // 15 button face
    RGB(0xA0, 0xA0, 0xA0),  // 16 button shadow
    RGB(0x6D, 0x6D, 0x6D),  // 17 grey text
    RGB(0x00, 0x00, 0x00),  // 18 button text
    RGB(0x00, 0x00, 0x00),  // 19 inactive caption text
    RGB(0xFF, 0xFF, 0xFF),  // 20 button highlight
    RGB(0x69, 0x69, 0x69),  // 21 3-D dark shadow
    RGB(0xE3, 0xE3, 0xE3),  // 22 3-D light
    RGB(0x00, 0x00, 0x00),  // 23 tooltip text
    RGB(0xFF, 0xFF, 0xE1),  // 24 tooltip background
    RGB(0x00, 0x00, 0x00),  // 25 unused
    RGB(0x00, 0x66, 0xCC),  // 26 hot-tracked item
    RGB(0xB9, 0xD1, 0xEA),  // 27 active caption gradient
    RGB(0xD7, 0xE4, 0xF2),  // 28 inactive caption gradient
    RGB(0x33, 0x99, 0xFF),  // 29 menu highlight
    RGB(0xF0, 0xF0, 0xF0),  // 30 menu bar
};

}  // namespace

TColor ColorToRGB(TColor Color)
{
    if (IsSystemColor(Color)) {
        const auto index = static_cast<std::size_t>(Color & 0xFF);
        return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
    }
    return Color & 0x00FFFFFFu;
}
