// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/DateTime.h"

#include <cmath>

#include <QDateTime>

#include "platform/framework/FormatFloat.h"

namespace {

// A function, not a global: dates may be built during other files' static initialisation.
QDate Epoch()
{
    return QDate(1899, 12, 30);
}

// Qt's long time format names the time zone, at either end and with separators of its own:
// "HH:mm:ss t", "h:mm:ss AP, t", "HH:mm:ss (t)", "APh:mm:ss [t]", "t HH:mm:ss". Drops the
// zone with the spaces and punctuation that only set it apart; quoted text stays as it is.
QString WithoutZone(const QString& format)
{
    const auto zoneSeparator = [](QChar c) { return c.isSpace() || QStringLiteral(",;()[]").contains(c); };
    QString before;  // the format up to the zone
    QString after;   // and after it
    bool zone = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        QString& out = zone ? after : before;
        const QChar c = format[i];
        if (c == u'\'') {
            // Quoted text runs to the closing quote; a doubled quote inside stands for one.
            qsizetype end = i + 1;
            for (; end < format.size(); ++end) {
                if (format[end] != u'\'')
                    continue;
                if (end + 1 < format.size() && format[end + 1] == u'\'')
                    ++end;
                else
                    break;
            }
            out += format.mid(i, end - i + 1);
            i = end;
        } else if (c == u't') {
            while (i + 1 < format.size() && format[i + 1] == u't')
                ++i;
            zone = true;
        } else {
            out += c;
        }
    }
    // A quote is no separator: quoted text next to the zone stays.
    while (!before.isEmpty() && zoneSeparator(before.back()))
        before.chop(1);
    while (!after.isEmpty() && zoneSeparator(after.front()))
        after.remove(0, 1);
    if (before.isEmpty() || after.isEmpty())
        return before + after;
    return before + u' ' + after;
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
    return locale.toString(ToQDateTime(Value).time(), WithoutZone(locale.timeFormat(QLocale::LongFormat)))
        .toStdString();
}
