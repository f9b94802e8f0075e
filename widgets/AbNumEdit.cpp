// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/AbNumEdit.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QKeyEvent>

#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/Canvas.h"
#include "platform/framework/Exception.h"
#include "platform/framework/FormatFloat.h"
#include "widgets/_AbProc.h"

namespace {

constexpr std::string_view kPrefixes = "$%&!";
constexpr std::string_view kSuffixes = "EPTGMkmunpfa";
constexpr std::array<float, 12> kSuffixFactors{1e18f, 1e15f, 1e12f, 1e9f, 1e6f, 1e3f,
                                               1e-3f, 1e-6f, 1e-9f, 1e-12f, 1e-15f, 1e-18f};

bool IsExponentLetter(char ch)
{
    return ch == 'E' || ch == 'e';
}

bool Contains(std::string_view set, char ch)
{
    return set.find(ch) != std::string_view::npos;
}

// Whether the character ch (UTF-8, one or more bytes) is one of those in set.
bool Contains(std::string_view set, std::string_view ch)
{
    return !ch.empty() && set.find(ch) != std::string_view::npos;
}

// The locale's separators are text: several locales use characters of two or three bytes
// (U+066B as the decimal separator in ar_EG and fa_IR, U+202F for thousands elsewhere).
std::string DecimalSeparator()
{
    const std::string& s = FormatSettings().DecimalSeparator;
    return s.empty() ? "." : s;
}

std::string ThousandSeparator()
{
    return FormatSettings().ThousandSeparator;
}

// A text as characters, with the position of each in the edit, which counts a character
// beyond the basic plane as two.
struct TEditChars {
    std::vector<std::string> Chars;
    std::vector<int> Starts;  // one per character, then the end of the text
};

TEditChars SplitChars(const QString& Text)
{
    TEditChars r;
    for (int i = 0; i < Text.size();) {
        const int n = Text[i].isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate() ? 2 : 1;
        r.Starts.push_back(i);
        r.Chars.push_back(Text.mid(i, n).toStdString());
        i += n;
    }
    r.Starts.push_back(static_cast<int>(Text.size()));
    return r;
}

[[noreturn]] void NotA(const std::string& Text, const char* What)
{
    throw EConvertError("'" + Text + "' is not a valid " + What);
}

// Decimal integer text with an optional sign, or '$' and hexadecimal digits, as a 32-bit
// number (hexadecimal up to FFFFFFFF, read as two's complement).
std::int32_t StrToInt(const std::string& S)
{
    std::string_view v = S;
    if (!v.empty() && v[0] == '$') {
        v.remove_prefix(1);
        std::uint32_t u = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), u, 16);
        if (v.empty() || ec != std::errc() || end != v.data() + v.size())
            NotA(S, "integer value");
        return static_cast<std::int32_t>(u);
    }
    bool negative = false;
    if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
        negative = v[0] == '-';
        v.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), magnitude, 10);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size() || v[0] == '-')
        NotA(S, "integer value");
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        NotA(S, "integer value");
    return static_cast<std::int32_t>(value);
}

// Digits with at most one decimal separator and an optional exponent, with optional signs.
long double StrToFloat(const std::string& S)
{
    std::string t = S;
    const std::string sep = DecimalSeparator();
    size_t i = 0;
    auto digits = [&] {
        const size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t mantissa = digits();
    if (t.compare(i, sep.size(), sep) == 0) {
        t.replace(i, sep.size(), ".");
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        NotA(S, "floating point value");
    if (i < t.size() && IsExponentLetter(t[i])) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (digits() == 0)
            NotA(S, "floating point value");
    }
    if (i != t.size())
        NotA(S, "floating point value");
    const size_t skip = (!t.empty() && t[0] == '+') ? 1 : 0;
    long double value = 0;
    const auto [end, ec] = std::from_chars(t.data() + skip, t.data() + t.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Beyond even the extended range: the limits of the edit clamp it anyway.
        return t[skip] == '-' ? -std::numeric_limits<long double>::max() : std::numeric_limits<long double>::max();
    }
    if (ec != std::errc() || end != t.data() + t.size())
        NotA(S, "floating point value");
    return value;
}

}  // namespace

TBaseProperties BaseProperties(TEditBase Base)
{
    switch (Base) {
    case ebBin: return {"01", false, false, "", -2147483647.0L, 2147483647.0L};
    case ebHex: return {"0123456789abcdefABCDEF", false, false, "", -2147483647.0L, 2147483647.0L};
    case ebFloat:
        return {"0123456789" + DecimalSeparator() + ThousandSeparator(), true, true, "+-", -5.0E324L, 1.7E308L};
    case ebInt: return {"0123456789" + ThousandSeparator(), false, true, "+-", -2147483647.0L, 2147483647.0L};
    }
    return {};
}

std::string IntToBin(std::int32_t V, int Digits)
{
    Digits = std::max(0, Digits);
    const auto bits = static_cast<std::uint32_t>(V);
    std::string s;
    std::uint32_t emitted = 0;
    for (int i = 0; i < 32; ++i) {
        const bool one = (bits >> i) & 1u;
        s.insert(s.begin(), one ? '1' : '0');
        if (one)
            emitted |= 1u << i;
        if (Digits == 0 ? emitted == bits : i == Digits)
            break;
    }
    return s;
}

std::int32_t BinToInt(const std::string& S)
{
    std::uint32_t v = 0;
    const size_t n = S.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t k = n - 1 - i;
        if (S[i] == '1' && k < 32)
            v |= 1u << k;
    }
    return static_cast<std::int32_t>(v);
}

std::string RemoveChar(const std::string& S, char Ch)
{
    return RemoveChar(S, std::string_view(&Ch, 1));
}

std::string RemoveChar(const std::string& S, std::string_view Ch)
{
    if (Ch.empty())
        return S;
    std::string r;
    for (size_t i = 0; i < S.size();) {
        if (S.compare(i, Ch.size(), Ch) == 0) {
            i += Ch.size();
        } else {
            r += S[i];
            ++i;
        }
    }
    return r;
}

std::string IntToHex(std::int32_t V, int Digits)
{
    std::array<char, 16> buf{};
    const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<std::uint32_t>(V), 16);
    std::string s(buf.data(), end);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (static_cast<int>(s.size()) < Digits)
        s.insert(0, static_cast<size_t>(Digits) - s.size(), '0');
    return s;
}

long double ParseNumber(const std::string& Digits, TEditBase Base, float Multiplier)
{
    long double v = 0;
    if (!Digits.empty()) {
        switch (Base) {
        case ebBin: v = BinToInt(Digits); break;
        case ebHex: v = StrToInt("$" + Digits); break;
        case ebFloat: v = StrToFloat(Digits); break;
        case ebInt: v = StrToInt(Digits); break;
        }
    }
    if (Multiplier != 1)
        v *= Multiplier;
    return v;
}

// ---- TAbNumEdit ----

TAbNumEdit::TAbNumEdit(TComponent* AOwner, QWidget* AParent)
    : QLineEdit(AParent ? AParent : dynamic_cast<QWidget*>(AOwner)), TComponent(AOwner)
{
    QLineEdit::setText(QStringLiteral("0"));
    resize(65, sizeHint().height());
    ShowColor(FColorDefault);
    connect(this, &QLineEdit::textChanged, this, [this] { GuardedCall([this] { TextChanged(); }); });
    CheckText(true);
    // The text changes of creation are behind us; from now on each one is validated.
    IgnoreChange = false;
}

std::string TAbNumEdit::Text() const
{
    return QLineEdit::text().toStdString();
}

void TAbNumEdit::SetText(const std::string& S)
{
    QLineEdit::setText(QString::fromStdString(S));
}

void TAbNumEdit::Loaded()
{
    TComponent::Loaded();
    FOldText = Text();
    FirstDraw = false;
}

void TAbNumEdit::ShowColor(TColor C)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(C));
    setPalette(pal);
}

void TAbNumEdit::SetState(TNumEditState S)
{
    if (S == FState)
        return;
    FState = S;
    switch (S) {
    case esNormal: ShowColor(FColorDefault); break;
    case esEditing: ShowColor(FColorEditing); break;
    case esError:
        ShowColor(FColorError);
        QApplication::beep();
        break;
    }
}

void TAbNumEdit::SetColorDefault(TColor C)
{
    FColorDefault = C;
    ShowColor(C);
}

void TAbNumEdit::DoLimit()
{
    Fire(OnLimit, this);
}

void TAbNumEdit::SetLimitUp(bool V)
{
    if (V == FLimitUp)
        return;
    FLimitUp = V;
    DoLimit();
}

void TAbNumEdit::SetLimitLo(bool V)
{
    if (V == FLimitLo)
        return;
    FLimitLo = V;
    DoLimit();
}

double TAbNumEdit::LimitValue(double V)
{
    if (FOptions.Contains(eoLimitMin)) {
        SetLimitLo(V <= FMinValue);
        if (V <= FMinValue)
            V = FMinValue;
    }
    if (FOptions.Contains(eoLimitMax)) {
        SetLimitUp(V >= FMaxValue);
        if (V >= FMaxValue)
            V = FMaxValue;
    }
    return V;
}

std::string TAbNumEdit::Representation(TEditBase Base) const
{
    switch (Base) {
    case ebBin: return FValueAsBool;
    case ebHex: return FValueAsHex;
    case ebFloat: return FormatFloat(FFormatStr, FValue);
    case ebInt: return std::to_string(FValueAsInt);
    }
    return {};
}

void TAbNumEdit::ApplyValue(long double X)
{
    const TBaseProperties P = BaseProperties(FEditBase);
    X = std::clamp(X, P.MinValue, P.MaxValue);

    constexpr long double kSingleMax = 3.4e38L;
    if (X >= kSingleMax)
        FValueAsSingle = 3.4e38f;
    else if (X <= -1.5e45L)
        FValueAsSingle = -std::numeric_limits<float>::infinity();
    else if (X <= -kSingleMax)
        FValueAsSingle = -3.4e38f;  // below the single range: the mirror of the upper clamp
    else
        FValueAsSingle = static_cast<float>(X);

    if (X >= 2147483647.0L)
        FValueAsInt = 2147483647;
    else if (X <= -2147483647.0L)
        FValueAsInt = -2147483647;
    else
        FValueAsInt = Round(X);

    FValue = static_cast<double>(std::clamp(X, static_cast<long double>(-DBL_MAX), static_cast<long double>(DBL_MAX)));
    FValueAsHex = IntToHex(FValueAsInt, FDigitsHex);
    FValueAsBool = IntToBin(FValueAsInt, FDigitsBool);
    SetText(Representation(FEditBase));
    SetState(esNormal);
    if (!FirstDraw && OnValueChanged && Text() != FOldText)
        OnValueChanged(this);
    FOldText = Text();
}

bool TAbNumEdit::CheckText(bool Apply)
{
    const std::string t = Text();
    if (t.empty()) {
        SetState(esEditing);
        return true;
    }
    // Positions below count characters from 1 over the whole text.
    const TEditChars chars = SplitChars(QLineEdit::text());
    auto at = [&](int i) -> const std::string& { return chars.Chars[static_cast<size_t>(i - 1)]; };
    int Q = 1;
    TEditBase base = FEditBase;
    if (Contains(kPrefixes, at(1))) {
        Q = 2;
        const char prefix = at(1)[0];
        base = prefix == '!' ? ebFloat : prefix == '$' ? ebHex : prefix == '%' ? ebInt : ebBin;
    }
    const TBaseProperties P = BaseProperties(base);
    int E = static_cast<int>(chars.Chars.size());
    float M = 1;
    if (P.MultiEnable) {
        const size_t k = at(E).size() == 1 ? kSuffixes.find(at(E)[0]) : std::string_view::npos;
        if (k != std::string_view::npos) {
            M = kSuffixFactors[k];
            if (base == ebFloat || M > 1)
                --E;
            else
                M = 1;  // a sub-unit suffix stays in and fails the character check
        }
    }
    std::string N;
    for (int i = Q; i <= E; ++i)
        N += at(i);
    auto valid = [&](int i) { return Contains(P.ValidChars, at(i)); };
    auto exponentLetter = [&](int i) { return at(i).size() == 1 && IsExponentLetter(at(i)[0]); };

    int First = 0;
    int Last = 0;
    auto mark = [&](int i) {
        if (First == 0)
            First = i;
        Last = std::max(Last, i);
    };
    if (!N.empty()) {
        int i = Q;
        if (Contains(P.Sign, at(Q)))
            ++i;
        bool exponent = false;
        for (; i <= E; ++i) {
            if (P.ExpEnable && exponentLetter(i)) {
                exponent = true;
                ++i;
                break;
            }
            if (!valid(i))
                mark(i);
        }
        if (exponent) {
            if (i <= E && Contains(P.Sign, at(i)))
                ++i;
            for (; i <= E; ++i)
                if (!valid(i))
                    mark(i);
        }
        const std::string decimal = DecimalSeparator();
        bool seen = false;
        for (int j = Q; j <= E; ++j) {
            if (at(j) != decimal)
                continue;
            if (seen)
                mark(j);
            seen = true;
        }
    }

    if (First > 0) {
        SetState(esError);
        if (isEnabled() && isVisible() && !Designing())
            setFocus();
        const int from = chars.Starts[static_cast<size_t>(First - 1)];
        setSelection(from, chars.Starts[static_cast<size_t>(Last)] - from);
        return false;
    }

    // Typing only validates; the number is converted when it is applied, so a text on its
    // way to a valid number ("1e" before "1e5") is not an error.
    if (!Apply) {
        SetState(t == FOldText ? esNormal : esEditing);
        return true;
    }
    if (!N.empty() && Contains(P.Sign, N[0]) && P.Sign.find(N) != std::string::npos)
        N += "0";
    if (P.ExpEnable && !N.empty() && IsExponentLetter(N[0]))
        N.insert(0, "1");
    if (P.MultiEnable && M != 1 && N.empty())
        N = "1";
    N = RemoveChar(N, ThousandSeparator());
    // Applying shows the normal colour even when the text then turns out to be no number.
    SetState(esNormal);
    const long double value = ParseNumber(N, base, M);
    ApplyValue(LimitValue(static_cast<double>(value)));
    return true;
}

void TAbNumEdit::TextChanged()
{
    if (IgnoreChange) {
        IgnoreChange = false;
        return;
    }
    CheckText(Designing() || FValueAsBool.empty());
}

void TAbNumEdit::SetValue(double V)
{
    if (V != FValue)
        ApplyValue(LimitValue(V));
}

void TAbNumEdit::ShowValue(double V)
{
    if (FOptions.Contains(eoLimitMin))
        SetLimitLo(V <= FMinValue);
    if (FOptions.Contains(eoLimitMax))
        SetLimitUp(V >= FMaxValue);
    if (V != FValue)
        ApplyValue(V);
}

void TAbNumEdit::SetValueAsInt(std::int32_t V)
{
    if (std::to_string(V) != Text())
        ApplyValue(V);
}

void TAbNumEdit::SetValueAsSingle(float V)
{
    // Compared with the new value's text, so an assignment is never lost while the shown
    // text is current.
    if (Text() != FormatFloat(FFormatStr, V))
        ApplyValue(V);
}

void TAbNumEdit::SetValueAsHex(const std::string& S)
{
    if (S == Text())
        return;
    SetText(FEditBase == ebHex ? S : "$" + S);
    CheckText(true);
}

void TAbNumEdit::SetValueAsBool(const std::string& S)
{
    if (S == Text())
        return;
    SetText(FEditBase == ebBin ? S : "&" + S);
    CheckText(true);
}

void TAbNumEdit::SetMinValue(double V)
{
    if (V == FMinValue)
        return;
    FMinValue = V;
    CheckText(true);
}

void TAbNumEdit::SetMaxValue(double V)
{
    if (V == FMaxValue)
        return;
    FMaxValue = V;
    CheckText(true);
}

void TAbNumEdit::SetOptions(TNumEditOptions V)
{
    if (V == FOptions)
        return;
    FOptions = V;
    CheckText(true);
}

void TAbNumEdit::SetFormatStr(const std::string& S)
{
    if (S == FFormatStr)
        return;
    FFormatStr = S;
    if (FEditBase == ebFloat)
        SetText(FormatFloat(S, FValue));
    CheckText(true);
}

void TAbNumEdit::SetEditBase(TEditBase B)
{
    if (B == FEditBase)
        return;
    FEditBase = B;
    SetText(Representation(B));
    FOldText = Text();
    SetState(esNormal);
}

void TAbNumEdit::UpClick(TObject*)
{
    if (isReadOnly() || FLimitUp) {
        QApplication::beep();
        return;
    }
    IgnoreChange = true;
    const bool multiply = FOptions.Contains(eoMultiply) && FEditBase == ebFloat && FIncrement != 0 && FValue != 0;
    SetValue(LimitValue(multiply ? FValue * FIncrement : FValue + FIncrement));
    Fire(OnChange, this);
}

void TAbNumEdit::DownClick(TObject*)
{
    if (isReadOnly() || FLimitLo) {
        QApplication::beep();
        return;
    }
    IgnoreChange = true;
    const bool multiply = FOptions.Contains(eoMultiply) && FEditBase == ebFloat && FIncrement != 0 && FValue != 0;
    SetValue(LimitValue(multiply ? FValue / FIncrement : FValue - FIncrement));
    Fire(OnChange, this);
}

void TAbNumEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    bool consumed = false;
    GuardedCall([&] {
        if (key == Qt::Key_Up && !FLimitUp) {
            UpClick(this);
            consumed = true;
        } else if (key == Qt::Key_Down && !FLimitLo) {
            DownClick(this);
            consumed = true;
        } else {
            if (FState != esNormal && key == Qt::Key_Escape) {
                SetText(Representation(FEditBase));
                consumed = true;  // the edit used this Escape; its window does not close
            }
            Fire(OnChange, this);
        }
    });
    if (consumed) {
        event->accept();
        return;
    }

    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Keys that would change the text; with the editor locked they are all refused.
    const bool editing = enter || key == Qt::Key_Backspace || key == Qt::Key_Delete ||
                         (!event->text().isEmpty() && event->text()[0].isPrint()) ||
                         event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
                         event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
    if (!FEditorEnabled) {
        if (editing) {
            QApplication::beep();
            event->accept();
            return;
        }
    } else if (enter) {
        GuardedCall([this] { ApplyTyped(); });
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TAbNumEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (FAutoSelect && !(QApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
}

void TAbNumEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    GuardedCall([this] { ApplyTyped(); });
}

// Enter and leaving the field apply what was typed. A text left as it was shown is the
// current value and applies nothing, so a value shown beyond the limits is not clamped
// (and reported as changed) just because the focus passed through.
void TAbNumEdit::ApplyTyped()
{
    if (Text().empty())
        SetText("0");
    if (Text() != FOldText)
        CheckText(true);
}
