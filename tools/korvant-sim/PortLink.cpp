// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/korvant-sim/PortLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace sim {

namespace {

std::runtime_error Failure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            throw Failure("cannot create directory " + part);
        if (slash == std::string::npos)
            return;
    }
}

std::optional<std::string> ReadLink(const std::string& path)
{
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace

std::string PortDirectory()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] != '\0')
        return std::string(config) + "/korvant/ports";
    const char* home = std::getenv("HOME");
    if (!home || home[0] == '\0')
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set: no port directory");
    return std::string(home) + "/.config/korvant/ports";
}

PortLink::PortLink(int com, const std::string& target)
    : FName("COM" + std::to_string(com)), FPath(PortDirectory() + "/" + FName)
{
    MakeDirectories(PortDirectory());
    Create(target, false);
}

PortLink::~PortLink()
{
    if (ReadLink(FPath) == FTarget)
        ::unlink(FPath.c_str());
}

void PortLink::Retarget(const std::string& target)
{
    Create(target, ReadLink(FPath) == FTarget);
}

void PortLink::Create(const std::string& target, bool replaceAny)
{
    struct stat info {};
    if (::lstat(FPath.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            throw std::runtime_error(FPath + " exists and is not a symbolic link; not replacing it");
        const auto old = ReadLink(FPath).value_or("");
        struct stat targetInfo {};
        const bool dangling = ::stat(FPath.c_str(), &targetInfo) != 0;
        if (!replaceAny && !dangling && !old.starts_with("/dev/pts/"))
            throw std::runtime_error(FPath + " already links to " + old +
                                     "; remove it or choose another --com");
        if (::unlink(FPath.c_str()) != 0 && errno != ENOENT)
            throw Failure("cannot remove the old link " + FPath);
    } else if (errno != ENOENT) {
        throw Failure("cannot examine " + FPath);
    }
    if (::symlink(target.c_str(), FPath.c_str()) != 0)
        throw Failure("cannot link " + FPath + " to " + target);
    FTarget = target;
}

}  // namespace sim
