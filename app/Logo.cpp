// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Logo.h"

#include <QEvent>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap KorvantLogo(QSize size, double ratio)
{
    // Drawn at 234 × 114 and scaled, so every size shows the same picture.
    const QSize design(234, 114);
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);  // the painter below draws in logical pixels
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(size.width() / double(design.width()), size.height() / double(design.height()));
    p.translate((size.width() - design.width() * scale) / 2, (size.height() - design.height() * scale) / 2);
    p.scale(scale, scale);

    QLinearGradient plate(0, 0, 0, design.height());
    plate.setColorAt(0, QColor(0x1B, 0x2A, 0x41));
    plate.setColorAt(1, QColor(0x0B, 0x13, 0x20));
    p.setPen(QPen(QColor(0x5C, 0x6B, 0x80), 2));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(1, 1, design.width() - 2, design.height() - 2), 10, 10);

    QFont lambda("Liberation Serif");
    lambda.setPixelSize(64);
    lambda.setItalic(true);
    p.setFont(lambda);
    p.setPen(QColor(0x32, 0xCD, 0x32));
    p.drawText(QRectF(10, 4, 60, 80), Qt::AlignCenter, QString(QChar(0x03BB)));

    QFont name("Liberation Sans");
    name.setPixelSize(29);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(66, 14, 162, 46), Qt::AlignLeft | Qt::AlignVCenter, "KORVANT");

    QFont tag("Liberation Sans");
    tag.setPixelSize(12);
    p.setFont(tag);
    p.setPen(QColor(0xB0, 0xBE, 0xC5));
    p.drawText(QRectF(68, 58, 160, 18), Qt::AlignLeft | Qt::AlignVCenter, "4-channel wideband lambda");

    // A lean-rich trace settling at lambda 1.
    QPainterPath trace;
    trace.moveTo(14, 96);
    for (int x = 14; x <= 220; x += 2) {
        const double t = (x - 14) / 206.0;
        const double y = 96 - 10 * std::exp(-3 * t) * std::sin(t * 18);
        trace.lineTo(x, y);
    }
    p.setPen(QPen(QColor(0x32, 0xCD, 0x32), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
    return pixmap;
}

bool LogoLabel::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ScreenChangeInternal:
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
#endif
        Draw();
        break;
    default:
        break;
    }
    return QLabel::event(event);
}

void LogoLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Draw();
}

void LogoLabel::Draw()
{
    const double ratio = devicePixelRatioF();
    const QPixmap current = pixmap();
    if (current.deviceIndependentSize().toSize() != size() || current.devicePixelRatio() != ratio)
        setPixmap(KorvantLogo(size(), ratio));
}
