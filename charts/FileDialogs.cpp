// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/FileDialogs.h"

#include <QFileDialog>

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
