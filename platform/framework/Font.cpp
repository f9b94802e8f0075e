// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Font.h"

#include <cctype>
#include <cmath>
#include <map>

#include <QString>

namespace {
std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

std::string ResolveFontFamily(const std::string& Name)
{
    static const std::map<std::string, std::string> kFamilies = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"system", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"tahoma", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
    };
    const auto it = kFamilies.find(Lower(Name));
    return it != kFamilies.end() ? it->second : Name;
}

void TFont::SetName(const std::string& Value)
{
    if (Value == FName)
        return;
    FName = Value;
    ShapeChanged();
}

void TFont::SetHeight(int Value)
{
    Value = std::abs(Value);  // a negative height means the same character height
    if (Value == FHeight)
        return;
    FHeight = Value;
    ShapeChanged();
}

int TFont::Size() const
{
    return static_cast<int>(std::lround(FHeight * 72.0 / 96.0));
}

void TFont::SetSize(int Points)
{
    SetHeight(static_cast<int>(std::lround(std::abs(Points) * 96.0 / 72.0)));
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    ShapeChanged();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TFont*>(&Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    const bool sameShape = FName == src->FName && FHeight == src->FHeight && FStyle == src->FStyle;
    const bool same = sameShape && FColor == src->FColor;
    FName = src->FName;
    FHeight = src->FHeight;
    FStyle = src->FStyle;
    FColor = src->FColor;
    if (!sameShape || !FQt) {
        src->Shared();
        FQt = src->FQt;
    }
    if (!same)
        Changed();
}

TFont::TQtFont& TFont::Shared() const
{
    if (FQt)
        return *FQt;
    QFont font(QString::fromStdString(ResolveFontFamily(FName)));
    font.setPixelSize(std::max(1, FHeight));
    font.setBold(FStyle.Contains(fsBold));
    font.setItalic(FStyle.Contains(fsItalic));
    font.setUnderline(FStyle.Contains(fsUnderline));
    font.setStrikeOut(FStyle.Contains(fsStrikeOut));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    FQt = std::make_shared<TQtFont>(font);
    return *FQt;
}
