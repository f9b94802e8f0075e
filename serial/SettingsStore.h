// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "platform/framework/Persistent.h"

enum TRegRootKey { rrCURRENTUSER, rrLOCALMACHINE };
enum TSettingsLocation { slINIFile, slRegistry };

// Where the serial component keeps its line settings: an INI file (Key is the file name)
// or the per-user settings medium (Key names the place, RegRoot the root).
class TSettingsStore : public TPersistent {
public:
    std::string ClassName() const override { return "TSettingsStore"; }
    // Copies the four values from another store; any other source is ignored.
    void Assign(const TPersistent& Source) override;

    const std::string& Key() const { return FKey; }
    void SetKey(const std::string& Value) { FKey = Value; }
    TSettingsLocation Location() const { return FLocation; }
    void SetLocation(TSettingsLocation Value) { FLocation = Value; }
    TRegRootKey RegRoot() const { return FRegRoot; }
    void SetRegRoot(TRegRootKey Value) { FRegRoot = Value; }
    const std::string& Section() const { return FSection; }
    void SetSection(const std::string& Value) { FSection = Value; }

private:
    std::string FKey;
    TSettingsLocation FLocation = slINIFile;
    TRegRootKey FRegRoot = rrCURRENTUSER;
    std::string FSection;
};
