// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/ValueUnit.h"

#include <array>

#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"

namespace {

constexpr std::array<TFuel, 8> kFuels{{
    {"gasoline", 14.7},
    {"E10", 14.1},
    {"E85", 9.8},
    {"ethanol", 9.0},
    {"methanol", 6.4},
    {"diesel", 14.5},
    {"LPG", 15.7},
    {"CNG", 17.2},
}};

}  // namespace

std::span<const TFuel> Fuels()
{
    return kFuels;
}

TValueUnit TValueUnit::Afr(double ratio)
{
    if (!(ratio >= kMinRatio && ratio <= kMaxRatio))
        throw ERangeError("A stoichiometric ratio lies between 1 and 50");
    TValueUnit unit;
    unit.FRatio = ratio;
    return unit;
}

std::string TValueUnit::Format(double value) const
{
    return FormatFloat(Pattern(), value);
}
