// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>

#include "history/LogData.h"

class QCategoryAxis;
class QLabel;
class QPushButton;
class QTimer;
class TLambdaChart;
class TUnitChooser;

// The log viewer: a whole CSV log, the four channels over time, zoomed with the wheel or a
// dragged box (a right click goes back out), moved by dragging with the middle button or
// with the arrow keys; "+" and "-" zoom, Home shows it all. Below the chart the time and
// the values under the mouse, and each channel's minimum, mean and maximum over what is
// shown; the status line counts the readings and the damaged lines that were skipped.
//
// Everything runs on the user-interface thread.
class TLogWindow : public QWidget {
public:
    explicit TLogWindow(QWidget* parent = nullptr);
    ~TLogWindow() override;

    QPushButton* OpenButton = nullptr;   // "Open Log..."
    TUnitChooser* Units = nullptr;
    QPushButton* WholeButton = nullptr;  // "Whole Log"
    QPushButton* SaveButton = nullptr;   // "Save as PNG..."
    TLambdaChart* Chart = nullptr;
    QLabel* Readout = nullptr;           // the time and values under the mouse
    std::array<std::array<QLabel*, 3>, 4> StatsLabels{};  // per channel: minimum, mean, maximum
    QLabel* StatusLine = nullptr;

    // The file dialogs; tests replace them.
    std::function<QString()> AskLogFileName;
    std::function<QString()> AskPngFileName;

    // Reads a log and shows all of it. Raises the reader's errors, and then changes nothing.
    void Open(const QString& path);
    const TLogData& Data() const { return FData; }
    void ShowWindow();

    // The time shown, in the log's seconds (TLogData); kept within the log.
    std::pair<double, double> Range() const;
    void ShowRange(double from, double to);
    void ShowWhole();
    // Zooms by factor (below 1: in) keeping the time at the same place.
    void ZoomAt(double factor, double time);
    // Moves by a fraction of the time shown, later for positive ones.
    void Pan(double fraction);
    // Decimates the readings of the time shown into the chart, now.
    void Redraw();

    // The narrowest time shown, in seconds.
    static constexpr double kMinSpan = 1.0;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::pair<double, double> Whole() const;
    std::pair<double, double> Clamped(double from, double to) const;
    void Redraw(double from, double to);
    void TimeRangeChanged();
    void UpdateReadout();
    void UpdateTimeTicks(double from, double to);
    void UpdateStatus();
    bool KeyPressed(int key);
    void OpenClick();
    void SavePngClick();

    TLogData FData;
    QCategoryAxis* FTimeAxis = nullptr;  // in the log's seconds, labelled with its times
    QTimer* FRedrawTimer = nullptr;  // one redraw for the range changes of one moment
    bool FSettingRange = false;       // the range is changed here, not by the user
    bool FUserValueRange = false;     // a dragged box chose the value range
    std::optional<double> FHover;     // the log's seconds under the mouse
};
