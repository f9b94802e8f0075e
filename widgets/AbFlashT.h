// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "platform/framework/GraphicControl.h"
#include "widgets/_AbFlash.h"

// The message a registered control receives when its flash bit flips: WParam the tick
// counter, LParam the bit's new value (0 or 1).
inline constexpr unsigned WM_FLASH = WM_USER + 100;

// The one flash timer of the process: its thread ticks every 16 ms and each tick, on the
// user-interface thread, advances FlashTick and messages every registered control whose bit
// Kind of the counter has flipped. Controls on the same bit therefore blink in phase.
class TAbFlashTimer : public TAbFlash {
public:
    explicit TAbFlashTimer(TComponent* AOwner);
    std::string ClassName() const override { return "TAbFlashTimer"; }

protected:
    // A registered control that is freed leaves the client list.
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

// Registers Control for bit Kind of the tick counter (a registered control keeps its last
// state and takes the new kind); creates the timer on first use. A null control is ignored.
void AddFlashControl(TGraphicControl* Control, std::int64_t Kind);
// Removes Control's record, if any.
void RemoveFlashControl(TGraphicControl* Control);

// The flash timer's tick handler: advance the counter, message the controls whose bit flipped.
void FlashTimerTick();

std::uint32_t FlashTick();
void SetFlashTick(std::uint32_t Value);
int FlashClientCount();
bool FlashClientRegistered(const TGraphicControl* Control, std::int64_t* Kind = nullptr);
TAbFlashTimer* FlashTimer();
// Stops and frees the timer (run when the application shuts down).
void ShutdownFlashTimer();
