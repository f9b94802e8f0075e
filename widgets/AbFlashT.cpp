// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/AbFlashT.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QCoreApplication>

namespace {

struct FlashClient {
    TGraphicControl* Control;
    std::int64_t Kind;
    bool LastState;
};

// The process-wide flash state: the counter, the registered controls and the timer.
struct FlashState {
    std::uint32_t Tick = 0;
    std::vector<FlashClient> Clients;
    std::unique_ptr<TAbFlashTimer> Timer;
    bool PostRoutineAdded = false;
};

FlashState& State()
{
    static FlashState state;
    return state;
}

bool ApplicationDestroying()
{
    return TAbThread::ApplicationTerminating() || QCoreApplication::closingDown();
}

void OnApplicationShutdown()
{
    TAbThread::SetApplicationTerminating(true);
    ShutdownFlashTimer();
}

}  // namespace

TAbFlashTimer::TAbFlashTimer(TComponent* AOwner) : TAbFlash(AOwner)
{
    SetOnTimer([](TObject*) { FlashTimerTick(); });
}

void TAbFlashTimer::Notification(TComponent* AComponent, TOperation Operation)
{
    TAbFlash::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove)
        return;
    auto& clients = State().Clients;
    std::erase_if(clients, [AComponent](const FlashClient& c) { return static_cast<TComponent*>(c.Control) == AComponent; });
}

void AddFlashControl(TGraphicControl* Control, std::int64_t Kind)
{
    if (!Control)
        return;
    FlashState& s = State();
    const auto it = std::find_if(s.Clients.begin(), s.Clients.end(),
                                 [Control](const FlashClient& c) { return c.Control == Control; });
    if (it != s.Clients.end()) {
        it->Kind = Kind;
    } else {
        s.Clients.push_back({Control, Kind, false});
        if (s.Clients.capacity() - s.Clients.size() < 2)
            s.Clients.reserve(s.Clients.size() + 10);
    }
    if (!s.Clients.empty() && !s.Timer) {
        s.Timer = std::make_unique<TAbFlashTimer>(nullptr);
        if (!s.PostRoutineAdded && QCoreApplication::instance()) {
            // Stop the thread while the user-interface thread can still serve its hand-overs.
            qAddPostRoutine(OnApplicationShutdown);
            s.PostRoutineAdded = true;
        }
    }
    if (s.Timer)
        s.Timer->FreeNotification(Control);
}

void RemoveFlashControl(TGraphicControl* Control)
{
    FlashState& s = State();
    const auto it = std::find_if(s.Clients.begin(), s.Clients.end(),
                                 [Control](const FlashClient& c) { return c.Control == Control; });
    if (it == s.Clients.end())
        return;
    s.Clients.erase(it);
    if (s.Timer && Control)
        s.Timer->RemoveFreeNotification(Control);
    if (s.Clients.empty() && ApplicationDestroying())
        ShutdownFlashTimer();
}

void FlashTimerTick()
{
    FlashState& s = State();
    s.Tick = s.Tick == 0xFFFFFFFFu ? 0 : s.Tick + 1;
    const size_t count = s.Clients.size();
    for (size_t i = 0; i < count; ++i) {
        // A notified control may leave the list (or the application may be ending).
        if (ApplicationDestroying() || i >= s.Clients.size())
            break;
        try {
            FlashClient& client = s.Clients[i];
            const bool bit = client.Kind >= 0 && client.Kind < 32 && ((s.Tick >> client.Kind) & 1u) != 0;
            if (bit != client.LastState) {
                client.LastState = bit;
                client.Control->Perform(WM_FLASH, static_cast<std::intptr_t>(s.Tick), bit ? 1 : 0);
            }
        } catch (...) {
            // One control's failure must not stop the others from blinking.
        }
    }
}

std::uint32_t FlashTick()
{
    return State().Tick;
}

void SetFlashTick(std::uint32_t Value)
{
    State().Tick = Value;
}

int FlashClientCount()
{
    return static_cast<int>(State().Clients.size());
}

bool FlashClientRegistered(const TGraphicControl* Control, std::int64_t* Kind)
{
    for (const FlashClient& c : State().Clients)
        if (c.Control == Control) {
            if (Kind)
                *Kind = c.Kind;
            return true;
        }
    return false;
}

TAbFlashTimer* FlashTimer()
{
    return State().Timer.get();
}

void ShutdownFlashTimer()
{
    State().Timer.reset();
}
