// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <vector>

// Where an axis puts its ticks: at round values, not too many.

// 1, 2 or 5 times a power of ten: the smallest such step that divides span into at most
// maxSteps steps.
double NiceStep(double span, int maxSteps);
// The decimals a label needs to tell ticks a step apart.
int StepDecimals(double step);
// For a time axis in seconds: the smallest of 1, 2, 5, 10, 15 and 30 seconds, 1, 2, 5, 10,
// 15 and 30 minutes, 1, 2, 3, 6, 12 and 24 hours, then whole days, that divides span into
// at most maxSteps steps.
double NiceTimeStep(double span, int maxSteps);
// The multiples of step from `from` to `to`.
std::vector<double> TicksBetween(double from, double to, double step);
