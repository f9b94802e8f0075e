// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/framework/Font.h"
#include "widgets/_GClass.h"

// The layout of a round scale in a rectangle, before anything is drawn. Angles are degrees
// clockwise from 12 o'clock; major ticks and labels sit at AlphaFrom + i × StepAngle, minor
// ticks at whole degrees.
struct TRoundScaleGeometry {
    int cx = 0;
    int cy = 0;
    int Radius = 0;
    int sl1 = 0;
    int sl2 = 0;
    TRect Ring;               // the rectangle of the tick ring
    float SubAngle = 0;
    float StepAngle = 0;
    std::vector<float> MajorAngles;              // offsets from AlphaFrom, the last one Alpha
    std::vector<std::vector<int>> MinorAngles;   // per interval, offsets from AlphaFrom
    std::array<TPoint, 4> Reference{};           // P1..P4 straight above the centre
};

// Layout of a round scale with n labelled intervals of SubSteps sub-intervals each in r,
// for labels TextW × TextH wide and high, major pen PenW1 and label spacing Spacing.
TRoundScaleGeometry RoundScaleGeometry(const TRect& r, int Alpha, int n, int SubSteps, bool LogScale,
                                       int TextW, int TextH, int PenW1, int Spacing);

// The largest divisor of a from max(n, 1) down to 2; 1 when there is none or a is 0.
int StepDivisor(int n, int a);

// The settings of a meter's scale; computes and draws the round scale.
class TScaleSettings : public TAbPersistent {
public:
    TScaleSettings();
    std::string ClassName() const override { return "TScaleSettings"; }

    TColor Color() const { return FColor; }
    TColor PointerColor() const { return FPointerColor; }
    bool DrawLine() const { return FDrawLine; }
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    bool PosLeftTop() const { return FPosLeftTop; }
    int Steps() const { return FSteps; }
    int SubSteps() const { return FSubSteps; }
    const std::string& ValueFormat() const { return FValueFormat; }
    const std::string& ValueFormatLog() const { return FValueFormatLog; }

    void SetColor(TColor Value) { SetField(FColor, Value); }
    void SetPointerColor(TColor Value) { SetField(FPointerColor, Value); }
    // Always stores and notifies.
    void SetDrawLine(bool Value);
    void SetFont(const TFont& Value);
    void SetPosLeftTop(bool Value) { SetField(FPosLeftTop, Value); }
    // Accepted from 1 to 20 only; an accepted value always notifies.
    void SetSteps(int Value);
    // Accepted from 1 to 10 only; an accepted value always notifies.
    void SetSubSteps(int Value);
    void SetValueFormat(const std::string& Value) { SetField(FValueFormat, Value); }
    void SetValueFormatLog(const std::string& Value) { SetField(FValueFormatLog, Value); }

    void FontChange(TObject* Sender);
    void Assign(const TPersistent& Source) override;

    // Builds the label list for the range and measures it; sets PenW1 and Spacing.
    void CalcRSize(TCanvas& can, float ValueFrom, float ValueTo);
    // Draws labels and ticks from AlphaFrom through Alpha degrees clockwise in r; returns in
    // r the rectangle of the tick ring. CalcRSize must have run for the same canvas state.
    void RoundScala(TCanvas& can, TRect& r, int AlphaFrom, int Alpha);

    // Results of CalcRSize and RoundScala, read by the meter (LogScale is set by it).
    bool LogScale = false;
    int LogSteps = 0;
    int sl1 = 14;
    int sl2 = 7;
    TPoint cp;
    int PenW1 = 2;
    int PenW2 = 1;
    int Spacing = 4;
    std::string Text;
    int TextW = 0;
    int TextH = 0;
    std::array<TPoint, 4> LinePos{};
    int exp1 = 0;
    int exp2 = 0;

private:
    TColor FColor = clBlack;
    TColor FPointerColor = RGB(0, 255, 0);
    bool FDrawLine = true;
    TFont FFont;
    bool FPosLeftTop = false;
    int FSteps = 5;
    int FSubSteps = 2;
    std::string FValueFormat = "##0";
    std::string FValueFormatLog = "0e-0";
};
