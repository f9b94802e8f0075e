// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Number texts measured and drawn from a font's cached glyphs give what Qt's text layout
// gives: the same width and the same pixels, at every device pixel ratio.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "platform/framework/Canvas.h"
#include "platform/framework/Font.h"
#include "platform/framework/PixelGrid.h"

namespace {

// column: typeface, character height, bold (the readouts', the scale's and the lamps' fonts)
struct FontCase {
    const char* name;
    int height;
    bool bold;
};

const FontCase kFonts[] = {{"Arial", 40, false}, {"Arial", 21, true}, {"Arial", 16, true},
                           {"Arial", 11, false}, {"MS Sans Serif", 11, true}};

const char* const kTexts[] = {"0.987", "65.54", "10.00", "12.8", "9.999", "123", "-1.5", "(12)", "1E+3", "0.000",
                              "13.8", "1.111", "7.747", "V", "LAMBDA CH1", "CH1 LAMBDA"};

QImage Blank(double ratio)
{
    QImage image(TPixelGrid{ratio, {}}.DeviceSize({200, 60}), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

// The text as Qt lays it out and draws it, with the canvas's rules: no antialiasing, and text
// too large for Qt's glyph cache filled from its outline.
QImage DrawnByQt(const TFont& font, double ratio, const QString& text)
{
    QImage image = Blank(ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    const QFont f = font.ToQFont();
    const QPointF baseline(3, 5 + QFontMetrics(f).ascent());
    if (f.pixelSize() * ratio > 64) {
        QPainterPath outline;
        outline.addText(baseline, f, text);
        p.fillPath(outline, Qt::green);
    } else {
        p.setFont(f);
        p.setPen(Qt::green);
        p.drawText(baseline, text);
    }
    return image;
}

class GlyphCacheText : public testing::TestWithParam<std::tuple<double, FontCase>> {};

TEST_P(GlyphCacheText, MeasuresAndDrawsAsTheLayoutDoes)
{
    const auto& [ratio, fc] = GetParam();
    TFont font;
    font.SetName(fc.name);
    font.SetHeight(fc.height);
    font.SetStyle(fc.bold ? TFontStyles{fsBold} : TFontStyles{});
    font.SetColor(clLime);
    for (const char* t : kTexts) {
        QImage image = Blank(ratio);
        TCanvas canvas(&image);
        canvas.Font().Assign(font);
        canvas.Brush().Style = bsClear;
        canvas.TextOut(3, 5, t);
        canvas.Release();
        EXPECT_TRUE(image == DrawnByQt(font, ratio, t)) << t;
        EXPECT_EQ(canvas.TextWidth(t), QFontMetrics(font.ToQFont()).horizontalAdvance(t)) << t;
        EXPECT_EQ(canvas.PenPos().x, 3 + canvas.TextWidth(t)) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, GlyphCacheText, testing::Combine(testing::Values(1.0, 1.5, 2.0), testing::ValuesIn(kFonts)),
                         [](const auto& info) {
                             const FontCase& f = std::get<1>(info.param);
                             std::string name = std::string(f.name) + std::to_string(f.height) + (f.bold ? "Bold" : "") +
                                                "At" + std::to_string(static_cast<int>(std::get<0>(info.param) * 10));
                             std::erase(name, ' ');
                             return name;
                         });

TEST(GlyphCache, TakesNumberTextsAndLeavesTheRestToTheLayout)
{
    TFont font;
    TGlyphCache& glyphs = font.Glyphs();
    EXPECT_TRUE(glyphs.Width("-12.345E+3 (1,5)"));
    EXPECT_FALSE(glyphs.Width("fi"));          // letters may join
    EXPECT_FALSE(glyphs.Width("12\xC2\xB0"));  // beyond ASCII
    EXPECT_EQ(glyphs.Width(""), 0);

    // A copy shares the glyphs; a change of shape gets glyphs of its own.
    TFont copy;
    copy.Assign(font);
    EXPECT_EQ(&copy.Glyphs(), &glyphs);
    copy.SetHeight(30);
    EXPECT_NE(&copy.Glyphs(), &glyphs);
    EXPECT_GT(copy.Glyphs().Height(), glyphs.Height());
    font.SetStyle({fsUnderline});
    EXPECT_FALSE(font.Glyphs().Width("12.3"));  // the layout draws the line
}

}  // namespace
