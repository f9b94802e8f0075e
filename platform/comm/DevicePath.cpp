// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/comm/DevicePath.h"

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <memory>

namespace comm {

std::string FormatDeviceName(const std::string& nameTemplate, long long number)
{
    std::string out;
    bool substituted = false;
    for (size_t i = 0; i < nameTemplate.size(); ++i) {
        const char c = nameTemplate[i];
        if (c != '%' || i + 1 >= nameTemplate.size()) {
            out += c;
            continue;
        }
        const char next = nameTemplate[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (!substituted && (next == 'd' || next == 'i' || next == 'u')) {
            out += std::to_string(number);
            substituted = true;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string PortDirectory()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return base + "/korvant/ports";
}

int ComPortNumber(const std::string& name)
{
    if (name.size() < 4 || ::strncasecmp(name.c_str(), "COM", 3) != 0)
        return 0;
    long value = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || value > 1000000)
            return 0;
        value = value * 10 + (name[i] - '0');
    }
    return static_cast<int>(value);
}

std::string LinkedPath(const std::string& dir, const std::string& name)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir);
    if (!handle)
        return {};
    while (const dirent* entry = ::readdir(handle.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) != 0)
            continue;
        const std::string link = dir + "/" + entry->d_name;
        char target[4096];
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0)
            continue;
        std::string path(target, static_cast<size_t>(n));
        return path.front() == '/' ? path : dir + "/" + path;
    }
    return {};
}

namespace {

std::string TablePath(const std::string& devRoot, int port)
{
    if (port >= 1 && port <= 32)
        return devRoot + "/ttyS" + std::to_string(port - 1);
    if (port >= 33 && port <= 64)
        return devRoot + "/ttyUSB" + std::to_string(port - 33);
    if (port >= 65 && port <= 96)
        return devRoot + "/ttyACM" + std::to_string(port - 65);
    return {};
}

}  // namespace

std::string ResolveDevicePath(const std::string& name)
{
    return ResolveDevicePath(name, PortDirectory(), "/dev");
}

std::string ResolveDevicePath(const std::string& name, const std::string& portDir, const std::string& devRoot)
{
    if (!name.empty() && name.front() == '/')
        return name;
    if (name.find('/') == std::string::npos && !name.empty()) {
        if (std::string linked = LinkedPath(portDir, name); !linked.empty())
            return linked;
    }
    if (std::string table = TablePath(devRoot, ComPortNumber(name)); !table.empty())
        return table;
    return devRoot + "/" + name;
}

}  // namespace comm
