// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/_GClass.h"

void TAbPersistent::Change()
{
    Fire(OnChange, this);
}

void TAbPersistent::ChangeObject(TObject* Sender)
{
    Fire(OnChange, Sender);
}

TRect TAbOffset::SetOffset(const TRect& R) const
{
    return {R.Left + FLeft, R.Top + FTop, R.Right - FRight, R.Bottom - FBottom};
}

void TAbOffset::Write(int Top, int Left, int Right, int Bottom)
{
    FTop = Top;
    FLeft = Left;
    FRight = Right;
    FBottom = Bottom;
}

void TAbOffset::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TAbOffset*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    Write(src->FTop, src->FLeft, src->FRight, src->FBottom);
    Change();
}

void TAbGradSettings::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TAbGradSettings*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    SetColorFrom(src->FColorFrom);
    SetColorTo(src->FColorTo);
    SetVisible(src->FVisible);
    SetStyle(src->FStyle);
    Change();
}

TAbSBevel::TAbSBevel()
    : FOffset(std::make_unique<TAbOffset>()), FSurfaceGrad(std::make_unique<TAbGradSettings>())
{
    FOffset->OnChange = [this](TObject* s) { ParamChange(s); };
    FSurfaceGrad->OnChange = [this](TObject* s) { ParamChange(s); };
    UpdateTotalWidth();
}

void TAbSBevel::ParamChange(TObject*)
{
    Change();
}

void TAbSBevel::SetWidth(int Value)
{
    if (Value < 0)
        return;
    SetField(FWidth, Value);
}

void TAbSBevel::UpdateTotalWidth()
{
    FTotalWidth = FSpacing + FWidth;
    if (FBevelLine == blOuter || FBevelLine == blInner)
        FTotalWidth += 1;
    else if (FBevelLine == blBoth)
        FTotalWidth += 2;
}

void TAbSBevel::Change()
{
    UpdateTotalWidth();
    TAbPersistent::Change();
}

void TAbSBevel::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TAbSBevel*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    SetStyle(src->FStyle);
    SetSpacing(src->FSpacing);
    SetBevelLine(src->FBevelLine);
    SetWidth(src->FWidth);
    SetColor(src->FColor);
    FOffset->Assign(*src->FOffset);
    SetColorShadowFrom(src->FColorShadowFrom);
    SetColorShadowTo(src->FColorShadowTo);
    SetColorHighLightFrom(src->FColorHighLightFrom);
    SetColorHighLightTo(src->FColorHighLightTo);
    SetPenColor(src->FPenColor);
    FSurfaceGrad->Assign(*src->FSurfaceGrad);
    Change();
}

void TAbSBevel::PaintBevelFrame(TCanvas& Canvas, TRect& R, bool Raised, bool Fill, TColor FillColor)
{
    if (Fill) {
        Canvas.Pen().Width = 1;
        Canvas.Pen().Style = psSolid;
        Canvas.Pen().Color = FillColor;
        Canvas.Brush().Color = FillColor;
        Canvas.Brush().Style = bsSolid;
        Canvas.Rectangle(R);
    }
    for (int i = 1; i <= FWidth; ++i) {
        TColor topLeft;
        TColor bottomRight;
        if (Raised) {
            topLeft = ColorMix(FColorHighLightFrom, FColorHighLightTo, FWidth, i);
            bottomRight = ColorMix(FColorShadowFrom, FColorShadowTo, FWidth, i);
        } else {
            topLeft = ColorMix(FColorShadowTo, FColorShadowFrom, FWidth, i);
            bottomRight = ColorMix(FColorHighLightTo, FColorHighLightFrom, FWidth, i);
        }
        Frame3D(Canvas, R, topLeft, bottomRight, 1);
    }
}

void TAbSBevel::PaintFilledBevel(TCanvas& Canvas, TRect& R)
{
    const TRect outer = R;
    const int lineInset = (FBevelLine == blOuter || FBevelLine == blBoth) ? 1 : 0;
    Canvas.Brush().Style = bsSolid;
    Canvas.Pen().Style = psSolid;
    Canvas.Pen().Width = 1;
    Canvas.Pen().Color = FColor;
    Canvas.Brush().Color = FColor;
    Canvas.Rectangle(R);

    TRect surface = R;
    ShrinkRect(surface, FTotalWidth - FSpacing);
    ShrinkRect(R, lineInset);
    PaintBevelFrame(Canvas, R, FStyle == bsRaised, true, FColor);
    if (FSurfaceGrad->Visible())
        DrawGradient(Canvas, surface, FSurfaceGrad->ColorFrom(), FSurfaceGrad->ColorTo(), FSurfaceGrad->Style());

    Canvas.Pen().Color = FPenColor;
    Canvas.Brush().Style = bsClear;
    if (FBevelLine == blInner || FBevelLine == blBoth) {
        Canvas.Rectangle(R);
        ShrinkRect(R, 1);
    }
    if (FBevelLine == blOuter || FBevelLine == blBoth)
        Canvas.Rectangle(outer);
    ShrinkRect(R, FSpacing);
    R = FOffset->SetOffset(R);
}

void TAbBtnBevel::SetWidth(int Value)
{
    if (Value < 0)
        return;
    SetField(FWidth, Value);
}

void TAbBtnBevel::Assign(const TPersistent& Source)
{
    const auto* src = dynamic_cast<const TAbBtnBevel*>(&Source);
    if (!src) {
        TAbPersistent::Assign(Source);
        return;
    }
    SetShadowColFrom(src->FShadowColFrom);
    SetShadowColTo(src->FShadowColTo);
    SetHighlightColFrom(src->FHighlightColFrom);
    SetHighlightColTo(src->FHighlightColTo);
    SetWidth(src->FWidth);
    Change();
}

TAbGraphicControl::TAbGraphicControl(TComponent* AOwner, QWidget* AParent) : TGraphicControl(AOwner, AParent) {}

void TAbGraphicControl::BeginUpdate()
{
    ++FUpdateCount;
}

void TAbGraphicControl::EndUpdate()
{
    FUpdateCount = std::max(0, FUpdateCount - 1);
    if (FUpdateCount == 0)
        RequestParamChange();
}

void TAbGraphicControl::RequestParamChange()
{
    if (FUpdateCount == 0)
        ParamChange(this);
}

void TAbGraphicControl::ParamChange(TObject*) {}
