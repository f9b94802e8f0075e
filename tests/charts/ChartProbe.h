// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDir>
#include <QLineSeries>
#include <QTest>

#include <cmath>
#include <vector>

#include "charts/LambdaChart.h"

// What a chart's series hold: the drawn points and the pieces of line between breaks.
inline std::vector<QPointF> DrawnPoints(const TLambdaChart& chart, int channel)
{
    std::vector<QPointF> points;
    for (const QPointF& p : chart.Series(channel)->points()) {
        if (!std::isnan(p.y()))
            points.push_back(p);
    }
    return points;
}

inline std::vector<size_t> PieceLengths(const TLambdaChart& chart, int channel)
{
    std::vector<size_t> pieces{0};
    for (const QPointF& p : chart.Series(channel)->points()) {
        if (std::isnan(p.y()))
            pieces.push_back(0);
        else
            ++pieces.back();
    }
    return pieces;
}

// Moves the mouse over the chart to a point given in the chart's axis values.
inline void HoverAt(TLambdaChart& chart, QPointF value)
{
    const QPointF inChart = chart.chart()->mapToPosition(value, chart.Series(0));
    const QPoint inView = chart.mapFromScene(chart.chart()->mapToScene(inChart));
    QTest::mouseMove(chart.viewport(), inView);
}

// How many pixels of the picture have exactly this colour.
inline int PixelsOf(const QImage& image, QColor color)
{
    int count = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x)
            count += rgb.pixelColor(x, y) == color;
    }
    return count;
}

inline void SaveScreenshot(QWidget& window, const char* name)
{
    QDir().mkpath(KORVANT_SCREENSHOT_DIR);
    window.grab().save(QString(KORVANT_SCREENSHOT_DIR) + "/" + name);
}
