// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/ChartText.h"

#include <QStringList>

QString ValuesText(const std::array<float, 4>& lambda, const TValueUnit& unit)
{
    QStringList parts;
    for (size_t c = 0; c < 4; ++c)
        parts << QString("CH%1 %2").arg(c + 1).arg(QString::fromStdString(unit.Format(unit.FromLambda(lambda[c]))));
    return parts.join("   ");
}
