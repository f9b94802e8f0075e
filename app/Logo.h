// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QSize>

// The program's logo, drawn for it: the name on a dark plate with a lambda and a trace.
QPixmap KorvantLogo(QSize size);
