// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace comm {

// Whether this process may open path for reading and writing, asked of the kernel with
// the effective user and groups (as open does), so group rights and the ACL that the
// udev "uaccess" tag grants both count. The device is never opened: an open would raise
// DTR. The superuser passes whatever the file's mode says.
bool MayOpenDevice(const std::string& path);

// What a user who may not open devicePath can do about it: join the dialout group, or let
// the logged-in user open USB serial adapters with a udev rule. ruleFile is where the rule
// example is installed, if it is; otherwise the rule's text is given.
std::string PermissionAdvice(const std::string& devicePath, const std::optional<std::string>& ruleFile);

}  // namespace comm
