// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

inline const QString kProgramName = QStringLiteral("KORVANT Monitor");
inline const QString kMakerAddress = QStringLiteral("https://www.korvant.example");
inline const QString kSupportAddress = QStringLiteral("https://www.korvant.example/Uego_support");
