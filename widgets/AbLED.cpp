// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/AbLED.h"

#include <algorithm>
#include <array>
#include <vector>

#include "widgets/AbFlashT.h"

// ---- TLED ----

void TLED::SetWidth(int Value)
{
    if (Value < kMinSize || Value > kMaxSize)
        return;
    SetField(FWidth, Value);
}

void TLED::SetHeight(int Value)
{
    if (Value < kMinSize || Value > kMaxSize)
        return;
    SetField(FHeight, Value);
}

void TLED::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TLED*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    SetShape(src->FShape);
    SetColorOn(src->FColorOn);
    SetColorOff(src->FColorOff);
    SetWidth(src->FWidth);
    SetHeight(src->FHeight);
}

// ---- layout and drawing ----

TLEDLayout LEDLayout(int ClientWidth, int ClientHeight, int LampWidth, int LampHeight, TLEDShape Shape,
                     TLEDPos Position, int Spacing)
{
    int w = LampWidth;
    int h = LampHeight;
    if (Shape == sRound)  // a round lamp is always a circle
        w = h = std::max(w, h);
    const int cx = ClientWidth / 2;
    const int cy = ClientHeight / 2;
    TLEDLayout l;
    switch (Position) {
    case lpLeft:
        l.Lamp = {0, cy - h / 2, w, cy - h / 2 + h};
        l.Caption = {l.Lamp.Right + Spacing, cy};
        l.Anchor = 3;
        break;
    case lpRight:
        l.Lamp = {ClientWidth - w, cy - h / 2, ClientWidth, cy - h / 2 + h};
        l.Caption = {l.Lamp.Left - Spacing, cy};
        l.Anchor = 5;
        break;
    case lpTop:
        l.Lamp = {cx - w / 2, 0, cx - w / 2 + w, h};
        l.Caption = {cx, l.Lamp.Bottom + Spacing};
        l.Anchor = 1;
        break;
    case lpBottom:
        l.Lamp = {cx - w / 2, ClientHeight - h, cx - w / 2 + w, ClientHeight};
        l.Caption = {cx, l.Lamp.Top - Spacing};
        l.Anchor = 7;
        break;
    }
    return l;
}

void DrawLEDShape(TCanvas& Canvas, const TRect& R, TLEDShape Shape, TColor FrameColor, TColor FillColor)
{
    Canvas.Pen().Width = 1;
    Canvas.Pen().Style = psSolid;
    Canvas.Pen().Color = FrameColor;
    Canvas.Brush().Style = bsSolid;
    Canvas.Brush().Color = FillColor;
    const int w = R.Width();
    const int h = R.Height();
    const int hw = w / 2;
    const int hh = h / 2;
    auto polygon = [&](std::initializer_list<TPoint> pts) {
        const std::vector<TPoint> v(pts);
        Canvas.Polygon(v);
    };
    switch (Shape) {
    case sRound: {
        Canvas.Ellipse(R);
        // The highlight: the upper-left quarter of a smaller ellipse.
        Canvas.Pen().Color = clBtnHighlight;
        Canvas.Pen().Width = w / 8;
        TRect R2 = R;
        ShrinkRect(R2, w / 5);
        Canvas.Arc(R2.Left, R2.Top, R2.Right, R2.Bottom, R.Left + hw, R.Top, R.Left, R.Top + hh);
        break;
    }
    case sArrowLeft: polygon({{R.Left, R.Top + hh}, {R.Right - 1, R.Top}, {R.Right - 1, R.Bottom - 1}}); break;
    case sArrowRight: polygon({{R.Left, R.Top}, {R.Right - 1, R.Top + hh}, {R.Left, R.Bottom - 1}}); break;
    case sArrowUp: polygon({{R.Left + hw, R.Top}, {R.Right - 1, R.Bottom - 1}, {R.Left, R.Bottom - 1}}); break;
    case sArrowDown: polygon({{R.Left, R.Top}, {R.Right - 1, R.Top}, {R.Left + hw, R.Bottom - 1}}); break;
    case sRectangle: Canvas.RoundRect(R.Left, R.Top, R.Right, R.Bottom, 1, 1); break;
    case sDiamondLeft:
        polygon({{R.Left, R.Top}, {R.Left + hw, R.Top}, {R.Right, R.Bottom}, {R.Left + hw, R.Bottom}});
        break;
    case sDiamondRight:
        polygon({{R.Left + hw, R.Top}, {R.Right, R.Top}, {R.Left + hw, R.Bottom}, {R.Left, R.Bottom}});
        break;
    }
}

// ---- TAbLED ----

TAbLED::TAbLED(TComponent* AOwner, QWidget* AParent)
    : TAbBinGControl(AOwner, AParent), FLED(std::make_unique<TLED>())
{
    SetBounds(Left(), Top(), 73, 33);
    SetCaption(Name());
    FLED->OnChange = [this](TObject* s) { ParamChange(s); };
}

TAbLED::~TAbLED()
{
    RemoveFlashControl(this);
}

void TAbLED::SetLED_Position(TLEDPos Value)
{
    if (Value == FLED_Position)
        return;
    FLED_Position = Value;
    ParamChange(this);
}

void TAbLED::SetSpacing(int Value)
{
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    ParamChange(this);
}

void TAbLED::ParamChange(TObject*)
{
    Invalidate();
}

void TAbLED::Paint()
{
    TCanvas& c = Canvas();
    c.Font().Assign(Font());
    const TLEDLayout l =
        LEDLayout(Width(), Height(), FLED->Width(), FLED->Height(), FLED->Shape(), FLED_Position, FSpacing);
    c.Brush().Style = bsClear;
    TextOutLines(c, l.Caption.x, l.Caption.y, l.Anchor, Caption(), 0);
    FLED->Rect = l.Lamp;
    DrawLEDShape(c, l.Lamp, FLED->Shape(), clBtnShadow, Checked() ? FLED->ColorOn() : FLED->ColorOff());
}

void TAbLED::DrawLamp(TColor Fill)
{
    DrawLEDShape(Canvas(), FLED->Rect, FLED->Shape(), clBtnShadow, Fill);
}

void TAbLED::StatusChanged()
{
    if (Shown())
        DrawLamp(Checked() ? FLED->ColorOn() : FLED->ColorOff());
}

void TAbLED::Flash(bool Status)
{
    if (Painting() || !Shown())
        return;
    DrawLamp(Status ? FLED->ColorOn() : FLED->ColorOff());
}
