// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>
#include <string>

// A fuel and its stoichiometric air-fuel ratio by mass.
struct TFuel {
    const char* Name;
    double Ratio;
};

// The fuels the views offer, in the order they are offered.
std::span<const TFuel> Fuels();

// How the views show a reading: as lambda, or as the air-fuel ratio of a fuel, which is
// lambda times the fuel's stoichiometric ratio.
class TValueUnit {
public:
    // Lambda.
    TValueUnit() = default;
    // AFR with this stoichiometric ratio (kMinRatio to kMaxRatio).
    static TValueUnit Afr(double ratio);

    static constexpr double kMinRatio = 1.0;
    static constexpr double kMaxRatio = 50.0;

    bool IsAfr() const { return FRatio > 0; }
    // What a lambda value is multiplied by.
    double Factor() const { return IsAfr() ? FRatio : 1.0; }
    double FromLambda(double lambda) const { return lambda * Factor(); }
    // "Lambda" or "AFR".
    const char* Name() const { return IsAfr() ? "AFR" : "Lambda"; }
    // Lambda with three decimals, AFR with two, in the user's locale.
    std::string Format(double value) const;
    const char* Pattern() const { return IsAfr() ? "0.00" : "0.000"; }

    bool operator==(const TValueUnit&) const = default;

private:
    double FRatio = 0;  // 0: lambda
};
