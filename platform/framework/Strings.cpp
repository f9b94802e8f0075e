// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Strings.h"

#include "platform/framework/Exception.h"

namespace {
void CheckIndex(int Index, int Count)
{
    if (Index < 0 || Index >= Count)
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
}
}  // namespace

const std::string& TStrings::Strings(int Index) const
{
    CheckIndex(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

void TStrings::SetStrings(int Index, const std::string& Value)
{
    CheckIndex(Index, Count());
    FItems[static_cast<size_t>(Index)] = Value;
}

int TStrings::Add(const std::string& S)
{
    FItems.push_back(S);
    return Count() - 1;
}

void TStrings::Insert(int Index, const std::string& S)
{
    if (Index < 0 || Index > Count())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, S);
}

void TStrings::Delete(int Index)
{
    CheckIndex(Index, Count());
    FItems.erase(FItems.begin() + Index);
}

int TStrings::IndexOf(const std::string& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)] == S)
            return i;
    return -1;
}

std::string TStrings::Text() const
{
    std::string out;
    for (const std::string& s : FItems) {
        out += s;
        out += '\n';
    }
    return out;
}

void TStrings::SetText(const std::string& Value)
{
    FItems.clear();
    std::string line;
    for (size_t i = 0; i < Value.size(); ++i) {
        const char c = Value[i];
        if (c == '\r' || c == '\n') {
            FItems.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        FItems.push_back(line);
}

void TStrings::Assign(const TPersistent& Source)
{
    if (const auto* src = dynamic_cast<const TStrings*>(&Source)) {
        FItems = src->FItems;
        return;
    }
    TPersistent::Assign(Source);
}
