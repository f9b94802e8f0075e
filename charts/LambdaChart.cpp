// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/LambdaChart.h"

#include <QLineSeries>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>

#include "charts/AxisTicks.h"
#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"

namespace {

constexpr double kMinimumLambdaSpan = 0.1;
constexpr int kValueSteps = 8;

}  // namespace

QColor ChannelColor(int channel)
{
    static const std::array<QColor, 4> colors{QColor(200, 40, 40), QColor(30, 100, 200), QColor(40, 150, 60),
                                              QColor(220, 130, 0)};
    return colors.at(static_cast<size_t>(channel));
}

std::pair<double, double> AutomaticRange(double low, double high, const TValueUnit& unit)
{
    const double minimum = kMinimumLambdaSpan * unit.Factor();
    const double middle = (low + high) / 2;
    const double half = std::max((high - low) * 1.1, minimum) / 2;
    return {middle - half, middle + half};
}

// The view owns the chart from the start: one that replaced the view's own would leave
// that one to leak.
TLambdaChart::TLambdaChart(QValueAxis* timeAxis, QWidget* parent)
    : QChartView(new QChart, parent), FTimeAxis(timeAxis), FValueAxis(new QValueAxis)
{
    QChart* chart = this->chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(FormatSettings().Locale);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->addAxis(FTimeAxis, Qt::AlignBottom);
    chart->addAxis(FValueAxis, Qt::AlignLeft);
    FValueAxis->setTickType(QValueAxis::TicksDynamic);
    FValueAxis->setTickAnchor(0);
    for (int c = 0; c < 4; ++c) {
        auto* series = new QLineSeries;  // the chart owns it
        series->setName(QString("CH%1").arg(c + 1));
        QPen pen(ChannelColor(c));
        pen.setWidth(1);
        series->setPen(pen);
        series->setMarkerSize(5);
        chart->addSeries(series);
        series->attachAxis(FTimeAxis);
        series->attachAxis(FValueAxis);
        FSeries[static_cast<size_t>(c)] = series;
    }
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::NoRubberBand);
    setMouseTracking(true);
    SetUnit(TValueUnit());
}

int TLambdaChart::Columns() const
{
    return std::max(1, static_cast<int>(chart()->plotArea().width()));
}

void TLambdaChart::Show(const TDecimated& decimated, std::pair<double, double> time, std::pair<double, double> values)
{
    for (QLineSeries* series : FSeries) {
        if (series->count() > 0)
            series->clear();
    }
    if (OnTimeRange)
        OnTimeRange(time.first, time.second);
    FTimeAxis->setRange(time.first, time.second);
    const auto [low, high] = values;
    const double step = NiceStep(high - low, kValueSteps);
    // The interval first: Qt Charts lays the ticks out again when the range changes.
    FValueAxis->setTickInterval(step);
    FValueAxis->setLabelFormat(QString("%.%1f").arg(StepDecimals(step)));
    FValueAxis->setRange(low, high);
    for (size_t c = 0; c < 4; ++c) {
        FSeries[c]->replace(decimated.Points[c]);
        // A reading alone between two gaps has no line to show it: it gets a dot.
        if (FHasDots[c] || !decimated.Lone[c].isEmpty()) {
            QHash<int, QHash<QXYSeries::PointConfiguration, QVariant>> dots;
            for (const int index : decimated.Lone[c])
                dots[index][QXYSeries::PointConfiguration::Visibility] = true;
            FSeries[c]->setPointsConfiguration(dots);
            FHasDots[c] = !dots.isEmpty();
        }
    }
}

void TLambdaChart::SetUnit(const TValueUnit& unit)
{
    FValueAxis->setTitleText(unit.Name());
}

std::pair<double, double> TLambdaChart::ValueRange() const
{
    return {FValueAxis->min(), FValueAxis->max()};
}

void TLambdaChart::SavePng(const QString& path)
{
    if (!grab().save(path, "PNG"))
        throw EInOutError("Cannot write the picture " + path.toStdString());
}

std::optional<double> TLambdaChart::TimeAt(QPointF position) const
{
    const QPointF scene = mapToScene(position.toPoint());
    const QPointF inChart = chart()->mapFromScene(scene);
    if (!chart()->plotArea().contains(inChart))
        return std::nullopt;
    return chart()->mapToValue(inChart, FSeries[0]).x();
}

void TLambdaChart::mouseMoveEvent(QMouseEvent* event)
{
    if (FDragX && OnDrag) {
        const int x = event->position().toPoint().x();
        OnDrag(x - *FDragX);
        FDragX = x;
    }
    if (OnHover)
        OnHover(TimeAt(event->position()));
    QChartView::mouseMoveEvent(event);
}

void TLambdaChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && OnDrag) {
        FDragX = event->position().toPoint().x();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TLambdaChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && FDragX) {
        FDragX.reset();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void TLambdaChart::leaveEvent(QEvent* event)
{
    if (OnHover)
        OnHover(std::nullopt);
    QChartView::leaveEvent(event);
}

void TLambdaChart::wheelEvent(QWheelEvent* event)
{
    const auto time = TimeAt(event->position());
    if (!OnWheel || !time) {
        QChartView::wheelEvent(event);
        return;
    }
    OnWheel(event->angleDelta().y() / 120.0, *time);
    event->accept();
}

void TLambdaChart::keyPressEvent(QKeyEvent* event)
{
    // Before the scroll area, which would take the arrow keys.
    if (OnKey && OnKey(event->key())) {
        event->accept();
        return;
    }
    QChartView::keyPressEvent(event);
}
