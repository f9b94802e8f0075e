// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/LogWindow.h"

#include <QCategoryAxis>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

#include "charts/AxisTicks.h"
#include "charts/ChartText.h"
#include "charts/FileDialogs.h"
#include "charts/LambdaChart.h"
#include "charts/UnitChooser.h"
#include "history/Decimation.h"
#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/DateTime.h"
#include "platform/framework/FormatFloat.h"

namespace {

// A second without a line is a gap: the log tells the time to the second.
constexpr double kMaxGap = 1.0;
constexpr double kWheelZoom = 0.8;  // per wheel step
constexpr double kKeyPan = 0.1;
// A column of the decimation per two pixels: a long log's dense band of minima and maxima
// looks the same, and Qt Charts lays it out in half the time.
constexpr int kPixelsPerColumn = 2;
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr int kTimeSteps = 6;

// A log's time (seconds from the midnight before its first reading) as the locale writes
// times; after the first day with the day's number.
QString TimeText(double seconds)
{
    const int day = static_cast<int>(std::floor(seconds / kSecondsPerDay));
    QString text = QString::fromStdString(TimeToStr(ToDateTime(2000, 1, 3) + seconds / kSecondsPerDay));
    if (day > 0)
        text += QString(" (day %1)").arg(day + 1);
    return text;
}

}  // namespace

TLogWindow::TLogWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("LogWindow");
    setWindowTitle("KORVANT Log Viewer");
    resize(960, 640);

    // Every widget belongs to this window through its layouts.
    OpenButton = new QPushButton("Open Log...");
    OpenButton->setObjectName("OpenButton");
    Units = new TUnitChooser;
    WholeButton = new QPushButton("Whole Log");
    WholeButton->setObjectName("WholeButton");
    SaveButton = new QPushButton("Save as PNG...");
    SaveButton->setObjectName("SaveButton");
    FTimeAxis = new QCategoryAxis;  // the chart owns it
    FTimeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    Chart = new TLambdaChart(FTimeAxis);
    Chart->setObjectName("LogChart");
    Chart->setRubberBand(QChartView::RectangleRubberBand);
    Chart->setFocusPolicy(Qt::StrongFocus);
    Readout = new QLabel;
    Readout->setObjectName("Readout");
    StatusLine = new QLabel;
    StatusLine->setObjectName("StatusLine");

    auto* controls = new QHBoxLayout;
    controls->addWidget(OpenButton);
    controls->addSpacing(12);
    controls->addWidget(Units);
    controls->addStretch();
    controls->addWidget(WholeButton);
    controls->addWidget(SaveButton);

    auto* stats = new QGridLayout;
    const char* headings[] = {"minimum", "mean", "maximum"};
    for (int column = 0; column < 3; ++column)
        stats->addWidget(new QLabel(headings[column]), 0, column + 1, Qt::AlignRight);
    for (int c = 0; c < 4; ++c) {
        auto* name = new QLabel(QString("CH%1").arg(c + 1));
        name->setStyleSheet(QString("color: %1; font-weight: bold").arg(ChannelColor(c).name()));
        stats->addWidget(name, c + 1, 0);
        for (int column = 0; column < 3; ++column) {
            auto* label = new QLabel("-");
            label->setObjectName(QString("Stats%1%2").arg(c + 1).arg(headings[column]));
            stats->addWidget(label, c + 1, column + 1, Qt::AlignRight);
            StatsLabels[static_cast<size_t>(c)][static_cast<size_t>(column)] = label;
        }
    }
    stats->setColumnMinimumWidth(1, 80);
    stats->setColumnMinimumWidth(2, 80);
    stats->setColumnMinimumWidth(3, 80);
    auto* below = new QHBoxLayout;
    below->addLayout(stats);
    below->addSpacing(24);
    below->addWidget(Readout, 1, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(Chart, 1);
    layout->addLayout(below);
    layout->addWidget(StatusLine);

    FRedrawTimer = new QTimer(this);
    FRedrawTimer->setSingleShot(true);
    FRedrawTimer->setInterval(0);
    AskLogFileName = [this] { return ::AskLogFileName(this); };
    AskPngFileName = [this] { return ::AskPngFileName(this); };

    const auto guarded = [](auto handler) { return [handler] { GuardedCall(handler); }; };
    connect(FRedrawTimer, &QTimer::timeout, this, guarded([this] { Redraw(); }));
    connect(FTimeAxis, &QValueAxis::rangeChanged, this, guarded([this] { TimeRangeChanged(); }));
    connect(Chart->ValueAxis(), &QValueAxis::rangeChanged, this, [this] {
        if (!FSettingRange)
            FUserValueRange = true;
    });
    connect(OpenButton, &QPushButton::clicked, this, guarded([this] { OpenClick(); }));
    connect(WholeButton, &QPushButton::clicked, this, guarded([this] { ShowWhole(); }));
    connect(SaveButton, &QPushButton::clicked, this, guarded([this] { SavePngClick(); }));
    Units->OnChange = [this] {
        GuardedCall([this] {
            Chart->SetUnit(Units->Unit());
            FUserValueRange = false;
            Redraw();
        });
    };
    Chart->OnHover = [this](std::optional<double> value) {
        FHover = value;
        UpdateReadout();
    };
    Chart->OnWheel = [this](double steps, double value) {
        GuardedCall([&] { ZoomAt(std::pow(kWheelZoom, steps), value); });
    };
    Chart->OnDrag = [this](int pixels) {
        GuardedCall([&] { Pan(-static_cast<double>(pixels) / Chart->Columns()); });
    };
    Chart->OnTimeRange = [this](double from, double to) { UpdateTimeTicks(from, to); };
    Chart->OnKey = [this](int key) {
        bool used = false;
        GuardedCall([&] { used = KeyPressed(key); });
        return used;
    };
    ShowWhole();
    UpdateStatus();
}

TLogWindow::~TLogWindow() = default;

void TLogWindow::Open(const QString& path)
{
    TLogData data = LoadLog(path.toStdString());  // may raise: then nothing changes
    FData = std::move(data);
    setWindowTitle("KORVANT Log Viewer - " + QFileInfo(path).fileName());
    UpdateStatus();
    ShowWhole();
}

void TLogWindow::ShowWindow()
{
    show();
    raise();
    activateWindow();
}

std::pair<double, double> TLogWindow::Whole() const
{
    if (FData.Readings.empty())
        return {0, 60};
    const double first = FData.Readings.front().Time;
    const double last = FData.Readings.back().Time;
    if (last - first < kMinSpan)
        return {first - kMinSpan / 2, last + kMinSpan / 2};
    return {first, last};
}

std::pair<double, double> TLogWindow::Range() const
{
    return {FTimeAxis->min(), FTimeAxis->max()};
}

std::pair<double, double> TLogWindow::Clamped(double from, double to) const
{
    const auto [first, last] = Whole();
    // Never narrower than kMinSpan, never wider than the log, never beyond its ends.
    const double span = std::clamp(to - from, kMinSpan, last - first);
    from = std::clamp(from, first, last - span);
    return {from, from + span};
}

void TLogWindow::ShowRange(double from, double to)
{
    const auto [first, last] = Clamped(from, to);
    Redraw(first, last);
}

void TLogWindow::ShowWhole()
{
    FUserValueRange = false;
    const auto [first, last] = Whole();
    ShowRange(first, last);
}

void TLogWindow::ZoomAt(double factor, double time)
{
    const auto [from, to] = Range();
    ShowRange(time - (time - from) * factor, time + (to - time) * factor);
}

void TLogWindow::Pan(double fraction)
{
    const auto [from, to] = Range();
    const double shift = (to - from) * fraction;
    ShowRange(from + shift, to + shift);
}

void TLogWindow::TimeRangeChanged()
{
    // A dragged box or a right click: drawn, and kept within the log, once Qt Charts has
    // finished changing its axes.
    if (!FSettingRange)
        FRedrawTimer->start();
}

void TLogWindow::Redraw()
{
    const auto [from, to] = Range();
    const auto [first, last] = Clamped(from, to);
    Redraw(first, last);
}

void TLogWindow::Redraw(double from, double to)
{
    FRedrawTimer->stop();
    const TValueUnit unit = Units->Unit();
    const TDecimated decimated = Decimate(FData.View(), {.From = from, .To = to, .Columns = std::max(1, Chart->Columns() / kPixelsPerColumn),
                                                         .MaxGap = kMaxGap, .YScale = unit.Factor()});
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (size_t c = 0; c < 4; ++c) {
        const TChannelStats& s = decimated.Stats[c];
        const auto text = [&](double v) { return s.Count ? QString::fromStdString(unit.Format(v)) : QString("-"); };
        StatsLabels[c][0]->setText(text(s.Min));
        StatsLabels[c][1]->setText(text(s.Count ? s.Mean() : 0));
        StatsLabels[c][2]->setText(text(s.Max));
        low = std::min(low, s.Min);
        high = std::max(high, s.Max);
    }
    const double one = unit.Factor();
    const auto values = FUserValueRange ? Chart->ValueRange()
                        : low <= high   ? AutomaticRange(low, high, unit)
                                        : AutomaticRange(one, one, unit);
    FSettingRange = true;
    Chart->Show(decimated, {from, to}, values);
    FSettingRange = false;
    UpdateReadout();
}

void TLogWindow::UpdateReadout()
{
    if (!FHover) {
        Readout->setText(FData.Readings.empty() ? QString() : "Point at the chart for the time and values there");
        return;
    }
    const auto [from, to] = Range();
    const double tolerance = std::max(0.5, (to - from) / Chart->Columns());
    const TReading* reading = FData.View().Nearest(*FHover, tolerance);
    if (!reading) {
        Readout->setText("no reading");
        return;
    }
    Readout->setText(TimeText(reading->Time) + "   " + ValuesText(reading->Lambda, Units->Unit()));
}

void TLogWindow::UpdateTimeTicks(double from, double to)
{
    for (const QString& label : FTimeAxis->categoriesLabels())
        FTimeAxis->remove(label);
    FTimeAxis->setStartValue(from);
    for (const double tick : TicksBetween(from, to, NiceTimeStep(to - from, kTimeSteps)))
        FTimeAxis->append(TimeText(tick), tick);
}

void TLogWindow::UpdateStatus()
{
    if (FData.Path.empty()) {
        StatusLine->setText("No log open");
        return;
    }
    StatusLine->setText(QString("%1 readings, %2 damaged lines skipped   %3")
                            .arg(FData.Readings.size())
                            .arg(FData.Skipped)
                            .arg(QString::fromStdString(FData.Path)));
}

void TLogWindow::OpenClick()
{
    const QString path = AskLogFileName ? AskLogFileName() : QString();
    if (!path.isEmpty())
        Open(path);
}

void TLogWindow::SavePngClick()
{
    const QString path = AskPngFileName ? AskPngFileName() : QString();
    if (!path.isEmpty())
        Chart->SavePng(path);
}

bool TLogWindow::KeyPressed(int key)
{
    const auto [from, to] = Range();
    const double middle = (from + to) / 2;
    switch (key) {
    case Qt::Key_Left: Pan(-kKeyPan); return true;
    case Qt::Key_Right: Pan(kKeyPan); return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomAt(kWheelZoom, middle); return true;
    case Qt::Key_Minus: ZoomAt(1 / kWheelZoom, middle); return true;
    case Qt::Key_Home: ShowWhole(); return true;
    default: return false;
    }
}

void TLogWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FRedrawTimer->start();  // the plot's columns change
}
