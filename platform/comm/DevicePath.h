// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace comm {

// Substitutes number for the first "%d" (also "%i" or "%u") of a device-name template;
// "%%" stands for a single "%", any other "%" sequence is kept as written. Never uses the
// template as a printf format, so no template can read or write past its arguments.
std::string FormatDeviceName(const std::string& nameTemplate, long long number);

// The fixed table covers the port numbers 1 to this one.
inline constexpr int kLastTablePort = 96;

// The per-user port directory, ${XDG_CONFIG_HOME:-$HOME/.config}/korvant/ports.
std::string PortDirectory();

// Maps a device name to the path that is opened: an absolute path stays as it is; a port
// name such as COM6 is looked up as a link in PortDirectory() (case-insensitive, the link's
// target is the path), then in the fixed table COM1-32 → /dev/ttyS0-31, COM33-64 →
// /dev/ttyUSB0-31, COM65-96 → /dev/ttyACM0-31; anything else becomes /dev/<name>.
std::string ResolveDevicePath(const std::string& name);
// The same with the port directory and the device folder given, so a listing can be
// pointed at a fixture: table paths and other names are found below devRoot.
std::string ResolveDevicePath(const std::string& name, const std::string& portDir, const std::string& devRoot);

// The target of the link in dir whose name is name in any case (a relative target taken
// from dir), or "" when there is no such link.
std::string LinkedPath(const std::string& dir, const std::string& name);

// The port number of a name "COM<n>" (any case), or 0 when it is not such a name.
int ComPortNumber(const std::string& name);

}  // namespace comm
