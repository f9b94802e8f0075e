// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/framework/DateTime.h"
#include "platform/framework/Set.h"
#include "widgets/_GClass.h"

// Range, digital range, captions, unit and number format of an analog reading, with the
// ratios derived from them.
class TSignalSettings : public TAbPersistent {
public:
    std::string ClassName() const override { return "TSignalSettings"; }

    int DigitalFrom() const { return FDigitalFrom; }
    int DigitalTo() const { return FDigitalTo; }
    const std::string& Name1() const { return FName1; }
    const std::string& Name2() const { return FName2; }
    const std::string& ValueFormat() const { return FValueFormat; }
    float ValueFrom() const { return FValueFrom; }
    float ValueTo() const { return FValueTo; }
    const std::string& ValueUnit() const { return FValueUnit; }

    void SetDigitalFrom(int Value) { SetField(FDigitalFrom, Value); }
    void SetDigitalTo(int Value) { SetField(FDigitalTo, Value); }
    void SetName1(const std::string& Value) { SetField(FName1, Value); }
    void SetName2(const std::string& Value) { SetField(FName2, Value); }
    void SetValueFormat(const std::string& Value) { SetField(FValueFormat, Value); }
    // Ignores a value equal to either end; 0 is stored as 0.000001; a logarithmic scale
    // takes the nearest power of ten.
    void SetValueFrom(float Value);
    void SetValueTo(float Value);
    void SetValueUnit(const std::string& Value) { SetField(FValueUnit, Value); }

    // Derived values, as of the last Recalculate.
    bool LogScale = false;
    float TotalValue() const { return FTotalValue; }
    int TotalDigit() const { return FTotalDigit; }
    float ValuePerDigit() const { return FValuePerDigit; }
    float DigitPerValue() const { return FDigitPerValue; }
    float PPTPerValue() const { return FPPTPerValue; }
    const std::string& ValueSizeStr() const { return FValueSizeStr; }

    // Recomputes the derived values, then notifies.
    void Change() override;
    // Recomputes the derived values; a range that does not ascend from a non-negative start
    // keeps the previous span and ratios.
    void Recalculate();

    int GetPPT(float Value) const;
    float GetValue(int PPT) const;
    // The widest section of a format: with ';' the shorter of the text before the first ';'
    // and the text after it gives way to the other (a tie gives the latter).
    static std::string AbGetValueFormat(const std::string& FormatStr);

    void Assign(const TPersistent& Source) override;

private:
    int FDigitalFrom = 0;
    int FDigitalTo = 1000;
    std::string FName1 = "SignalName1";
    std::string FName2 = "SignalName2";
    std::string FValueFormat = "##0.0";
    float FValueFrom = 0;
    float FValueTo = 100;
    std::string FValueUnit = "%";

    float FTotalValue = 100;
    int FTotalDigit = 1000;
    float FValuePerDigit = 0;
    float FDigitPerValue = 0;
    float FPPTPerValue = 0;
    std::string FValueSizeStr = "##0.0";
};

// Three coloured sectors of the scale, in thousandths of the span, inclusive at both ends.
class TSectorSettings : public TAbPersistent {
public:
    std::string ClassName() const override { return "TSectorSettings"; }

    TColor Sector1Color() const { return FSector1Color; }
    int Sector1From() const { return FSector1From; }
    int Sector1To() const { return FSector1To; }
    TColor Sector2Color() const { return FSector2Color; }
    int Sector2From() const { return FSector2From; }
    int Sector2To() const { return FSector2To; }
    TColor Sector3Color() const { return FSector3Color; }
    int Sector3From() const { return FSector3From; }
    int Sector3To() const { return FSector3To; }
    int Offset() const { return FOffset; }
    int WidthOffset() const { return FWidthOffset; }

    void SetSector1Color(TColor Value) { SetField(FSector1Color, Value); }
    void SetSector1From(int Value) { SetField(FSector1From, Value); }
    void SetSector1To(int Value) { SetField(FSector1To, Value); }
    void SetSector2Color(TColor Value) { SetField(FSector2Color, Value); }
    void SetSector2From(int Value) { SetField(FSector2From, Value); }
    void SetSector2To(int Value) { SetField(FSector2To, Value); }
    void SetSector3Color(TColor Value) { SetField(FSector3Color, Value); }
    void SetSector3From(int Value) { SetField(FSector3From, Value); }
    void SetSector3To(int Value) { SetField(FSector3To, Value); }
    void SetOffset(int Value) { SetField(FOffset, Value); }
    void SetWidthOffset(int Value) { SetField(FWidthOffset, Value); }

    // Sector k (1..3) limits, for loops.
    int SectorFrom(int k) const;
    int SectorTo(int k) const;
    TColor SectorColor(int k) const;

    bool LogScale = false;

    // The colour of the first sector that contains PPT; false (Col untouched) when none does.
    bool CheckSectorColor(int PPT, TColor& Col) const;

    // Copies the colours and limits, not the two ring offsets.
    void Assign(const TPersistent& Source) override;

private:
    TColor FSector1Color = RGB(255, 255, 0);
    int FSector1From = 0;
    int FSector1To = 333;
    TColor FSector2Color = RGB(0, 128, 0);
    int FSector2From = 334;
    int FSector2To = 666;
    TColor FSector3Color = RGB(255, 0, 0);
    int FSector3From = 667;
    int FSector3To = 1000;
    int FOffset = 0;
    int FWidthOffset = 0;
};

// The tracked extremes and their markers. 9999999 for Min and -9999999 for Max mean that
// nothing has been recorded yet.
class TMinMax : public TAbPersistent {
public:
    static constexpr float kNoMin = 9999999.0f;
    static constexpr float kNoMax = -9999999.0f;

    TMinMax();
    std::string ClassName() const override { return "TMinMax"; }

    float Max() const { return FMax; }
    float Min() const { return FMin; }
    TDateTime MaxDateTime() const { return FMaxDateTime; }
    TDateTime MinDateTime() const { return FMinDateTime; }
    // Store the extreme and stamp it with the present time; no notification.
    void SetMax(float Value);
    void SetMin(float Value);
    void SetMaxDateTime(TDateTime Value) { FMaxDateTime = Value; }
    void SetMinDateTime(TDateTime Value) { FMinDateTime = Value; }
    // Back to "nothing recorded", time stamps untouched.
    void Restart();

    TColor MaxColor() const { return FMaxColor; }
    TColor MinColor() const { return FMinColor; }
    bool UseSectorCol() const { return FUseSectorCol; }
    bool MinVisible() const { return FMinVisible; }
    bool MaxVisible() const { return FMaxVisible; }
    void SetMaxColor(TColor Value) { SetField(FMaxColor, Value); }
    void SetMinColor(TColor Value) { SetField(FMinColor, Value); }
    void SetUseSectorCol(bool Value) { SetField(FUseSectorCol, Value); }
    void SetMinVisible(bool Value) { SetField(FMinVisible, Value); }
    void SetMaxVisible(bool Value) { SetField(FMaxVisible, Value); }

    void Assign(const TPersistent& Source) override;

private:
    float FMax = kNoMax;
    TDateTime FMaxDateTime;
    float FMin = kNoMin;
    TDateTime FMinDateTime;
    TColor FMaxColor = RGB(0, 255, 255);
    TColor FMinColor = RGB(0, 255, 255);
    bool FUseSectorCol = true;
    bool FMinVisible = true;
    bool FMaxVisible = true;
};

enum THintOption { hoAutoHint, hoValue, hoName1, hoName2, hoMin, hoMax, hoMinMaxDate, hoMinMaxTime };
using THintOptions = TSet<THintOption>;

using TOverflowEvent = std::function<void(TObject* Sender, int PPT)>;
using TSectorChangeEvent = std::function<void(TObject* Sender, bool Sector1, bool Sector2, bool Sector3, bool Enter)>;
using TLimitEvent = std::function<void(TObject* Sender, bool Lower, bool Upper)>;

// One floating-point reading against a range: its digital count, its position on the scale
// in thousandths (PPT), alarm limits, overflow, sectors, extremes, hint text and the events
// for each. Draws nothing; the meters and indicators draw from this state.
class TAbAnalogGControl : public TAbGraphicControl {
public:
    explicit TAbAnalogGControl(TComponent* AOwner, QWidget* AParent = nullptr);
    ~TAbAnalogGControl() override;
    std::string ClassName() const override { return "TAbAnalogGControl"; }

    float Value() const { return FValue; }
    // Unchanged values and NaN do nothing; nothing clamps the stored reading.
    void SetValue(float Value);
    int Digit() const { return FDigit; }
    void SetDigit(int Value);
    float LimitUpper() const { return FLimitUpper; }
    void SetLimitUpper(float Value);
    float LimitLower() const { return FLimitLower; }
    // 0 is stored as 0.0001.
    void SetLimitLower(float Value);
    THintOptions HintOptions() const { return FHintOptions; }
    void SetHintOptions(THintOptions Value);
    bool LogScale() const { return FLogScale; }
    void SetLogScale(bool Value);

    TSectorSettings& SectorSettings() { return *FSectorSettings; }
    TSignalSettings& SignalSettings() { return *FSignalSettings; }
    TMinMax& MinMax() { return *FMinMax; }

    void ResetMinMax();
    void SetMin(float Value, TDateTime DT);
    void SetMax(float Value, TDateTime DT);

    // State derived by the value-change update.
    int PPT() const { return FPPT; }
    const std::string& ValueStr() const { return FValueStr; }
    bool UOverflow() const { return FUOverflow; }
    bool LOverflow() const { return FLOverflow; }
    bool ULimit() const { return FULimit; }
    bool LLimit() const { return FLLimit; }
    int MaxPPT() const { return FMaxPPT; }
    int MinPPT() const { return FMinPPT; }
    bool InSector1() const { return FInSector1; }
    bool InSector2() const { return FInSector2; }
    bool InSector3() const { return FInSector3; }
    TColor cAlarm0() const { return FcAlarm0; }
    TColor cAlarm1() const { return FcAlarm1; }
    double LogFactor1() const { return FLogFactor1; }
    double LogFactor2() const { return FLogFactor2; }

    void ParamChange(TObject* Sender) override;
    virtual void ValueChanged();
    virtual void OverflowChanged(int PPT);
    virtual void LimitChanged();
    virtual void MinMaxChanged(TObject* Sender);
    virtual void LogScaleChanged();

    TNotifyEvent OnMinMaxChange;
    TNotifyEvent OnPosChanged;
    TLimitEvent OnLimit;
    TOverflowEvent OnOverflow;
    TNotifyEvent OnSettingsChange;
    TSectorChangeEvent OnSectorChange;
    TNotifyEvent OnValueChange;

protected:
    void Loaded() override;
    void UpdateHint();
    void CheckLimits();
    // The digital count of a reading on the present scale.
    int DigitOf(long double Value) const;

    int FDigit = 500;
    THintOptions FHintOptions;
    std::unique_ptr<TSectorSettings> FSectorSettings;
    std::unique_ptr<TSignalSettings> FSignalSettings;
    std::unique_ptr<TMinMax> FMinMax;
    float FValue = 50.0f;
    float FLimitUpper = 90.0f;
    float FLimitLower = 10.0f;
    bool FLogScale = false;
    double FLogFactor1 = 0;
    double FLogFactor2 = 0;
    TPoint pPosLeftTop;
    std::string FValueStr;
    bool FUOverflow = false;
    bool FLOverflow = false;
    bool FULimit = false;
    bool FLLimit = false;
    int FPPT = 500;
    TColor FcAlarm0 = RGB(255, 255, 0);
    TColor FcAlarm1 = RGB(255, 0, 0);
    int FMaxPPT = 0;
    int FMinPPT = 0;
    bool FInSector1 = false;
    bool FInSector2 = false;
    bool FInSector3 = false;
};
