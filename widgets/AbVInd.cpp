// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/AbVInd.h"

#include <algorithm>

#include "platform/framework/FormatFloat.h"
#include "widgets/AbFlashT.h"

using enum TValueIndOption;

TSize ValueIndMinSize(const TValueIndParts& P, TValueIndOptions Options)
{
    const int Bo = Options.Contains(opBevelOuter) ? 2 * P.OuterBevel : 0;
    const int Bi = Options.Contains(opBevelInner) ? 2 * P.InnerBevel : 0;
    int h = Bo + Bi + P.Value.cy + 2 * P.ValueBevel;
    int w = std::max(Bo, Bo + Bi + P.Value.cx + P.Unit.cx + 2 * P.ValueBevel + P.Value.cy);
    if (Options.Contains(opName1)) {
        h += P.Name1.cy;
        w = std::max(w, Bo + P.Name1.cx);
    }
    if (Options.Contains(opName2)) {
        h += P.Name2.cy;
        w = std::max(w, Bo + P.Name2.cx);
    }
    return {w, h};
}

TRect ValueIndValueBox(const TRect& R, const TValueIndParts& P)
{
    const int c = P.Value.cy / 3;
    const int left = R.Left + (R.Width() - P.Value.cx - P.Unit.cx - c) / 2 - c;
    return {left, R.Top, left + P.Value.cx + 2 * P.ValueBevel + 2 * c, R.Top + 2 * P.ValueBevel + P.Value.cy};
}

std::string FitValueText(std::string_view Pattern, double Value, int Width,
                         const std::function<int(const std::string&)>& TextWidth)
{
    std::string pattern(Pattern);
    for (;;) {
        std::string text = FormatFloat(pattern, Value);
        if (TextWidth(text) <= Width)
            return text;
        std::string fewer = DropDecimal(pattern);
        if (fewer == pattern)
            return {};
        pattern = std::move(fewer);
    }
}

TAbValueInd::TAbValueInd(TComponent* AOwner, QWidget* AParent)
    : TAbAnalogGControl(AOwner, AParent),
      FBevelInner(std::make_unique<TAbSBevel>()),
      FBevelOuter(std::make_unique<TAbSBevel>()),
      FBevelValue(std::make_unique<TAbSBevel>())
{
    BeginUpdate();
    SetBounds(Left(), Top(), 67, 48);
    FBevelInner->SetStyle(bsLowered);
    FBevelInner->SetBevelLine(blInner);
    FBevelOuter->SetStyle(bsRaised);
    FBevelOuter->SetBevelLine(blOuter);
    FBevelValue->SetStyle(bsLowered);
    FBevelValue->SetSpacing(0);
    FBevelValue->SetBevelLine(blNone);
    FBevelValue->SetColor(clBlack);
    FFontValue.SetName("System");
    FFontValue.SetSize(10);
    FFontValue.SetColor(clLime);
    if (Designing())
        Loaded();
}

TAbValueInd::~TAbValueInd()
{
    FFontValue.OnChange = nullptr;
    RemoveFlashControl(this);
}

void TAbValueInd::Loaded()
{
    TAbAnalogGControl::Loaded();
    const auto changed = [this](TObject* s) { ParamChange(s); };
    FFontValue.OnChange = changed;
    FBevelInner->OnChange = changed;
    FBevelOuter->OnChange = changed;
    FBevelValue->OnChange = changed;
    EndUpdate();
}

void TAbValueInd::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    RequestParamChange();
}

void TAbValueInd::SetOptions(TValueIndOptions Value)
{
    FOptions = Value;
    RequestParamChange();
}

void TAbValueInd::SetFontValue(const TFont& Value)
{
    FFontValue.Assign(Value);
    RequestParamChange();
}

void TAbValueInd::ParamChange(TObject* Sender)
{
    TAbAnalogGControl::ParamChange(Sender);
    Invalidate();
}

void TAbValueInd::OverflowChanged(int) {}

void TAbValueInd::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_FLASH)  // the indicator never blinks
        return;
    TAbAnalogGControl::WndProc(Message);
}

void TAbValueInd::CalcSize()
{
    TCanvas& c = Canvas();
    const TSignalSettings& s = SignalSettings();
    c.Font().Assign(Font());
    FParts.Name1 = c.TextExtent(s.Name1());
    FParts.Name2 = c.TextExtent(s.Name2());
    c.Font().Assign(FFontValue);
    FParts.Value = c.TextExtent(s.ValueSizeStr());
    FParts.Unit = c.TextExtent(s.ValueUnit());
    if (!FOptions.Contains(opUnit))
        FParts.Unit.cx = 0;
    FParts.OuterBevel = FBevelOuter->TotalWidth();
    FParts.InnerBevel = FBevelInner->TotalWidth();
    FParts.ValueBevel = FBevelValue->TotalWidth();

    const TSize min = ValueIndMinSize(FParts, FOptions);
    min_w = min.cx;
    min_h = min.cy;
    if (FAutoSize) {
        if (Width() != min_w || Height() != min_h)
            SetBounds(Left(), Top(), min_w, min_h);
    } else if (min_w > Width() || min_h > Height()) {
        SetBounds(Left(), Top(), std::max(Width(), min_w), std::max(Height(), min_h));
    }
}

void TAbValueInd::Paint()
{
    CalcSize();
    TCanvas& c = Canvas();
    TRect R = ClientRect();
    int a = 0;
    if (FOptions.Contains(opBevelOuter)) {
        FBevelOuter->PaintFilledBevel(c, R);
        a = FBevelOuter->Spacing() / 2;
    }
    c.Brush().Style = bsClear;
    c.Font().Assign(Font());
    auto name = [&](const std::string& text, TSize size) {
        R.Bottom -= size.cy;
        c.TextOut(R.Left + (R.Width() - size.cx) / 2, R.Bottom + a, text);
    };
    if (FOptions.Contains(opName2))
        name(SignalSettings().Name2(), FParts.Name2);
    if (FOptions.Contains(opName1))
        name(SignalSettings().Name1(), FParts.Name1);
    if (FOptions.Contains(opBevelInner))
        FBevelInner->PaintFilledBevel(c, R);

    c.Font().Assign(FFontValue);
    const int gap = FParts.Value.cy / 3;
    rValue = ValueIndValueBox(R, FParts);
    FBevelValue->PaintFilledBevel(c, rValue);
    // The unit has the digits' typeface in the names' colour.
    c.Font().SetColor(Font().Color());
    c.Brush().Style = bsClear;
    if (FOptions.Contains(opUnit))
        c.TextOut(rValue.Right + gap, rValue.Top, SignalSettings().ValueUnit());
    rValue.Left += gap;
    rValue.Right -= gap;
    FShownValue.reset();
    ValueChanged();
}

void TAbValueInd::ValueChanged()
{
    TAbAnalogGControl::ValueChanged();
    if (!(Visible() || Designing()) || rValue.IsEmpty())
        return;
    FBox.Cover(Canvas(), rValue);
    TCanvas& b = FBox.Canvas();
    b.Font().Assign(FFontValue);
    TShownValue shown{Designing() ? SignalSettings().ValueSizeStr()
                                  : FitValueText(SignalSettings().ValueFormat(), Value(), FBox.Width(),
                                                 [&b](const std::string& t) { return b.TextWidth(t); }),
                      rValue};
    // Font and bevel changes repaint the whole control; until then the same text is the same
    // pixels.
    if (shown == FShownValue)
        return;
    b.Brush().Style = bsSolid;
    b.Brush().Color = FBevelValue->Color();
    b.FillRect({0, 0, rValue.Width(), rValue.Height()});
    b.Brush().Style = bsClear;
    b.TextOut(FBox.Width() - b.TextWidth(shown.Text), 0, shown.Text);
    Canvas().Draw(rValue.Left, rValue.Top, FBox);
    FShownValue = std::move(shown);
}
