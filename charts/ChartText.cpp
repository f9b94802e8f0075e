// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartText.h"

#include <QFileDialog>

QString ValuesText(const std::array<float, 4>& lambda, const TValueUnit& unit)
{
    QStringList parts;
    for (size_t c = 0; c < 4; ++c)
        parts << QString("CH%1 %2").arg(c + 1).arg(QString::fromStdString(unit.Format(unit.FromLambda(lambda[c]))));
    return parts.join("   ");
}

QString AskPngFileName(QWidget* parent)
{
    QFileDialog dialog(parent, "Save as PNG");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("png");
    dialog.setNameFilter("PNG pictures (*.png)");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString AskLogFileName(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, "Open Log", {}, "KORVANT logs (*.csv);;All files (*)");
}
