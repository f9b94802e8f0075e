// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/WindowFonts.h"

#include "platform/framework/Font.h"

QFont WindowFont(const QString& family, int pixelHeight, bool bold)
{
    QFont font(QString::fromStdString(ResolveFontFamily(family.toStdString())));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
