// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/comm/PortAccess.h"

#include <fcntl.h>
#include <unistd.h>

namespace comm {

bool MayOpenDevice(const std::string& path)
{
    return ::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
}

std::string PermissionAdvice(const std::string& devicePath, const std::optional<std::string>& ruleFile)
{
    const std::string rule =
        ruleFile ? "with the udev rule " + *ruleFile + ": copy it to /etc/udev/rules.d/,"
                 : "with a udev rule: put the line\n"
                   "      SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB[0-9]*|ttyACM[0-9]*\", TAG+=\"uaccess\"\n"
                   "    into /etc/udev/rules.d/60-korvant-serial.rules,";
    return "This user may not open " + devicePath + ". Either\n"
           "  - join the dialout group: sudo adduser $USER dialout, then log out and in again; or\n"
           "  - let the logged-in user open USB serial adapters " + rule + "\n"
           "    run sudo udevadm control --reload && sudo udevadm trigger, and plug the adapter in again.";
}

}  // namespace comm
