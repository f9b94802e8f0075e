// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/FormatFloat.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

TFormatSettings& CurrentSettings()
{
    static TFormatSettings settings = TFormatSettings::FromLocale(QLocale::system());
    return settings;
}

// The decimal digits of a value: Value = 0.d1 d2 d3 ... × 10^Point. Eighteen significant
// digits are taken from the exact binary value, then rounded as the pattern asks, so a
// double such as 2.675 (really 2.67499999...) rounds down as its true value says.
struct Decimal {
    std::string digits;  // no sign; empty means zero
    int point = 0;

    static Decimal Of(double v)
    {
        Decimal d;
        v = std::fabs(v);
        if (v == 0)
            return d;
        // to_chars, not printf: the C library's locale (which the application sets from the
        // user's) may bring a decimal point of more than one byte.
        char buf[64];
        const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 17).ptr;
        const std::string s(buf, end);
        const size_t e = s.find('e');
        d.digits = s.substr(0, 1) + s.substr(2, e - 2);
        d.point = std::stoi(s.substr(e + 1)) + 1;
        d.Trim();
        return d;
    }

    // Keeps Keep leading digits, rounding the rest half away from zero.
    void RoundTo(int Keep)
    {
        if (Keep >= static_cast<int>(digits.size()))
            return;
        if (Keep < 0) {
            digits.clear();
            return;
        }
        const bool up = digits[static_cast<size_t>(Keep)] >= '5';
        digits.resize(static_cast<size_t>(Keep));
        if (up) {
            int i = Keep - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[static_cast<size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
        Trim();
    }

    void Trim()
    {
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        if (digits.empty())
            point = 0;
    }

    bool IsZero() const { return digits.empty(); }

    // Digit at position i counted from the decimal point: 0 is the first after the
    // point, -1 the units, and so on.
    char At(int i) const
    {
        const int idx = point + i;
        return idx >= 0 && idx < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(idx)] : '0';
    }

    std::string IntegerPart() const
    {
        std::string s;
        for (int i = -point; i < 0; ++i)
            s += At(i);
        return s;
    }
};

enum class ItemKind { Literal, IntDigit, Point, FracDigit, Exponent };

struct Item {
    ItemKind kind;
    std::string text;  // literal text, or the exponent letter
};

struct Layout {
    std::vector<Item> items;
    int intPlaceholders = 0;
    int minInt = 0;
    int fracPlaceholders = 0;
    int minFrac = 0;
    bool thousands = false;
    bool scientific = false;
    bool expPlus = false;
    int expDigits = 0;
    bool anyDigit = false;
};

std::vector<std::string_view> SplitSections(std::string_view pattern)
{
    std::vector<std::string_view> out;
    char quote = 0;
    size_t start = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(pattern.substr(start));
    return out;
}

Layout Parse(std::string_view sec)
{
    Layout L;
    bool afterPoint = false;
    bool afterExp = false;
    int firstIntZero = -1;
    auto literal = [&](std::string_view t) {
        if (!L.items.empty() && L.items.back().kind == ItemKind::Literal)
            L.items.back().text += t;
        else
            L.items.push_back({ItemKind::Literal, std::string(t)});
    };
    for (size_t i = 0; i < sec.size(); ++i) {
        const char c = sec[i];
        if (c == '"' || c == '\'') {
            const size_t end = sec.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? sec.size() : end;
            literal(sec.substr(i + 1, stop - i - 1));
            i = stop;
            continue;
        }
        if (afterExp) {
            literal(sec.substr(i, 1));
            continue;
        }
        if (c == '0' || c == '#') {
            L.anyDigit = true;
            if (afterPoint) {
                ++L.fracPlaceholders;
                if (c == '0')
                    L.minFrac = L.fracPlaceholders;
                L.items.push_back({ItemKind::FracDigit, {}});
            } else {
                if (c == '0' && firstIntZero < 0)
                    firstIntZero = L.intPlaceholders;
                ++L.intPlaceholders;
                L.items.push_back({ItemKind::IntDigit, {}});
            }
        } else if (c == '.') {
            if (!afterPoint) {
                afterPoint = true;
                L.items.push_back({ItemKind::Point, {}});
            }
        } else if (c == ',') {
            L.thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < sec.size() && (sec[i + 1] == '+' || sec[i + 1] == '-')) {
            L.scientific = true;
            L.expPlus = sec[i + 1] == '+';
            i += 2;
            while (i < sec.size() && sec[i] == '0' && L.expDigits < 4) {
                ++L.expDigits;
                ++i;
            }
            --i;
            L.items.push_back({ItemKind::Exponent, std::string(1, c)});
            afterExp = true;
        } else {
            literal(sec.substr(i, 1));
        }
    }
    if (firstIntZero >= 0)
        L.minInt = L.intPlaceholders - firstIntZero;
    return L;
}

std::string Render(const Layout& L, const std::string& intDigitsIn, const std::string& frac,
                   const std::string& expText, const TFormatSettings& S)
{
    std::string D = intDigitsIn;
    if (static_cast<int>(D.size()) < L.minInt)
        D.insert(0, static_cast<size_t>(L.minInt) - D.size(), '0');
    const int Ld = static_cast<int>(D.size());
    const int offset = Ld - L.intPlaceholders;

    std::string out;
    auto emitDigit = [&](int j) {
        out += D[static_cast<size_t>(j)];
        if (L.thousands && j < Ld - 1 && (Ld - 1 - j) % 3 == 0)
            out += S.ThousandSeparator;
    };
    auto emitAllInt = [&] {
        for (int j = 0; j < Ld; ++j)
            emitDigit(j);
    };

    int intIndex = 0;
    int fracIndex = 0;
    bool intDone = L.intPlaceholders > 0;
    for (const Item& it : L.items) {
        switch (it.kind) {
        case ItemKind::Literal:
            out += it.text;
            break;
        case ItemKind::IntDigit: {
            const int k = intIndex++;
            const int j = k + offset;
            if (k == 0) {
                for (int m = 0; m <= j; ++m)
                    emitDigit(m);
            } else if (j >= 0) {
                emitDigit(j);
            }
            break;
        }
        case ItemKind::Point:
            if (!intDone) {
                emitAllInt();
                intDone = true;
            }
            if (!frac.empty())
                out += S.DecimalSeparator;
            break;
        case ItemKind::FracDigit:
            if (!intDone) {
                emitAllInt();
                intDone = true;
            }
            if (fracIndex < static_cast<int>(frac.size()))
                out += frac[static_cast<size_t>(fracIndex)];
            ++fracIndex;
            break;
        case ItemKind::Exponent:
            if (!intDone) {
                emitAllInt();
                intDone = true;
            }
            out += it.text;
            out += expText;
            break;
        }
    }
    return out;
}

std::string TrimFraction(std::string frac, int minFrac)
{
    while (static_cast<int>(frac.size()) > minFrac && frac.back() == '0')
        frac.pop_back();
    return frac;
}

// Formats the magnitude of Value by one section; Zero tells whether it rounded to zero.
std::string FormatSection(std::string_view sec, double value, bool& zero, const TFormatSettings& S)
{
    const Layout L = Parse(sec);
    Decimal d = Decimal::Of(value);
    if (!L.anyDigit) {
        zero = d.IsZero();
        return Render(L, {}, {}, {}, S);
    }
    if (!L.scientific) {
        d.RoundTo(d.point + L.fracPlaceholders);
        zero = d.IsZero();
        std::string frac;
        for (int i = 0; i < L.fracPlaceholders; ++i)
            frac += d.At(i);
        return Render(L, d.IntegerPart(), TrimFraction(frac, L.minFrac), {}, S);
    }
    const int intCount = std::max(L.intPlaceholders, 1);
    d.RoundTo(intCount + L.fracPlaceholders);
    zero = d.IsZero();
    int exponent = 0;
    std::string intDigits;
    std::string frac;
    if (zero) {
        intDigits = "0";
        frac.assign(static_cast<size_t>(L.fracPlaceholders), '0');
    } else {
        exponent = d.point - intCount;
        for (int i = 0; i < intCount; ++i)
            intDigits += i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
        for (int i = 0; i < L.fracPlaceholders; ++i) {
            const int idx = intCount + i;
            frac += idx < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(idx)] : '0';
        }
    }
    std::string expText;
    if (exponent < 0)
        expText = "-";
    else if (L.expPlus)
        expText = "+";
    std::string e = std::to_string(std::abs(exponent));
    const int minDigits = std::max(L.expDigits, 1);
    if (static_cast<int>(e.size()) < minDigits)
        e.insert(0, static_cast<size_t>(minDigits) - e.size(), '0');
    expText += e;
    return Render(L, intDigits, TrimFraction(frac, L.minFrac), expText, S);
}

std::string General(double value, const TFormatSettings& S)
{
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15).ptr;
    std::string s(buf, end);
    if (const size_t e = s.find('e'); e != std::string::npos)
        s[e] = 'E';
    const size_t dot = s.find('.');
    if (dot != std::string::npos)
        s.replace(dot, 1, S.DecimalSeparator);
    return s;
}

// One section with its last decimal place, and with that its decimal point, taken out.
std::string DropSectionDecimal(std::string_view sec)
{
    size_t point = std::string_view::npos;
    std::vector<size_t> decimals;
    char quote = 0;
    for (size_t i = 0; i < sec.size(); ++i) {
        const char c = sec[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if ((c == 'E' || c == 'e') && i + 1 < sec.size() && (sec[i + 1] == '+' || sec[i + 1] == '-')) {
            break;  // the exponent's digits are no decimals
        } else if (c == '.' && point == std::string_view::npos) {
            point = i;
        } else if ((c == '0' || c == '#') && point != std::string_view::npos) {
            decimals.push_back(i);
        }
    }
    std::string out(sec);
    if (decimals.empty())
        return out;
    out.erase(decimals.back(), 1);
    if (decimals.size() == 1)
        out.erase(point, 1);
    return out;
}

}  // namespace

std::string DropDecimal(std::string_view Pattern)
{
    const auto sections = SplitSections(Pattern);
    std::string out;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (i > 0)
            out += ';';
        out += DropSectionDecimal(sections[i]);
    }
    return out;
}

TFormatSettings TFormatSettings::FromLocale(const QLocale& Locale)
{
    TFormatSettings s;
    s.Locale = Locale;
    s.DecimalSeparator = Locale.decimalPoint().toStdString();
    s.ThousandSeparator = Locale.groupSeparator().toStdString();
    return s;
}

const TFormatSettings& FormatSettings()
{
    return CurrentSettings();
}

void SetFormatLocale(const QLocale& Locale)
{
    CurrentSettings() = TFormatSettings::FromLocale(Locale);
}

ScopedFormatLocale::ScopedFormatLocale(const QLocale& Locale) : FSaved(CurrentSettings())
{
    SetFormatLocale(Locale);
}

ScopedFormatLocale::~ScopedFormatLocale()
{
    CurrentSettings() = FSaved;
}

std::string FormatFloat(std::string_view Pattern, double Value, const TFormatSettings& Settings)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value > 0 ? "INF" : "-INF";
    if (Pattern.empty())
        return General(Value, Settings);

    const auto sections = SplitSections(Pattern);
    const bool negative = Value < 0;
    std::string_view sec = sections[0];
    bool minus = false;
    if (negative) {
        if (sections.size() > 1 && !sections[1].empty())
            sec = sections[1];
        else
            minus = true;
    }
    bool zero = false;
    std::string text = FormatSection(sec, Value, zero, Settings);
    if (zero && sections.size() > 2 && !sections[2].empty()) {
        bool ignored = false;
        return FormatSection(sections[2], 0.0, ignored, Settings);
    }
    if (minus && !zero)
        text.insert(0, "-");
    return text;
}

std::string FormatFloat(std::string_view Pattern, double Value)
{
    return FormatFloat(Pattern, Value, FormatSettings());
}

std::string FormatFixed(double Value, int Precision, int Digits, const TFormatSettings& Settings)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value > 0 ? "INF" : "-INF";
    Digits = std::clamp(Digits, 0, 18);
    Precision = std::clamp(Precision, 1, 18);
    Decimal d = Decimal::Of(Value);
    d.RoundTo(std::min(Precision, d.point + Digits));
    std::string text = d.IsZero() ? "0" : d.IntegerPart();
    if (text.empty())
        text = "0";
    if (Digits > 0) {
        text += Settings.DecimalSeparator;
        for (int i = 0; i < Digits; ++i)
            text += d.At(i);
    }
    if (Value < 0 && !d.IsZero())
        text.insert(0, "-");
    return text;
}

std::string FormatFixed(double Value, int Precision, int Digits)
{
    return FormatFixed(Value, Precision, Digits, FormatSettings());
}
