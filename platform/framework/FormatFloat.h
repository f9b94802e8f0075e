// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

#include <QLocale>

// The user's number and date conventions. The process reads them from the system locale
// once; tests pin a locale with ScopedFormatLocale.
struct TFormatSettings {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";
    QLocale Locale = QLocale::c();

    static TFormatSettings FromLocale(const QLocale& Locale);
};

const TFormatSettings& FormatSettings();
void SetFormatLocale(const QLocale& Locale);

// Pins the formatting locale for its lifetime (tests), then restores the previous one.
class ScopedFormatLocale {
public:
    explicit ScopedFormatLocale(const QLocale& Locale);
    ~ScopedFormatLocale();
    ScopedFormatLocale(const ScopedFormatLocale&) = delete;
    ScopedFormatLocale& operator=(const ScopedFormatLocale&) = delete;

private:
    TFormatSettings FSaved;
};

// Formats Value by a picture pattern: "0" a digit always shown, "#" a digit shown when
// significant, "." the decimal separator, "," thousands grouping, "E+"/"E-"/"e+"/"e-"
// scientific notation (sign always or only when negative) with the exponent's minimum
// digit count given by the zeros that follow, text in quotes copied as it is, other
// characters copied; up to three sections separated by ";" for positive, negative and
// zero values. The value is rounded to the digits shown, halves away from zero. A value
// that rounds to zero takes the zero section when there is one and never shows a minus
// sign. An empty pattern gives the general format (15 significant digits).
std::string FormatFloat(std::string_view Pattern, double Value, const TFormatSettings& Settings);
std::string FormatFloat(std::string_view Pattern, double Value);

// The pattern with one decimal place less in each section ("0.000" gives "0.00", "#0.0"
// gives "#0"); a pattern without decimals comes back as it is.
std::string DropDecimal(std::string_view Pattern);

// Fixed-point text: Value rounded to Precision significant digits (halves away from zero)
// and shown with exactly Digits decimals, e.g. 12.5 with 2 and 1 gives "13.0".
std::string FormatFixed(double Value, int Precision, int Digits, const TFormatSettings& Settings);
std::string FormatFixed(double Value, int Precision, int Digits);
