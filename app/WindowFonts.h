// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QString>

// A window or control font by family and pixel height, with this machine's stand-in for
// the family.
QFont WindowFont(const QString& family, int pixelHeight, bool bold = false);
