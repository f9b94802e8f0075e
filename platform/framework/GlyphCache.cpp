// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/GlyphCache.h"

#include <cmath>

#include <QFontMetrics>
#include <QList>

namespace {

// Letters may join with their neighbours (fi, ffl); E stands alone in an exponent.
bool StandsAlone(char c)
{
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return c >= ' ' && c < 127 && (!letter || c == 'E' || c == 'e');
}

}  // namespace

void TGlyphCache::EnsureFont()
{
    if (FRaw)
        return;
    FRaw = QRawFont::fromFont(FFont);
    const QFontMetrics fm(FFont);
    FAscent = fm.ascent();
    FDescent = fm.descent();
}

int TGlyphCache::Ascent()
{
    EnsureFont();
    return FAscent;
}

int TGlyphCache::Height()
{
    EnsureFont();
    return FAscent + FDescent;
}

TGlyphCache::Glyph& TGlyphCache::Lookup(char c)
{
    Glyph& g = FGlyphs[static_cast<unsigned char>(c) & 0x7F];
    if (g.looked)
        return g;
    g.looked = true;
    if (!StandsAlone(c) || !FRaw->isValid())
        return g;
    const QList<quint32> indexes = FRaw->glyphIndexesForString(QString(QChar(c)));
    if (indexes.size() != 1 || indexes[0] == 0)
        return g;  // not in this font: the layout would take another one
    g.index = indexes[0];
    g.advance = FRaw->advancesForGlyphIndexes(indexes).value(0).x();
    g.usable = true;
    return g;
}

bool TGlyphCache::Takes(std::string_view Chars)
{
    EnsureFont();
    if (FFont.underline() || FFont.strikeOut())
        return false;  // the layout draws the lines
    for (const char c : Chars)
        if (static_cast<unsigned char>(c) >= 128 || !Lookup(c).usable)
            return false;
    return true;
}

std::optional<int> TGlyphCache::Width(std::string_view Chars)
{
    if (!Takes(Chars))
        return std::nullopt;
    double x = 0;
    for (const char c : Chars)
        x += Lookup(c).advance;
    return static_cast<int>(std::floor(x + 0.5));  // the layout rounds its total so
}

std::optional<TGlyphCache::Text> TGlyphCache::Layout(std::string_view Chars)
{
    if (!Takes(Chars))
        return std::nullopt;
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(static_cast<qsizetype>(Chars.size()));
    positions.reserve(static_cast<qsizetype>(Chars.size()));
    double x = 0;
    for (const char c : Chars) {
        const Glyph& g = Lookup(c);
        indexes.append(g.index);
        positions.append(QPointF(x, 0));
        x += g.advance;
    }
    Text text;
    text.Run.setRawFont(*FRaw);
    text.Run.setGlyphIndexes(indexes);
    text.Run.setPositions(positions);
    text.Width = static_cast<int>(std::floor(x + 0.5));
    return text;
}

QPainterPath TGlyphCache::Outline(std::string_view Chars, QPointF Origin)
{
    QPainterPath outline;
    double x = 0;
    for (const char c : Chars) {
        Glyph& g = Lookup(c);
        if (!g.outline)
            g.outline = FRaw->pathForGlyph(g.index);
        outline.addPath(g.outline->translated(Origin + QPointF(x, 0)));
        x += g.advance;
    }
    return outline;
}
