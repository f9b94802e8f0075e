// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QWidget;

// The file dialogs of the chart windows; an empty name when the user cancels.
QString AskPngFileName(QWidget* parent);
QString AskLogFileName(QWidget* parent);
