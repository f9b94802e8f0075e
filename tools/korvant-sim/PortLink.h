// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace sim {

// ${XDG_CONFIG_HOME:-$HOME/.config}/korvant/ports; throws when neither variable is set.
std::string PortDirectory();

// The link <port directory>/COM<n> → device for the object's life. A link of that name
// that points nowhere or to a pseudo-terminal (a stand-in that did not clean up) is
// replaced; a link to anything else, or a file that is not a link, is left alone and the
// constructor throws. The destructor removes the link if it still points where this
// object put it.
class PortLink {
public:
    PortLink(int com, const std::string& target);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Points the link at another device (after a reopen).
    void Retarget(const std::string& target);
    const std::string& Path() const { return FPath; }
    const std::string& Name() const { return FName; }

private:
    void Create(const std::string& target, bool replaceAny);

    std::string FName;
    std::string FPath;
    std::string FTarget;
};

}  // namespace sim
