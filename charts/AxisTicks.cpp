// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/AxisTicks.h"

#include <algorithm>
#include <cmath>

double NiceStep(double span, int maxSteps)
{
    if (!(span > 0) || maxSteps < 1)
        return 1;
    const double rough = span / maxSteps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        // A little slack, so that rounding never takes a step too far.
        if (factor * power >= rough * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

int StepDecimals(double step)
{
    return std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

double NiceTimeStep(double span, int maxSteps)
{
    constexpr double kSteps[] = {1,    2,    5,    10,    15,    30,    60,    120,   300,
                                 600,  900,  1800, 3600,  7200,  10800, 21600, 43200, 86400};
    const double rough = maxSteps >= 1 ? span / maxSteps : span;
    for (const double step : kSteps) {
        if (step >= rough)
            return step;
    }
    return std::ceil(rough / 86400) * 86400;
}

std::vector<double> TicksBetween(double from, double to, double step)
{
    std::vector<double> ticks;
    if (!(step > 0) || !(to >= from) || (to - from) / step > 1000)
        return ticks;
    for (double n = std::ceil(from / step - 1e-9); n * step <= to + step * 1e-9; ++n)
        ticks.push_back(n * step);
    return ticks;
}
