// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>
#include <string>

#include <QFont>

#include "platform/framework/Color.h"
#include "platform/framework/GlyphCache.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/Set.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

// A font by typeface, character height in pixels, style and colour. Size is in points at
// 96 dpi (size 8 is 11 pixels). Every change that alters the font fires OnChange.
class TFont : public TPersistent {
public:
    TFont() = default;
    std::string ClassName() const override { return "TFont"; }

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    // Character height in pixels.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Size() const;
    void SetSize(int Points);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    void Assign(const TPersistent& Source) override;

    // The Qt font this stands for; well-known typefaces of other desktops map to metric
    // compatible ones installed here, and text is drawn without antialiasing.
    QFont ToQFont() const { return Shared().Font; }
    // The glyphs of number texts in this font, shared with the font's copies.
    TGlyphCache& Glyphs() const { return Shared().Glyphs; }

    TNotifyEvent OnChange;

private:
    void Changed() { Fire(OnChange, this); }
    // A change of typeface, height or style; the colour is not part of the Qt font.
    void ShapeChanged()
    {
        FQt.reset();
        Changed();
    }

    std::string FName = "Arial";
    int FHeight = 11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    // Built once per change of shape and shared by the copies Assign makes (a canvas's font
    // is such a copy): Qt keeps its font lookups with the font, so text measured and drawn
    // ten times a second reuses them instead of resolving the typeface every time, and the
    // glyphs of its number texts are looked up once.
    struct TQtFont {
        explicit TQtFont(const QFont& F) : Font(F), Glyphs(F) {}
        QFont Font;
        TGlyphCache Glyphs;
    };
    TQtFont& Shared() const;
    mutable std::shared_ptr<TQtFont> FQt;
};

// The installed typeface that stands in for a requested one.
std::string ResolveFontFamily(const std::string& Name);
