// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/BenchLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

#include "log/CsvLog.h"
#include "platform/framework/FormatFloat.h"

std::string BenchLogFile(size_t lines)
{
    const QString path = QDir::temp().filePath(QString("korvant-bench-%1-lines.csv").arg(lines));
    if (QFileInfo(path).size() > static_cast<qint64>(lines) * 30)
        return path.toStdString();
    const ScopedFormatLocale english(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path.toStdString();
    const TDateTime start = ToDateTime(2026, 12, 10, 8);
    std::string text = TCsvLog::HeaderLine(start) + "\r\n" + TCsvLog::kColumnLine + "\r\n";
    for (size_t i = 0; i < lines; ++i) {
        const double t = static_cast<double>(i) / 10;
        const std::array<float, 4> lambda{
            static_cast<float>(1.0 + 0.2 * std::sin(t * 2 * M_PI / 6)),
            static_cast<float>(1.0 + 0.15 * (std::fabs(std::fmod(t, 8.0) - 4.0) / 2 - 1)),
            static_cast<float>(1.0 + 0.1 * std::sin(t / 37) * std::cos(t / 5.3)),
            static_cast<float>(std::fmod(t, 4.0) < 2 ? 0.95 : 1.05)};
        text += TCsvLog::DataLine(start + std::floor(t) / 86400, lambda) + "\r\n";
        if (text.size() > (1 << 20)) {
            file.write(text.data(), static_cast<qint64>(text.size()));
            text.clear();
        }
    }
    file.write(text.data(), static_cast<qint64>(text.size()));
    return path.toStdString();
}
