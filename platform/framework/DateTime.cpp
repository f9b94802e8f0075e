// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/DateTime.h"

#include <cmath>

#include <QDateTime>
#include <QRegularExpression>

#include "platform/framework/FormatFloat.h"

namespace {

// A function, not a global: dates may be built during other files' static initialisation.
QDate Epoch()
{
    return QDate(1899, 12, 30);
}

QDateTime ToQDateTime(TDateTime Value)
{
    const double days = std::floor(Value);
    const qint64 ms = std::llround((Value - days) * 86400000.0);
    return QDateTime(Epoch().addDays(static_cast<qint64>(days)), QTime(0, 0)).addMSecs(ms);
}

}  // namespace

TDateTime ToDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second, int MSec)
{
    const double days = static_cast<double>(Epoch().daysTo(QDate(Year, Month, Day)));
    return days + (((Hour * 60.0 + Minute) * 60.0 + Second) * 1000.0 + MSec) / 86400000.0;
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QTime t = now.time();
    const QDate d = now.date();
    return ToDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
}

std::string DateToStr(TDateTime Value)
{
    const QLocale& locale = FormatSettings().Locale;
    return locale.toString(ToQDateTime(Value).date(), QLocale::ShortFormat).toStdString();
}

std::string TimeToStr(TDateTime Value)
{
    const QLocale& locale = FormatSettings().Locale;
    // Qt's long time format names the time zone; the locale's order without it is wanted.
    QString format = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?"));
    format.remove(zone);
    format = format.trimmed();
    return locale.toString(ToQDateTime(Value).time(), format).toStdString();
}
