// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "history/TimeOfDay.h"

#include <QHash>
#include <QLocale>
#include <QString>

#include <array>
#include <string>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// What a time's text may hold besides digits and other scripts' words: separators, words
// such as "kl." or "h", and the brackets that some locales' formats leave; anything else
// (control bytes, "?") is damage.
bool MayAccompanyDigits(char c)
{
    return static_cast<unsigned char>(c) >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ' ||
           c == ':' || c == '.' || c == ',' || c == '-' || c == '\'' || c == '[' || c == ']' || c == '(' || c == ')';
}

// A marker as it is compared: case folded, without spaces, dots and commas, so that
// "P. M." is "pm".
QString Normalised(const QString& marker)
{
    QString text = marker.toCaseFolded();
    text.removeIf([](QChar c) { return c.isSpace() || c == u'.' || c == u','; });
    return text;
}

// Every locale's morning and afternoon markers: true for the afternoon. A text that means
// the morning somewhere and the afternoon elsewhere is left out.
const QHash<QString, bool>& Markers()
{
    static const QHash<QString, bool> markers = [] {
        QHash<QString, bool> found;
        QHash<QString, bool> ambiguous;
        const auto add = [&](const QString& text, bool afternoon) {
            const QString key = Normalised(text);
            if (key.isEmpty() || ambiguous.contains(key))
                return;
            if (const auto it = found.constFind(key); it != found.constEnd() && *it != afternoon) {
                found.remove(key);
                ambiguous.insert(key, true);
                return;
            }
            found.insert(key, afternoon);
        };
        add(QStringLiteral("AM"), false);
        add(QStringLiteral("PM"), true);
        for (const QLocale& locale :
             QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            add(locale.amText(), false);
            add(locale.pmText(), true);
        }
        return found;
    }();
    return markers;
}

// Whether the words around the time hold a morning (false) or afternoon (true) marker:
// the whole text, or one of its words.
std::optional<bool> MarkerIn(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (text == "AM" || text == "am")
        return false;
    if (text == "PM" || text == "pm")
        return true;
    const QString whole = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const auto& markers = Markers();
    if (const auto it = markers.constFind(Normalised(whole)); it != markers.constEnd())
        return *it;
    for (const QString& word : whole.split(QChar(u' '), Qt::SkipEmptyParts)) {
        if (const auto it = markers.constFind(Normalised(word)); it != markers.constEnd())
            return *it;
    }
    return std::nullopt;
}

// The text with every decimal digit of any script as an ASCII digit.
std::string WithAsciiDigits(std::string_view text)
{
    const QList<uint> characters = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUcs4();
    QString mapped;
    for (const uint c : characters) {
        const int digit = QChar::digitValue(static_cast<char32_t>(c));
        if (digit >= 0 && QChar::category(static_cast<char32_t>(c)) == QChar::Number_DecimalDigit)
            mapped += QChar(u'0' + digit);
        else
            mapped += QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
    }
    return mapped.toStdString();
}

std::optional<int> ParseAsciiDigits(std::string_view text)
{
    // The hours, minutes and seconds are the three runs of digits, at most two long.
    std::array<int, 3> numbers{};
    std::array<size_t, 3> starts{};
    size_t runs = 0;
    size_t end = 0;
    for (size_t i = 0; i < text.size();) {
        if (!IsDigit(text[i])) {
            if (!MayAccompanyDigits(text[i]))
                return std::nullopt;
            ++i;
            continue;
        }
        if (runs == 3)
            return std::nullopt;
        size_t j = i;
        int value = 0;
        while (j < text.size() && IsDigit(text[j]))
            value = value * 10 + (text[j++] - '0');
        if (j - i > 2)
            return std::nullopt;
        starts[runs] = i;
        numbers[runs++] = value;
        end = i = j;
    }
    if (runs != 3)
        return std::nullopt;
    auto [hour, minute, second] = numbers;
    if (minute > 59 || second > 59)
        return std::nullopt;
    const std::string_view before = text.substr(0, starts[0]);
    const std::string_view after = text.substr(end);
    const auto trimmed = [](std::string_view t) {
        const size_t first = t.find_first_not_of(' ');
        return first == std::string_view::npos ? std::string_view() : t.substr(first, t.find_last_not_of(' ') - first + 1);
    };
    const auto markerBefore = MarkerIn(trimmed(before));
    const auto markerAfter = MarkerIn(trimmed(after));
    if (markerBefore && markerAfter)
        return std::nullopt;
    if (const auto afternoon = markerBefore ? markerBefore : markerAfter) {
        // Twelve-hour clocks count 12, 1, ..., 11 or 0, 1, ..., 11.
        if (hour > 12)
            return std::nullopt;
        hour = hour % 12 + (*afternoon ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    return (hour * 60 + minute) * 60 + second;
}

}  // namespace

std::optional<int> ParseTimeOfDay(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return ParseAsciiDigits(WithAsciiDigits(text));
    }
    return ParseAsciiDigits(text);
}
