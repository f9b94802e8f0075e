// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/_GClassScale.h"

#include <cstdlib>

#include "platform/framework/FormatFloat.h"

int StepDivisor(int n, int a)
{
    if (a == 0)
        return 1;
    for (int b = std::max(n, 1); b >= 2; --b)
        if (a % b == 0)
            return b;
    return 1;
}

TRoundScaleGeometry RoundScaleGeometry(const TRect& r, int Alpha, int n, int SubSteps, bool LogScale,
                                       int TextW, int TextH, int PenW1, int Spacing)
{
    TRoundScaleGeometry g;
    n = std::max(n, 1);
    SubSteps = std::max(SubSteps, 1);
    g.cx = RectCenter(r).x;
    const int width = r.Right - r.Left;
    g.Radius = (width - 2 * Spacing) / 2 - TextW / 2 + Spacing;
    g.sl1 = g.Radius / 8;
    g.sl2 = PenW1 == 1 ? g.sl1 / 2 : Round(g.sl1 / 1.4L);
    g.cy = r.Top + g.Radius + TextH / 2;
    const int h = TextW / 2;
    const int p = PenW1 / 2;
    g.Ring = {g.cx - g.Radius + h + p, g.cy - g.Radius + h + p, g.cx + g.Radius - h + p - 1,
              g.cy + g.Radius - h + p - 1};
    g.SubAngle = static_cast<float>(static_cast<long double>(Alpha) / (SubSteps * n));
    g.StepAngle = static_cast<float>(SubSteps * static_cast<long double>(g.SubAngle));
    const int top = g.cy - g.Radius;
    g.Reference = {TPoint{g.cx, top + Spacing}, TPoint{g.cx, top + Spacing + g.sl1},
                   TPoint{g.cx, top + Spacing + g.sl1 - g.sl2}, TPoint{g.cx, top}};

    const float tenths = static_cast<float>(10.0L / SubSteps);
    for (int i = 0; i < n; ++i) {
        const long double base = static_cast<long double>(i) * g.StepAngle;
        g.MajorAngles.push_back(static_cast<float>(base));
        std::vector<int> minors;
        for (int j = 1; j < SubSteps; ++j) {
            if (LogScale)
                minors.push_back(Round(Log10(j * static_cast<long double>(tenths)) * g.StepAngle + base));
            else
                minors.push_back(Round(base + j * static_cast<long double>(g.SubAngle)));
        }
        g.MinorAngles.push_back(std::move(minors));
    }
    g.MajorAngles.push_back(static_cast<float>(Alpha));
    return g;
}

TScaleSettings::TScaleSettings()
{
    FFont.SetName("Arial");
    FFont.SetSize(14);
    FFont.SetColor(clBlack);
    FFont.OnChange = [this](TObject* s) { FontChange(s); };
}

void TScaleSettings::SetDrawLine(bool Value)
{
    FDrawLine = Value;
    Change();
}

void TScaleSettings::SetFont(const TFont& Value)
{
    FFont.Assign(Value);
    Change();
}

void TScaleSettings::SetSteps(int Value)
{
    if (Value < 1 || Value > 20)
        return;
    FSteps = Value;
    Change();
}

void TScaleSettings::SetSubSteps(int Value)
{
    if (Value < 1 || Value > 10)
        return;
    FSubSteps = Value;
    Change();
}

void TScaleSettings::FontChange(TObject*)
{
    Change();
}

void TScaleSettings::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TScaleSettings*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    SetColor(src->FColor);
    SetPointerColor(src->FPointerColor);
    SetDrawLine(src->FDrawLine);
    SetFont(src->FFont);
    SetPosLeftTop(src->FPosLeftTop);
    SetSteps(src->FSteps);
    SetSubSteps(src->FSubSteps);
    SetValueFormat(src->FValueFormat);
    SetValueFormatLog(src->FValueFormatLog);
}

void TScaleSettings::CalcRSize(TCanvas& can, float ValueFrom, float ValueTo)
{
    can.Font().Assign(FFont);
    can.Pen().Color = FColor;
    Text.clear();
    if (!LogScale) {
        const float d = static_cast<float>((static_cast<long double>(ValueFrom) - ValueTo) / FSteps);
        for (int i = 0; i <= FSteps; ++i)
            Text += FormatFloat(FValueFormat, static_cast<double>(ValueTo + static_cast<long double>(FSteps - i) * d)) + ";";
    } else {
        exp1 = Round(Log10(ValueFrom));
        exp2 = Round(Log10(ValueTo));
        LogSteps = StepDivisor(FSteps, exp2 - exp1);
        const int s = (exp2 - exp1) / LogSteps;
        int e = exp1;
        Text += FormatFloat(FValueFormatLog, static_cast<double>(Power(10.0L, e))) + ";";
        // A range that does not ascend by whole decades has just the one label.
        while (s > 0 && e < exp2) {
            e += s;
            Text += FormatFloat(FValueFormatLog, static_cast<double>(Power(10.0L, e))) + ";";
        }
    }
    const TSize size = MeasureList(can, Text);
    TextW = size.cx;
    TextH = size.cy;
    PenW1 = Round(TextH / 14.0L);
    Spacing = (TextW < TextH ? TextH / 2 : TextW / 2) + 1;
}

void TScaleSettings::RoundScala(TCanvas& can, TRect& r, int AlphaFrom, int Alpha)
{
    can.Font().Assign(FFont);
    can.Pen().Color = FColor;
    can.Brush().Style = bsClear;
    const int n = LogScale ? LogSteps : FSteps;
    const TRoundScaleGeometry g = RoundScaleGeometry(r, Alpha, n, FSubSteps, LogScale, TextW, TextH, PenW1, Spacing);
    sl1 = g.sl1;
    sl2 = g.sl2;
    cp = {g.cx, g.cy};

    std::array<TPoint, 4> P{};
    for (size_t k = 0; k < P.size(); ++k)
        P[k] = RotatePoint(g.Reference[k], cp, true, static_cast<float>(AlphaFrom));
    auto turn = [&](TPoint p, float angle) { return RotatePoint(p, cp, true, angle); };
    auto line = [&](TPoint a, TPoint b) {
        can.MoveTo(a.x, a.y);
        can.LineTo(b.x, b.y);
    };

    std::string labels = Text;
    const int intervals = static_cast<int>(g.MinorAngles.size());
    for (int i = 0; i < intervals; ++i) {
        const float angle = g.MajorAngles[static_cast<size_t>(i)];
        const TPoint A = turn(P[0], angle);
        const TPoint B = turn(P[1], angle);
        const TPoint L = turn(P[3], angle);
        can.Pen().Width = PenW1;
        TextOutAnchored(can, L.x, L.y, 4, NextToken(labels, ';'));
        line(A, B);
        can.Pen().Width = 1;
        for (const int minor : g.MinorAngles[static_cast<size_t>(i)])
            line(turn(P[1], static_cast<float>(minor)), turn(P[2], static_cast<float>(minor)));
    }
    const TPoint A = turn(P[0], static_cast<float>(Alpha));
    const TPoint B = turn(P[1], static_cast<float>(Alpha));
    const TPoint L = turn(P[3], static_cast<float>(Alpha));
    if (Alpha != 360)  // on a full circle the last label would cover the first
        TextOutAnchored(can, L.x, L.y, 4, NextToken(labels, ';'));
    can.Pen().Width = PenW1;
    line(A, B);

    const TRect& ring = g.Ring;
    LinePos = {TPoint{ring.Left + sl1, ring.Top + sl1}, TPoint{ring.Right - sl1, ring.Bottom - sl1 + 1}, B, P[0]};
    r = ring;
    if (PenW1 == 1) {
        ++r.Left;
        ++r.Top;
    }
}
