// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/TrendWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <limits>

#include "charts/ChartText.h"
#include "charts/FileDialogs.h"
#include "charts/LambdaChart.h"
#include "charts/LogWindow.h"
#include "charts/UnitChooser.h"
#include "history/Decimation.h"
#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/FormatFloat.h"

namespace {

struct TSpanChoice {
    const char* Text;
    double Seconds;
    double Tick;       // seconds between the time axis's ticks
    int RefreshMs;     // how often the picture moves on
};

// Each step of the picture costs Qt Charts about as much as drawing its points, some 3 ms
// for the minute's 2400. Short spans move on by about 20 pixels a step; the long ones,
// whose steps cost most, by a few pixels every two or four seconds.
constexpr TSpanChoice kSpans[] = {
    {"10 s", 10, 1, 250},
    {"30 s", 30, 5, 750},
    {"1 min", 60, 10, 1500},
    {"5 min", 300, 30, 2000},
    {"10 min", 600, 60, 4000},
};
constexpr int kDefaultSpan = 2;

const TSpanChoice& SpanChoice(const QComboBox* box)
{
    return kSpans[std::clamp(box->currentIndex(), 0, static_cast<int>(std::size(kSpans)) - 1)];
}

}  // namespace

TTrendWindow::TTrendWindow(const TReadingRing& history, QWidget* parent)
    : QWidget(parent, Qt::Window), FHistory(history), FFrozen(std::make_unique<TReadingRing>())
{
    setObjectName("TrendWindow");
    setWindowTitle("Chart");
    resize(900, 560);

    // Every widget belongs to this window through its layouts.
    SpanBox = new QComboBox;
    SpanBox->setObjectName("SpanBox");
    for (const TSpanChoice& span : kSpans)
        SpanBox->addItem(span.Text);
    SpanBox->setCurrentIndex(kDefaultSpan);
    Units = new TUnitChooser;
    AutoRangeBox = new QCheckBox("Automatic range");
    AutoRangeBox->setObjectName("AutoRangeBox");
    RangeFrom = new QDoubleSpinBox;
    RangeFrom->setObjectName("RangeFrom");
    RangeTo = new QDoubleSpinBox;
    RangeTo->setObjectName("RangeTo");
    for (QDoubleSpinBox* box : {RangeFrom, RangeTo}) {
        box->setLocale(FormatSettings().Locale);
        box->setRange(0, 1000);
    }
    PauseButton = new QPushButton("Pause");
    PauseButton->setObjectName("PauseButton");
    PauseButton->setCheckable(true);
    SaveButton = new QPushButton("Save as PNG...");
    SaveButton->setObjectName("SaveButton");
    OpenLogButton = new QPushButton("Open Log...");
    OpenLogButton->setObjectName("OpenLogButton");

    auto* timeAxis = new QValueAxis;  // the chart owns it
    timeAxis->setTitleText("seconds before now");
    timeAxis->setLabelFormat("%.0f");  // seconds
    timeAxis->setTickType(QValueAxis::TicksDynamic);
    timeAxis->setTickAnchor(0);
    Chart = new TLambdaChart(timeAxis);
    Chart->setObjectName("TrendChart");
    Readout = new QLabel;
    Readout->setObjectName("Readout");
    Readout->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Show"));
    controls->addWidget(SpanBox);
    controls->addSpacing(12);
    controls->addWidget(Units);
    controls->addSpacing(12);
    controls->addWidget(AutoRangeBox);
    controls->addWidget(RangeFrom);
    controls->addWidget(new QLabel("to"));
    controls->addWidget(RangeTo);
    controls->addStretch();
    controls->addWidget(PauseButton);
    controls->addWidget(SaveButton);
    controls->addWidget(OpenLogButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(Chart, 1);
    layout->addWidget(Readout);

    RefreshTimer = new QTimer(this);
    AskPngFileName = [this] { return ::AskPngFileName(this); };
    AskLogFileName = [this] { return ::AskLogFileName(this); };

    const auto guarded = [](auto handler) { return [handler] { GuardedCall(handler); }; };
    connect(RefreshTimer, &QTimer::timeout, this, guarded([this] { Refresh(); }));
    connect(SpanBox, &QComboBox::currentIndexChanged, this, guarded([this] {
                UpdateRefreshRate();
                Refresh();
            }));
    Units->OnChange = [this] { GuardedCall([this] { UnitChanged(); }); };
    connect(AutoRangeBox, &QCheckBox::toggled, this, guarded([this] { RangeChanged(); }));
    for (QDoubleSpinBox* box : {RangeFrom, RangeTo})
        connect(box, &QDoubleSpinBox::valueChanged, this, guarded([this] { RangeChanged(); }));
    connect(PauseButton, &QPushButton::toggled, this, guarded([this] { PauseClick(); }));
    connect(SaveButton, &QPushButton::clicked, this, guarded([this] { SavePngClick(); }));
    connect(OpenLogButton, &QPushButton::clicked, this, guarded([this] { OpenLogClick(); }));
    Chart->OnHover = [this](std::optional<double> time) {
        FHover = time;
        UpdateReadout();
    };

    UnitChanged();
    UpdateRefreshRate();
}

TTrendWindow::~TTrendWindow() = default;

void TTrendWindow::ShowWindow()
{
    show();
    raise();
    activateWindow();
}

double TTrendWindow::Span() const
{
    return SpanChoice(SpanBox).Seconds;
}

bool TTrendWindow::Paused() const
{
    return PauseButton->isChecked();
}

TReadingView TTrendWindow::Readings() const
{
    return Paused() ? FFrozen->View() : FHistory.View();
}

double TTrendWindow::Now() const
{
    return Paused() ? FFrozenAt : SteadySeconds();
}

void TTrendWindow::Refresh()
{
    const TValueUnit unit = Units->Unit();
    const double now = Now();
    FShownAt = now;
    const TSpanChoice& span = SpanChoice(SpanBox);
    // The interval first: Qt Charts lays the ticks out again when the range changes.
    Chart->TimeAxis()->setTickInterval(span.Tick);

    const TDecimated decimated = Decimate(Readings(), {.From = now - span.Seconds, .To = now, .Columns = Chart->Columns(),
                                                       .MaxGap = kMaxGap, .XOffset = -now, .XScale = 1,
                                                       .YScale = unit.Factor()});
    std::pair<double, double> values{FFixedLow * unit.Factor(), FFixedHigh * unit.Factor()};
    if (AutoRangeBox->isChecked()) {
        double low = std::numeric_limits<double>::infinity();
        double high = -low;
        for (const TChannelStats& stats : decimated.Stats) {
            low = std::min(low, stats.Min);
            high = std::max(high, stats.Max);
        }
        // Without readings the range stays as it is.
        values = low <= high ? AutomaticRange(low, high, unit) : Chart->ValueRange();
    }
    Chart->Show(decimated, {-span.Seconds, 0}, values);
    UpdateReadout();
}

void TTrendWindow::UpdateReadout()
{
    const TReadingView readings = Readings();
    if (readings.empty()) {
        Readout->setText("No readings yet");
        return;
    }
    if (!FHover) {
        Readout->setText("newest   " + ValuesText(readings.back().Lambda, Units->Unit()));
        return;
    }
    const QString at = QString::fromStdString(FormatFloat("0.0", *FHover)) + " s";
    // Half a tick either side, or the width of a pixel column when that is wider.
    const double tolerance = std::max(0.05, Span() / Chart->Columns());
    const TReading* reading = readings.Nearest(FShownAt + *FHover, tolerance);
    Readout->setText(at + "   " + (reading ? ValuesText(reading->Lambda, Units->Unit()) : QString("no reading")));
}

void TTrendWindow::UpdateRefreshRate()
{
    RefreshTimer->setInterval(SpanChoice(SpanBox).RefreshMs);
}

void TTrendWindow::PauseClick()
{
    if (Paused()) {
        *FFrozen = FHistory;
        FFrozenAt = SteadySeconds();
        RefreshTimer->stop();
    } else if (isVisible()) {
        RefreshTimer->start();
    }
    Refresh();
}

void TTrendWindow::UnitChanged()
{
    const TValueUnit unit = Units->Unit();
    Chart->SetUnit(unit);
    const QSignalBlocker blockFrom(RangeFrom);
    const QSignalBlocker blockTo(RangeTo);
    for (QDoubleSpinBox* box : {RangeFrom, RangeTo}) {
        box->setDecimals(unit.IsAfr() ? 2 : 3);
        box->setSingleStep(unit.IsAfr() ? 0.5 : 0.05);
    }
    RangeFrom->setValue(FFixedLow * unit.Factor());
    RangeTo->setValue(FFixedHigh * unit.Factor());
    Refresh();
}

void TTrendWindow::RangeChanged()
{
    const bool fixed = !AutoRangeBox->isChecked();
    RangeFrom->setEnabled(fixed);
    RangeTo->setEnabled(fixed);
    // A range that runs backwards is taken the right way round.
    const double factor = Units->Unit().Factor();
    const double a = RangeFrom->value() / factor;
    const double b = RangeTo->value() / factor;
    if (a != b) {
        FFixedLow = std::min(a, b);
        FFixedHigh = std::max(a, b);
    }
    Refresh();
}

void TTrendWindow::SavePngClick()
{
    const QString path = AskPngFileName ? AskPngFileName() : QString();
    if (!path.isEmpty())
        Chart->SavePng(path);
}

void TTrendWindow::OpenLogClick()
{
    const QString path = AskLogFileName ? AskLogFileName() : QString();
    if (path.isEmpty())
        return;
    LogWindow().Open(path);
    LogWindow().ShowWindow();
}

TLogWindow& TTrendWindow::LogWindow()
{
    if (!FLogWindow)
        FLogWindow = new TLogWindow(this);  // this window frees it
    return *FLogWindow;
}

void TTrendWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!Paused())
        RefreshTimer->start();
    Refresh();
}

void TTrendWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    RefreshTimer->stop();
}
