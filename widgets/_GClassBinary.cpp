// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/_GClassBinary.h"

#include "widgets/AbFlashT.h"

namespace {
// Set while a status word is handed round a group, so the members' own updates do not
// start the round again. User-interface thread only.
bool GroupSyncing = false;

std::int32_t ToSigned(std::uint32_t v)
{
    return static_cast<std::int32_t>(v);
}
}  // namespace

TAbBinGControl::TAbBinGControl(TComponent* AOwner, QWidget* AParent) : TGraphicControl(AOwner, AParent) {}

TAbBinGControl::~TAbBinGControl()
{
    RemoveFlashControl(this);
}

void TAbBinGControl::NotifyStatus()
{
    StatusChanged();
    Fire(OnStatusChanged, this);
}

void TAbBinGControl::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value && FFlashing)
        AddFlashControl(this, FFrequency + 2);
    else
        RemoveFlashControl(this);
    const auto status = static_cast<std::uint32_t>(FStatusInt);
    if (Value)
        SetStatusInt(FMode == mRadioButton ? ToSigned(BitMask()) : ToSigned(status | BitMask()));
    else if (FMode != mRadioButton)
        SetStatusInt(ToSigned(status & ~BitMask()));
    NotifyStatus();
}

void TAbBinGControl::SetStatusInt(std::int32_t Value)
{
    if (Value == FStatusInt)
        return;
    FStatusInt = Value;
    const auto bits = static_cast<std::uint32_t>(Value);
    SetChecked((bits & BitMask()) != 0);
    FFirstCheckedBit = 32;
    for (int i = 0; i < 32; ++i)
        if (bits & (std::uint32_t{1} << i)) {
            FFirstCheckedBit = i;
            break;
        }
    StatusIntChanged();
    Fire(OnStatusIntChanged, this);

    if (FGroupIndex != 0 && !GroupSyncing && Owner()) {
        GroupSyncing = true;
        try {
            TComponent* owner = Owner();
            for (int i = 0; i < owner->ComponentCount(); ++i) {
                auto* other = dynamic_cast<TAbBinGControl*>(owner->Components(i));
                if (other && other->FGroupIndex == FGroupIndex)
                    other->SetStatusInt(FStatusInt);
            }
        } catch (...) {
            GroupSyncing = false;
            throw;
        }
        GroupSyncing = false;
    }
}

void TAbBinGControl::SetStatusBit(int Value)
{
    if (Value == FStatusBit || Value < 0 || Value >= 32)
        return;
    FStatusBit = Value;
    SetChecked((static_cast<std::uint32_t>(FStatusInt) & BitMask()) != 0);
}

void TAbBinGControl::SetMode(TMode Value)
{
    FMode = Value;
    if (Value == mButton)
        SetStatusInt(0);
    else if (Value == mRadioButton)
        SetStatusInt(1);
}

void TAbBinGControl::SetGroupIndex(int Value)
{
    if (Value == FGroupIndex || Value < 0)
        return;
    FGroupIndex = Value;
    if (Value != 0 && Owner()) {
        TComponent* owner = Owner();
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            auto* other = dynamic_cast<TAbBinGControl*>(owner->Components(i));
            if (other && other->FGroupIndex == Value) {
                SetStatusInt(other->FStatusInt);
                break;
            }
        }
    }
    GroupIndexChanged();
}

void TAbBinGControl::SetFrequency(TFlashFreq Value)
{
    FFrequency = Value;
    if (FChecked && FFlashing)
        AddFlashControl(this, Value + 2);
}

void TAbBinGControl::SetFlashing(bool Value)
{
    if (Value == FFlashing)
        return;
    FFlashing = Value;
    if (FChecked && Value)
        AddFlashControl(this, FFrequency + 2);
    else
        RemoveFlashControl(this);
    NotifyStatus();
}

void TAbBinGControl::ParamChange(TObject*) {}

void TAbBinGControl::Flash(bool) {}

void TAbBinGControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_FLASH) {
        Flash(Message.LParam != 0);
        return;
    }
    if (Message.Msg == CM_TEXTCHANGED) {
        ParamChange(this);
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TAbBinGControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FMouseIsDown = true;
    switch (FMode) {
    case mButton: SetChecked(true); break;
    case mSwitch: SetChecked(!FChecked); break;
    case mRadioButton: SetStatusInt(ToSigned(BitMask())); break;
    case mIndicator: break;
    }
}

void TAbBinGControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || FMode == mIndicator)
        return;
    FMouseIsDown = false;
    if (FMode == mButton)
        SetChecked(false);
    StatusChanged();
}
