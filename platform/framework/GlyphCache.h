// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <optional>
#include <string_view>

#include <QFont>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>

// The glyphs of one font for the texts numbers are written in, looked up once per character:
// a text of digits, signs, separators and the exponent's E ("12.35", "-0.5", "(12)", "1E+3")
// is then measured and drawn without Qt's text layout, which itemizes and shapes every text
// anew, and drawn to the same pixels. The font has no kerning (TFont turns it off), so the
// layout puts such glyphs one after another by their advances, as this does. Texts with
// other letters (which may join into ligatures), characters beyond ASCII and characters the
// font lacks are left to the layout, and so is all text of an underlined or struck-out font.
//
// Owned by the font it is for (TFont shares it among its copies); user-interface thread only.
class TGlyphCache {
public:
    explicit TGlyphCache(const QFont& Font) : FFont(Font) {}
    TGlyphCache(const TGlyphCache&) = delete;
    TGlyphCache& operator=(const TGlyphCache&) = delete;

    // A text laid out from the start of its baseline.
    struct Text {
        QGlyphRun Run;
        int Width = 0;  // as QFontMetrics::horizontalAdvance gives it
    };
    // Text's glyphs, or nothing when it needs the layout.
    std::optional<Text> Layout(std::string_view Chars);
    // Its width alone.
    std::optional<int> Width(std::string_view Chars);
    // The outline of a text that Layout took, its baseline starting at Origin.
    QPainterPath Outline(std::string_view Chars, QPointF Origin);

    int Ascent();
    int Height();  // ascent plus descent

private:
    struct Glyph {
        bool looked = false;
        bool usable = false;
        quint32 index = 0;
        double advance = 0;
        std::optional<QPainterPath> outline;
    };
    Glyph& Lookup(char c);
    // Whether every character of Chars is one this cache draws.
    bool Takes(std::string_view Chars);
    void EnsureFont();

    QFont FFont;
    std::optional<QRawFont> FRaw;
    int FAscent = 0;
    int FDescent = 0;
    std::array<Glyph, 128> FGlyphs{};
};
