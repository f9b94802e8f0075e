// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/_GClassAnalog.h"

#include <cmath>

#include "platform/framework/FormatFloat.h"

// ---- TSignalSettings ----

void TSignalSettings::SetValueFrom(float Value)
{
    if (std::isnan(Value) || Value == FValueFrom || Value == FValueTo)
        return;
    FValueFrom = Value == 0 ? 0.000001f : Value;
    if (LogScale) {
        const auto decade = static_cast<float>(RoundToDecade(FValueFrom));
        if (decade != FValueTo)
            FValueFrom = decade;
    }
    Change();
}

void TSignalSettings::SetValueTo(float Value)
{
    if (std::isnan(Value) || Value == FValueFrom || Value == FValueTo)
        return;
    FValueTo = Value;
    if (LogScale) {
        const auto decade = static_cast<float>(RoundToDecade(FValueTo));
        if (decade != FValueFrom)
            FValueTo = decade;
    }
    Change();
}

void TSignalSettings::Recalculate()
{
    const long double from = FValueFrom;
    const long double to = FValueTo;
    const long double a = std::fabs(from);
    const long double b = std::fabs(to);
    if (from < 0 && to < 0)
        FTotalValue = static_cast<float>(a - b);
    else if (from < 0)
        FTotalValue = static_cast<float>(a + b);
    else if (to > 0)
        FTotalValue = static_cast<float>(b - a);
    FTotalDigit = SignedSpan(FDigitalFrom, FDigitalTo);
    if (FTotalDigit > 0)
        FValuePerDigit = static_cast<float>(static_cast<long double>(FTotalValue) / FTotalDigit);
    if (FTotalValue > 0) {
        FDigitPerValue = static_cast<float>(FTotalDigit / static_cast<long double>(FTotalValue));
        FPPTPerValue = static_cast<float>(1000.0L / FTotalValue);
        FValueSizeStr = AbGetValueFormat(FValueFormat);
    }
}

void TSignalSettings::Change()
{
    Recalculate();
    TAbPersistent::Change();
}

int TSignalSettings::GetPPT(float Value) const
{
    return Round((static_cast<long double>(Value) - FValueFrom) * FPPTPerValue);
}

float TSignalSettings::GetValue(int PPT) const
{
    return static_cast<float>(static_cast<long double>(FTotalValue) / 1000 * PPT + FValueFrom);
}

std::string TSignalSettings::AbGetValueFormat(const std::string& FormatStr)
{
    const size_t pos = FormatStr.find(';');
    if (pos == std::string::npos)
        return FormatStr;
    const std::string first = FormatStr.substr(0, pos);
    const std::string rest = FormatStr.substr(pos + 1);
    return rest.size() < first.size() ? first : rest;
}

void TSignalSettings::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TSignalSettings*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    SetDigitalFrom(src->FDigitalFrom);
    SetDigitalTo(src->FDigitalTo);
    SetValueFormat(src->FValueFormat);
    SetValueFrom(src->FValueFrom);
    SetValueTo(src->FValueTo);
    SetValueUnit(src->FValueUnit);
    SetName1(src->FName1);
    SetName2(src->FName2);
}

// ---- TSectorSettings ----

int TSectorSettings::SectorFrom(int k) const
{
    return k == 1 ? FSector1From : k == 2 ? FSector2From : FSector3From;
}

int TSectorSettings::SectorTo(int k) const
{
    return k == 1 ? FSector1To : k == 2 ? FSector2To : FSector3To;
}

TColor TSectorSettings::SectorColor(int k) const
{
    return k == 1 ? FSector1Color : k == 2 ? FSector2Color : FSector3Color;
}

bool TSectorSettings::CheckSectorColor(int PPT, TColor& Col) const
{
    for (int k = 1; k <= 3; ++k) {
        if (SectorFrom(k) <= PPT && PPT <= SectorTo(k)) {
            Col = SectorColor(k);
            return true;
        }
    }
    return false;
}

void TSectorSettings::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TSectorSettings*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    SetSector1Color(src->FSector1Color);
    SetSector1From(src->FSector1From);
    SetSector1To(src->FSector1To);
    SetSector2Color(src->FSector2Color);
    SetSector2From(src->FSector2From);
    SetSector2To(src->FSector2To);
    SetSector3Color(src->FSector3Color);
    SetSector3From(src->FSector3From);
    SetSector3To(src->FSector3To);
}

// ---- TMinMax ----

TMinMax::TMinMax() : FMaxDateTime(Now()), FMinDateTime(FMaxDateTime) {}

void TMinMax::SetMax(float Value)
{
    FMax = Value;
    FMaxDateTime = Now();
}

void TMinMax::SetMin(float Value)
{
    FMin = Value;
    FMinDateTime = Now();
}

void TMinMax::Restart()
{
    FMin = kNoMin;
    FMax = kNoMax;
}

void TMinMax::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TMinMax*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    SetMaxColor(src->FMaxColor);
    SetMinColor(src->FMinColor);
    SetUseSectorCol(src->FUseSectorCol);
    SetMinVisible(src->FMinVisible);
    SetMaxVisible(src->FMaxVisible);
}

// ---- TAbAnalogGControl ----

TAbAnalogGControl::TAbAnalogGControl(TComponent* AOwner, QWidget* AParent)
    : TAbGraphicControl(AOwner, AParent),
      FHintOptions({hoAutoHint, hoValue, hoName1, hoName2, hoMin, hoMax, hoMinMaxDate, hoMinMaxTime}),
      FSectorSettings(std::make_unique<TSectorSettings>()),
      FSignalSettings(std::make_unique<TSignalSettings>()),
      FMinMax(std::make_unique<TMinMax>())
{
    Font().SetName("Arial");
    Font().SetSize(8);
    FULimit = true;
    FLLimit = true;
    CheckLimits();
    pPosLeftTop = {Left(), Top()};
}

TAbAnalogGControl::~TAbAnalogGControl()
{
    // The settings objects go first; nothing may call back into them afterwards.
    Font().OnChange = nullptr;
}

int TAbAnalogGControl::DigitOf(long double Value) const
{
    const TSignalSettings& s = *FSignalSettings;
    if (FLogScale)
        return Round(Log10((1.0L / s.ValueFrom()) * Value) * FLogFactor1) + s.DigitalFrom();
    return Round((Value - s.ValueFrom()) * s.DigitPerValue() + s.DigitalFrom());
}

void TAbAnalogGControl::SetValue(float Value)
{
    if (std::isnan(Value) || Value == FValue)
        return;
    if (FLogScale && Value <= 0)
        return;
    FValue = Value;
    FDigit = DigitOf(Value);
    if (Designing())
        ParamChange(this);
    else
        ValueChanged();
}

void TAbAnalogGControl::SetDigit(int Value)
{
    if (Value == FDigit)
        return;
    FDigit = Value;
    const TSignalSettings& s = *FSignalSettings;
    if (FLogScale) {
        if (FLogFactor1 - FLogFactor2 != 0)
            FValue = static_cast<float>(
                Power(10.0L, (static_cast<long double>(Value) - s.DigitalFrom()) / FLogFactor1 - FLogFactor2));
    } else {
        FValue = static_cast<float>((static_cast<long double>(Value) - s.DigitalFrom()) * s.ValuePerDigit() +
                                    s.ValueFrom());
    }
    if (Designing())
        ParamChange(this);
    else
        ValueChanged();
}

void TAbAnalogGControl::SetLimitUpper(float Value)
{
    if (Value == FLimitUpper)
        return;
    FLimitUpper = Value;
    ValueChanged();
}

void TAbAnalogGControl::SetLimitLower(float Value)
{
    if (Value == 0)
        Value = 0.0001f;
    if (Value == FLimitLower)
        return;
    FLimitLower = Value;
    ValueChanged();
}

void TAbAnalogGControl::SetHintOptions(THintOptions Value)
{
    const bool autoHintOn = Value.Contains(hoAutoHint) && !FHintOptions.Contains(hoAutoHint);
    FHintOptions = Value;
    if (autoHintOn)
        ValueChanged();
}

void TAbAnalogGControl::SetLogScale(bool Value)
{
    FLogScale = Value;
    FSignalSettings->LogScale = Value;
    FSectorSettings->LogScale = Value;
    TSignalSettings& s = *FSignalSettings;
    if (Value) {
        if (!(FValue > 0))
            FValue = 0.001f;
        s.SetValueFrom(s.ValueFrom() > 0 ? static_cast<float>(RoundToDecade(s.ValueFrom())) : 0.001f);
        s.SetValueTo(static_cast<float>(RoundToDecade(s.ValueTo())));
        FLogFactor1 = s.ValueTo() != s.ValueFrom()
                          ? static_cast<double>(s.TotalDigit() / Log10(static_cast<long double>(s.ValueTo()) / s.ValueFrom()))
                          : s.TotalDigit();
        FLogFactor2 = static_cast<double>(Log10(1.0L / s.ValueFrom()));
    }
    FDigit = DigitOf(FValue);
    LogScaleChanged();
}

void TAbAnalogGControl::ParamChange(TObject*)
{
    TSignalSettings& s = *FSignalSettings;
    s.Recalculate();
    if (FLogScale) {
        const long double ratio = Log10(static_cast<long double>(s.ValueTo()) / s.ValueFrom());
        FLogFactor1 = static_cast<double>(ratio != 0 ? s.TotalDigit() / ratio : s.TotalDigit());
        FLogFactor2 = static_cast<double>(Log10(1.0L / s.ValueFrom()));
        if (!(FValue > 0))
            FValue = 1.0f;
    }
    FDigit = DigitOf(FValue);
    Fire(OnSettingsChange, this);
}

void TAbAnalogGControl::CheckLimits()
{
    const bool upper = FValue > FLimitUpper;
    const bool lower = FValue < FLimitLower;
    if (upper == FULimit && lower == FLLimit)
        return;
    FULimit = upper;
    FLLimit = lower;
    LimitChanged();
    if (OnLimit)
        OnLimit(this, lower, upper);
}

void TAbAnalogGControl::ValueChanged()
{
    const TSignalSettings& s = *FSignalSettings;
    if (Left() != pPosLeftTop.x || Top() != pPosLeftTop.y) {
        pPosLeftTop = {Left(), Top()};
        Fire(OnPosChanged, this);
    }

    FValueStr = FormatFloat(s.ValueFormat(), FValue);

    // A digital span of 0 has no positions; the reading then sits at the scale start.
    FPPT = s.TotalDigit() != 0
               ? Round(1000.0L / s.TotalDigit() * (static_cast<long double>(FDigit) - s.DigitalFrom()))
               : 0;

    bool* const flags[3] = {&FInSector1, &FInSector2, &FInSector3};
    for (int k = 1; k <= 3; ++k) {
        bool& flag = *flags[k - 1];
        const bool old = flag;
        flag = FSectorSettings->SectorFrom(k) <= FPPT && FPPT <= FSectorSettings->SectorTo(k);
        if (flag != old && OnSectorChange)
            OnSectorChange(this, k == 1, k == 2, k == 3, flag);
    }

    CheckLimits();

    if (FPPT < 0) {
        if (!FLOverflow) {
            FLOverflow = true;
            FUOverflow = false;
            OverflowChanged(FPPT);
            if (OnOverflow)
                OnOverflow(this, FPPT);
        }
        FPPT = 0;
    } else if (FPPT > 1000) {
        if (!FUOverflow) {
            FUOverflow = true;
            FLOverflow = false;
            OverflowChanged(FPPT);
            if (OnOverflow)
                OnOverflow(this, FPPT);
        }
        FPPT = 1000;
    } else if (FLOverflow || FUOverflow) {
        FLOverflow = false;
        FUOverflow = false;
        OverflowChanged(FPPT);
        if (OnOverflow)
            OnOverflow(this, FPPT);
    }

    if (Designing()) {
        FMinPPT = FPPT;
        FMaxPPT = FPPT;
    } else {
        if (FMinMax->Min() > FValue) {
            const float old = FMinMax->Min();
            FMinMax->SetMin(FValue);
            FMinPPT = FPPT;
            if (old != TMinMax::kNoMin)
                MinMaxChanged(this);
        }
        if (!(FMinMax->Max() >= FValue)) {
            const float old = FMinMax->Max();
            FMinMax->SetMax(FValue);
            FMaxPPT = FPPT;
            if (old != TMinMax::kNoMax)
                MinMaxChanged(this);
        }
    }

    UpdateHint();
    Fire(OnValueChange, this);
}

void TAbAnalogGControl::UpdateHint()
{
    if (!FHintOptions.Contains(hoAutoHint) || Designing())
        return;
    // Everything the text shows is taken now; the formatting waits until the hint is read.
    const TSignalSettings& s = *FSignalSettings;
    struct Extreme {
        float value;
        TDateTime when;
    };
    SetHintLater([options = FHintOptions, valueStr = FValueStr, unit = s.ValueUnit(), format = s.ValueFormat(),
                  min = Extreme{FMinMax->Min(), FMinMax->MinDateTime()},
                  max = Extreme{FMinMax->Max(), FMinMax->MaxDateTime()}, name1 = s.Name1(), name2 = s.Name2()] {
        std::string text;
        const auto line = [&text](const std::string& piece) { text += (text.empty() ? "" : "\r") + piece; };
        if (options.Contains(hoValue))
            line("Value= " + valueStr + " " + unit);
        const auto extreme = [&](const char* label, const Extreme& e) {
            std::string piece = label + FormatFloat(format, e.value) + " " + unit;
            if (options.Contains(hoMinMaxDate))
                piece += " " + DateToStr(e.when);
            if (options.Contains(hoMinMaxTime))
                piece += " " + TimeToStr(e.when);
            line(piece);
        };
        if (options.Contains(hoMin))
            extreme("MIN= ", min);
        if (options.Contains(hoMax))
            extreme("MAX= ", max);
        if (options.Contains(hoName1))
            line(name1);
        if (options.Contains(hoName2))
            line(name2);
        return text;
    });
}

void TAbAnalogGControl::OverflowChanged(int) {}

void TAbAnalogGControl::LimitChanged() {}

void TAbAnalogGControl::MinMaxChanged(TObject*)
{
    Fire(OnMinMaxChange, this);
    ValueChanged();
}

void TAbAnalogGControl::LogScaleChanged()
{
    RequestParamChange();
}

void TAbAnalogGControl::ResetMinMax()
{
    FMinMax->SetMin(FValue);
    FMinPPT = FPPT;
    FMinMax->SetMax(FValue);
    FMaxPPT = FPPT;
    MinMaxChanged(this);
    UpdateHint();
    ValueChanged();
}

void TAbAnalogGControl::SetMin(float Value, TDateTime DT)
{
    if (FMinMax->Min() == Value)
        return;
    FMinMax->SetMin(Value);
    FMinPPT = FSignalSettings->GetPPT(Value);
    FMinMax->SetMinDateTime(DT);
    MinMaxChanged(this);
    UpdateHint();
}

void TAbAnalogGControl::SetMax(float Value, TDateTime DT)
{
    if (FMinMax->Max() == Value)
        return;
    FMinMax->SetMax(Value);
    FMaxPPT = FSignalSettings->GetPPT(Value);
    FMinMax->SetMaxDateTime(DT);
    MinMaxChanged(this);
    UpdateHint();
}

void TAbAnalogGControl::Loaded()
{
    TAbGraphicControl::Loaded();
    Font().OnChange = [this](TObject* s) { ParamChange(s); };
    FSignalSettings->OnChange = [this](TObject* s) { ParamChange(s); };
    FSectorSettings->OnChange = [this](TObject* s) { ParamChange(s); };
    FMinMax->OnChange = [this](TObject* s) { MinMaxChanged(s); };
    FMinMax->Restart();
}
