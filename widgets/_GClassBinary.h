// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "platform/framework/GraphicControl.h"

enum TFlashFreq { ff8Hz, ff4Hz, ff2Hz, ff1Hz, ff05Hz };
enum TMode { mButton, mSwitch, mIndicator, mRadioButton };

// An on/off control: Checked mirrors bit StatusBit of the status word StatusInt, controls
// with the same GroupIndex on one owner share their status word, the mouse acts by Mode,
// and a checked control blinks while Flashing (driven by the flash timer).
class TAbBinGControl : public TGraphicControl {
public:
    explicit TAbBinGControl(TComponent* AOwner, QWidget* AParent = nullptr);
    ~TAbBinGControl() override;
    std::string ClassName() const override { return "TAbBinGControl"; }

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TFlashFreq Frequency() const { return FFrequency; }
    void SetFrequency(TFlashFreq Value);
    bool Flashing() const { return FFlashing; }
    void SetFlashing(bool Value);
    std::int32_t StatusInt() const { return FStatusInt; }
    void SetStatusInt(std::int32_t Value);
    int StatusBit() const { return FStatusBit; }
    // Accepts 0..31.
    void SetStatusBit(int Value);
    int GroupIndex() const { return FGroupIndex; }
    // Accepts 0 and above; a group takes over the status word of its first member.
    void SetGroupIndex(int Value);
    TMode Mode() const { return FMode; }
    void SetMode(TMode Value);

    bool MouseIsDown() const { return FMouseIsDown; }
    // Lowest set bit of StatusInt; 32 when it is 0.
    int FirstCheckedBit() const { return FFirstCheckedBit; }

    TNotifyEvent OnStatusChanged;
    TNotifyEvent OnStatusIntChanged;

    virtual void ParamChange(TObject* Sender);

protected:
    virtual void StatusChanged() {}
    virtual void GroupIndexChanged() {}
    virtual void StatusIntChanged() {}
    virtual void Flash(bool Status);

    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    std::uint32_t BitMask() const { return std::uint32_t{1} << FStatusBit; }
    void NotifyStatus();

    bool FChecked = false;
    TFlashFreq FFrequency = ff1Hz;
    bool FFlashing = false;
    std::int32_t FStatusInt = 0;
    int FStatusBit = 0;
    int FGroupIndex = 0;
    TMode FMode = mIndicator;
    bool FMouseIsDown = false;
    int FFirstCheckedBit = 32;
};
