// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QChartView>

#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "history/Decimation.h"
#include "history/ValueUnit.h"

class QLineSeries;
class QValueAxis;

// The chart of both views: the four channels as lines in their colours, a legend, a value
// axis in lambda or AFR and the time axis the view brings. It shows decimated readings
// (TDecimated) as they come; which readings, over which time, is the view's business.
// Qt Charts draws and handles the dragged box; the view is told of the mouse.
//
// Qt Charts lays out every line again whenever an axis changes, which costs about as much
// as drawing it: a new picture therefore drops the old lines first, then sets the axes,
// then hands over the new points.
class TLambdaChart : public QChartView {
public:
    // timeAxis: put at the bottom and owned by the chart.
    explicit TLambdaChart(QValueAxis* timeAxis, QWidget* parent = nullptr);

    // The pixel columns the plot area has now: what decimation should aim at.
    int Columns() const;
    // A new picture: the time axis from..to, the value axis low..high (with ticks at round
    // values), then the points of each channel, a NaN y between the pieces of a line; lone
    // points get a dot.
    void Show(const TDecimated& decimated, std::pair<double, double> time, std::pair<double, double> values);
    void SetUnit(const TValueUnit& unit);
    std::pair<double, double> ValueRange() const;

    // The chart as it is drawn, as a PNG file. Raises EInOutError when it cannot be written.
    void SavePng(const QString& path);

    QLineSeries* Series(int channel) const { return FSeries.at(static_cast<size_t>(channel)); }
    QValueAxis* ValueAxis() const { return FValueAxis; }
    QValueAxis* TimeAxis() const { return FTimeAxis; }

    // The time-axis value under the mouse while it is over the plot area, nothing when it
    // leaves; a wheel turn there (in steps of 15 degrees, up positive); a drag with the
    // middle button (in pixels, right positive).
    std::function<void(std::optional<double> time)> OnHover;
    std::function<void(double steps, double time)> OnWheel;
    std::function<void(int pixels)> OnDrag;
    // A key pressed on the chart; true when it was used.
    std::function<bool(int key)> OnKey;
    // Lays the time axis's ticks out for a new range, before the points come.
    std::function<void(double from, double to)> OnTimeRange;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::optional<double> TimeAt(QPointF position) const;

    QValueAxis* FTimeAxis;
    QValueAxis* FValueAxis;
    std::array<QLineSeries*, 4> FSeries{};
    std::array<bool, 4> FHasDots{};
    std::optional<int> FDragX;
};

// The colour of a channel (0 to 3) on every chart.
QColor ChannelColor(int channel);

// The value range that shows readings from low to high with a margin, never narrower than
// a tenth of a lambda.
std::pair<double, double> AutomaticRange(double low, double high, const TValueUnit& unit);
