// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <array>

#include "history/ValueUnit.h"

// The four channels' values in a unit, for the line under a chart:
// "CH1 0.998   CH2 1.020   CH3 0.987   CH4 1.000".
QString ValuesText(const std::array<float, 4>& lambda, const TValueUnit& unit);
