// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The numeric edit's text handling under arbitrary text: the conversions on their own, and
// the edit's validate-and-apply on a real widget with each base, limits and suffixes. The
// only exception allowed out is the conversion error that the application shows to the user.
// Input: a byte choosing base, limits and whether to apply, then the text.
#include <QApplication>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/framework/Exception.h"
#include "widgets/AbNumEdit.h"

namespace {

TAbNumEdit* edit = nullptr;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication application(*argc, *argv);
    static TAbNumEdit theEdit(nullptr);
    edit = &theEdit;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t choice = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto base = static_cast<TEditBase>(choice & 3);

    try {
        const long double value = ParseNumber(text, base, (choice & 4) ? 1000.0f : 1.0f);
        Require(!std::isnan(value));
    } catch (const EConvertError&) {
    }

    // The binary and hexadecimal forms of a number read back as that number.
    std::uint32_t bits = 0;
    for (size_t i = 0; i < text.size() && i < 4; ++i)
        bits = bits << 8 | static_cast<std::uint8_t>(text[i]);
    const auto number = static_cast<std::int32_t>(bits);
    Require(BinToInt(IntToBin(number, 0)) == number);
    Require(static_cast<std::int32_t>(static_cast<std::uint32_t>(
                static_cast<std::int64_t>(ParseNumber(IntToHex(number, choice & 7), ebHex, 1)))) == number);

    // Each setter applies the text in the field, which may be a number on its way ("1e"):
    // the conversion error is then the one the application shows.
    try {
        edit->SetEditBase(base);
        TNumEditOptions options;
        if (choice & 8) {
            options.Include(eoLimitMin);
            options.Include(eoLimitMax);
        }
        edit->SetMinValue(-1000);
        edit->SetMaxValue(1000);
        edit->SetOptions(options);
        edit->SetText(text);
        // An empty field is only being edited: it applies nothing.
        if (edit->CheckText((choice & 16) != 0) && (choice & 16) && (choice & 8) && !text.empty())
            Require(edit->Value() >= -1000 && edit->Value() <= 1000);
    } catch (const EConvertError&) {
    }
    return 0;
}
