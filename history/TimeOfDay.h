// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string_view>

// The time of day as the log writes it, in the long time format of whichever locale wrote
// it: hours, minutes and seconds, in any script's digits, joined by ":" or "." or by
// words ("14:03:27", "14.03.27", "14時03分27秒"), on a 24-hour clock or on a 12-hour clock
// with the morning or afternoon marker of any locale Qt knows, before or after the time
// ("2:03:27 PM", "下午2:03:27", "오후 2시 3분 27초"). Other words around the time ("kl.")
// are passed over. Returns the seconds since midnight, or nothing when the text is no
// such time.
std::optional<int> ParseTimeOfDay(std::string_view text);
