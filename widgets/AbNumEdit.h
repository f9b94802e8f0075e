// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <QLineEdit>

#include "platform/framework/Color.h"
#include "platform/framework/Component.h"
#include "platform/framework/Set.h"

enum TEditBase { ebBin, ebHex, ebFloat, ebInt };
enum TNumEditOption { eoLimitMax, eoLimitMin, eoMultiply };
using TNumEditOptions = TSet<TNumEditOption>;
enum TNumEditState { esNormal, esEditing, esError };

// What a number base accepts. The separators come from the formatting locale in force.
struct TBaseProperties {
    std::string ValidChars;
    bool ExpEnable = false;
    bool MultiEnable = false;
    std::string Sign;
    long double MinValue = 0;
    long double MaxValue = 0;
};
TBaseProperties BaseProperties(TEditBase Base);

// Bits 0 upwards of V as '0'/'1' text: with Digits 0 only as many as V needs (32 for a
// negative V), with Digits n > 0 exactly n + 1 (bits 0..n). Negative Digits count as 0.
std::string IntToBin(std::int32_t V, int Digits);
// Each '1' at distance k from the right adds 2^k; other characters add nothing.
std::int32_t BinToInt(const std::string& S);
std::string RemoveChar(const std::string& S, char Ch);
// S without any occurrence of Ch, a character of one or more bytes.
std::string RemoveChar(const std::string& S, std::string_view Ch);
// Upper-case hexadecimal with at least Digits digits; negative values as 32-bit two's complement.
std::string IntToHex(std::int32_t V, int Digits);

// The number a validated text stands for: the part after a base prefix and before an SI
// suffix, converted in its base and multiplied by the suffix. Raises EConvertError when the
// characters are valid but do not form a number (for example "1e").
long double ParseNumber(const std::string& Digits, TEditBase Base, float Multiplier);

// A single-line edit for one number: validates typing against its base (bad characters are
// selected and coloured), takes SI suffixes and base prefixes, applies limits, and keeps the
// value as double, single, integer, hexadecimal and binary text. Typing only validates; the
// value is applied on Enter, on leaving the field, by the arrow keys or by the program.
class TAbNumEdit : public QLineEdit, public TComponent {
public:
    explicit TAbNumEdit(TComponent* AOwner, QWidget* AParent = nullptr);
    std::string ClassName() const override { return "TAbNumEdit"; }

    double Value() const { return FValue; }
    void SetValue(double V);
    // Shows V as it is, beyond the limits too: a value read from elsewhere, not entered. The
    // limit flags follow it, so the arrow keys step from it back into the range.
    void ShowValue(double V);
    std::int32_t ValueAsInt() const { return FValueAsInt; }
    void SetValueAsInt(std::int32_t V);
    float ValueAsSingle() const { return FValueAsSingle; }
    void SetValueAsSingle(float V);
    const std::string& ValueAsHex() const { return FValueAsHex; }
    void SetValueAsHex(const std::string& S);
    const std::string& ValueAsBool() const { return FValueAsBool; }
    void SetValueAsBool(const std::string& S);

    double MinValue() const { return FMinValue; }
    void SetMinValue(double V);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double V);
    TNumEditOptions Options() const { return FOptions; }
    void SetOptions(TNumEditOptions V);
    const std::string& FormatStr() const { return FFormatStr; }
    void SetFormatStr(const std::string& S);
    TEditBase EditBase() const { return FEditBase; }
    void SetEditBase(TEditBase B);
    float Increment() const { return FIncrement; }
    void SetIncrement(float V) { FIncrement = V; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool V) { FEditorEnabled = V; }
    int DigitsHex() const { return FDigitsHex; }
    void SetDigitsHex(int V) { FDigitsHex = V; }
    int DigitsBool() const { return FDigitsBool; }
    void SetDigitsBool(int V) { FDigitsBool = V; }
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool V) { FAutoSelect = V; }

    TColor ColorDefault() const { return FColorDefault; }
    void SetColorDefault(TColor C);
    TColor ColorError() const { return FColorError; }
    void SetColorError(TColor C) { FColorError = C; }
    TColor ColorEditing() const { return FColorEditing; }
    void SetColorEditing(TColor C) { FColorEditing = C; }

    TNumEditState State() const { return FState; }
    bool LimitUp() const { return FLimitUp; }
    bool LimitLo() const { return FLimitLo; }
    std::string Text() const;
    void SetText(const std::string& S);

    virtual void SetState(TNumEditState S);
    virtual void DoLimit();
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

    // Validates the text and, with Apply, applies the number it stands for. Returns whether
    // the text is valid.
    bool CheckText(bool Apply);

    TNotifyEvent OnValueChanged;
    TNotifyEvent OnLimit;
    TNotifyEvent OnChange;

protected:
    void Loaded() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    double LimitValue(double V);
    void ApplyTyped();
    void ApplyValue(long double X);
    std::string Representation(TEditBase Base) const;
    void SetLimitUp(bool V);
    void SetLimitLo(bool V);
    void TextChanged();
    void ShowColor(TColor C);

    TEditBase FEditBase = ebFloat;
    bool FEditorEnabled = true;
    double FMinValue = 0;
    double FMaxValue = 0;
    float FIncrement = 1.0f;
    std::string FOldText = "0";
    double FValue = 0;
    std::string FValueAsBool;
    std::string FValueAsHex;
    float FValueAsSingle = 0;
    std::int32_t FValueAsInt = 0;
    TNumEditOptions FOptions;
    std::string FFormatStr = "#0.#";
    TNumEditState FState = esNormal;
    bool FirstDraw = true;
    bool IgnoreChange = true;
    bool FLimitUp = false;
    bool FLimitLo = false;
    TColor FColorDefault = clWindow;
    TColor FColorError = clRed;
    TColor FColorEditing = clLime;
    int FDigitsBool = 0;
    int FDigitsHex = 0;
    bool FAutoSelect = true;
};
