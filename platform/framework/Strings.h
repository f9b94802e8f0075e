// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "platform/framework/Persistent.h"

// An ordered list of strings; Text joins them with line breaks.
class TStrings : public TPersistent {
public:
    std::string ClassName() const override { return "TStrings"; }

    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Strings(int Index) const;
    void SetStrings(int Index, const std::string& Value);
    int Add(const std::string& S);
    void Insert(int Index, const std::string& S);
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    int IndexOf(const std::string& S) const;

    std::string Text() const;
    // Splits at CR LF, LF or CR.
    void SetText(const std::string& Value);

    void Assign(const TPersistent& Source) override;

private:
    std::vector<std::string> FItems;
};
