// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/comm/PortList.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "platform/comm/DevicePath.h"
#include "platform/comm/SysfsTty.h"

namespace comm {

bool DevicePresent(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    if (path.rfind("/dev/ttyS", 0) != 0)
        return true;
    // A built-in UART node without hardware reports port type 0. The type is read from
    // sysfs, never by opening the device: an open would raise DTR on a real port and may
    // reset whatever hangs on it.
    return UartPortType("/sys", path.substr(5)) != 0;
}

std::vector<std::string> ListPortNames()
{
    std::vector<std::string> names;
    const auto has = [&](const std::string& name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return ::strcasecmp(n.c_str(), name.c_str()) == 0; });
    };

    std::vector<std::string> linked;
    const std::string dir = PortDirectory();
    if (const std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir); handle) {
        while (const dirent* entry = ::readdir(handle.get())) {
            const std::string name = entry->d_name;
            if (ComPortNumber(name) > 0 && DevicePresent(ResolveDevicePath(name)))
                linked.push_back(name);
        }
    }
    std::sort(linked.begin(), linked.end(),
              [](const std::string& a, const std::string& b) { return ComPortNumber(a) < ComPortNumber(b); });
    for (const std::string& name : linked) {
        if (!has(name))
            names.push_back(name);
    }

    for (int port = 1; port <= kLastTablePort; ++port) {
        const std::string name = "COM" + std::to_string(port);
        if (has(name))
            continue;
        // A dangling link of this name shadows the table: opening the port would follow it.
        if (DevicePresent(ResolveDevicePath(name)))
            names.push_back(name);
    }
    return names;
}

}  // namespace comm
