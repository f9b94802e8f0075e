// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/DesignSettings.h"

#include "platform/framework/Font.h"
#include "widgets/AbLED.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

void SetFont(TFont& Font, const std::string& Name, int Height, bool Bold, TColor Color)
{
    Font.SetName(Name);
    Font.SetHeight(Height);
    Font.SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    Font.SetColor(Color);
}

namespace {

// Lowered inner and raised outer bevel, 2 px wide with 5 px spacing, no surface gradient.
template <typename Control>
void SetUpPanelBevels(Control& c)
{
    c.BevelInner().SetStyle(bsLowered);
    c.BevelOuter().SetStyle(bsRaised);
    for (TAbSBevel* b : {&c.BevelInner(), &c.BevelOuter()}) {
        b->SetWidth(2);
        b->SetSpacing(5);
        b->SurfaceGrad().SetVisible(false);
    }
}

}  // namespace

void SetUpLambdaMeter(TAb270Meter& m, int Left, int Top, const std::string& Name, const std::string& ValueFormat)
{
    using enum TRMeterOption;
    m.BeginLoading();
    m.SetBounds(Left, Top, 273, 241);
    m.SetAutoSize(false);
    m.SetOptions({opBevelOuter, opName1});
    SetFont(m.Font(), "Arial", 11, false);
    SetFont(m.FontUnit(), "System", 13, true, clBlack);
    TSignalSettings& s = m.SignalSettings();
    s.SetName1(Name);
    s.SetValueFormat(ValueFormat);
    s.SetValueFrom(0.65f);
    s.SetValueTo(1.35f);
    s.SetValueUnit("h");
    m.SetLimitLower(0.5f);
    m.SetLimitUpper(2.0f);
    TScaleSettings& sc = m.ScaleSettings();
    sc.SetSteps(14);
    sc.SetSubSteps(5);
    sc.SetValueFormat("#0.00");
    sc.SetValueFormatLog("0e-0");
    sc.SetColor(clBlack);
    sc.SetPointerColor(clLime);
    sc.SetDrawLine(true);
    sc.SetPosLeftTop(false);
    SetFont(sc.Font(), "Arial", 16, true, clBlack);
    SetUpPanelBevels(m);
    TSectorSettings& sec = m.SectorSettings();
    sec.SetSector1Color(clGreen);
    sec.SetSector3Color(clGreen);
    sec.SetSector1From(1);
    sec.SetSector1To(1);
    sec.SetSector2From(1);
    sec.SetSector2To(1);
    sec.SetSector3From(1);
    sec.SetSector3To(1);
    sec.SetOffset(0);
    sec.SetWidthOffset(0);
    m.MinMax().SetMinVisible(false);
    m.MinMax().SetMaxVisible(false);
    m.MinMax().SetUseSectorCol(false);
    m.SetValue(-92.9f);
    m.EndLoading();
}

namespace {

void SetUpReadoutBevels(TAbValueInd& v)
{
    SetUpPanelBevels(v);
    TAbSBevel& box = v.BevelValue();
    box.SetStyle(bsLowered);
    box.SetWidth(2);
    box.SetSpacing(0);
    box.SetBevelLine(blNone);
    box.SetColor(clBlack);
}

}  // namespace

void SetUpLambdaReadout(TAbValueInd& v, int Left, int Top, const std::string& Name)
{
    using enum TValueIndOption;
    v.BeginLoading();
    v.SetBounds(Left, Top, 148, 72);
    TSignalSettings& s = v.SignalSettings();
    s.SetName1(Name);
    s.SetValueFormat("0.000");
    s.SetValueTo(100);
    s.SetValueUnit("%");
    v.SetOptions({opName1});
    v.SetLimitLower(10);
    v.SetLimitUpper(90);
    SetFont(v.FontValue(), "Arial", 40, false, clLime);
    SetFont(v.Font(), "Arial", 20, false);
    SetUpReadoutBevels(v);
    v.SetAutoSize(true);
    v.EndLoading();
}

void SetUpVoltsReadout(TAbValueInd& v, int Left, int Top)
{
    using enum TValueIndOption;
    v.BeginLoading();
    v.SetBounds(Left, Top, 83, 47);
    TSignalSettings& s = v.SignalSettings();
    s.SetName1("Power");
    s.SetValueUnit("V");
    s.SetValueFormat("#0.0");
    v.SetOptions({opName1, opUnit});
    SetFont(v.FontValue(), "Arial", 21, true, clLime);
    SetFont(v.Font(), "Arial", 16, true);
    SetUpReadoutBevels(v);
    v.EndLoading();
}

void SetUpLamp(TAbLED& l, int Left, int Top, int Width, const std::string& Caption, int LampSize,
               const std::string& FontName, int FontHeight, bool Bold, TColor On, TColor Off)
{
    l.SetBounds(Left, Top, Width, 33);
    l.SetCaption(Caption);
    l.LED().SetWidth(LampSize);
    l.LED().SetHeight(LampSize);
    l.LED().SetColorOn(On);
    l.LED().SetColorOff(Off);
    l.SetLED_Position(lpLeft);
    l.SetSpacing(5);
    l.SetMode(mIndicator);
    SetFont(l.Font(), FontName, FontHeight, Bold);
}
