// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/comm/SysfsTty.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace comm {

namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute. USB strings come from the device and are not to be
// trusted: they are cut to a length that fits a row and control characters are replaced.
std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char buffer[256];
    in.read(buffer, sizeof buffer);
    std::string text(buffer, static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    text.erase(std::min(text.find('\n'), text.size()));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t'))
        text.pop_back();
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

}  // namespace

std::vector<std::string> TtyNames(const std::string& sysRoot)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(sysRoot) / "class" / "tty", error), end; !error && it != end;
         it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int UartPortType(const std::string& sysRoot, const std::string& name)
{
    std::ifstream type(fs::path(sysRoot) / "class" / "tty" / name / "type");
    int value = -1;
    if (type >> value)
        return value;
    return -1;
}

std::optional<UsbIdentity> UsbIdentityOf(const std::string& sysRoot, const std::string& name)
{
    std::error_code error;
    const fs::path top = fs::canonical(sysRoot, error);
    if (error)
        return std::nullopt;
    fs::path dir = fs::canonical(top / "class" / "tty" / name / "device", error);
    if (error)
        return std::nullopt;
    // Only a USB device (not its interfaces, nor the port below them) has idVendor.
    for (; dir != top && dir != dir.root_path() && !dir.empty(); dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", error))
            return UsbIdentity{ReadAttribute(dir / "manufacturer"), ReadAttribute(dir / "product"),
                               ReadAttribute(dir / "serial")};
    }
    return std::nullopt;
}

}  // namespace comm
