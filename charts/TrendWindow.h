// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

#include "history/ReadingRing.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTimer;
class TLambdaChart;
class TLogWindow;
class TUnitChooser;

// The trend: the four channels over the last 10 s to 10 min of the live history, redrawn
// while the window is open, with the values under the mouse below the chart. "Pause"
// freezes the picture on a copy of the history, which goes on collecting. The window is
// made once and hidden, not destroyed, when closed.
//
// Everything runs on the user-interface thread.
class TTrendWindow : public QWidget {
public:
    TTrendWindow(const TReadingRing& history, QWidget* parent);
    ~TTrendWindow() override;

    QComboBox* SpanBox = nullptr;            // "10 s", "30 s", "1 min" (the default), "5 min", "10 min"
    TUnitChooser* Units = nullptr;
    QCheckBox* AutoRangeBox = nullptr;       // "Automatic range"; otherwise From..To
    QDoubleSpinBox* RangeFrom = nullptr;     // the fixed range, in the unit shown
    QDoubleSpinBox* RangeTo = nullptr;
    QPushButton* PauseButton = nullptr;      // "Pause", checkable
    QPushButton* SaveButton = nullptr;       // "Save as PNG..."
    QPushButton* OpenLogButton = nullptr;    // "Open Log..."
    TLambdaChart* Chart = nullptr;
    QLabel* Readout = nullptr;               // the values under the mouse, or the newest ones
    QTimer* RefreshTimer = nullptr;

    // The file dialogs; tests replace them.
    std::function<QString()> AskPngFileName;
    std::function<QString()> AskLogFileName;

    // Shows the window (or brings it forward) and draws at once.
    void ShowWindow();
    // Seconds shown.
    double Span() const;
    bool Paused() const;
    // Draws the readings of the span up to now (or up to the pause).
    void Refresh();
    // The viewer "Open Log..." shows; made on first use.
    TLogWindow& LogWindow();

    // The fixed range of the meters, in lambda.
    static constexpr double kFixedLow = 0.65;
    static constexpr double kFixedHigh = 1.35;
    // Readings further apart than one and a half ticks of the 10 Hz poll are not joined.
    static constexpr double kMaxGap = 0.15;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TReadingView Readings() const;
    double Now() const;
    void PauseClick();
    void SavePngClick();
    void OpenLogClick();
    void UnitChanged();
    void RangeChanged();
    void UpdateReadout();
    void UpdateRefreshRate();

    const TReadingRing& FHistory;
    std::unique_ptr<TReadingRing> FFrozen;  // the history at "Pause"
    double FFrozenAt = 0;
    double FShownAt = 0;            // "now" of the picture shown
    double FFixedLow = kFixedLow;   // in lambda
    double FFixedHigh = kFixedHigh;
    std::optional<double> FHover;   // seconds before now under the mouse
    TLogWindow* FLogWindow = nullptr;
};
