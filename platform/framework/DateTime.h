// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// A moment as days since 30 December 1899, the fraction being the time of day.
using TDateTime = double;

TDateTime Now();
TDateTime ToDateTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0, int Second = 0, int MSec = 0);

// The date in the locale's short date format, and the time as hours, minutes and seconds in
// the locale's order (never with a time zone); both from the formatting locale.
std::string DateToStr(TDateTime Value);
std::string TimeToStr(TDateTime Value);
