// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/_AbFlash.h"

#include <chrono>

#include "platform/framework/ApplicationErrors.h"

namespace {
std::atomic<bool> gApplicationTerminating{false};
}

void TAbThread::SetApplicationTerminating(bool Value)
{
    gApplicationTerminating.store(Value);
}

bool TAbThread::ApplicationTerminating()
{
    return gApplicationTerminating.load();
}

TTimerThread::TTimerThread(TAbFlash* Owner) : tOwner(Owner) {}

TTimerThread::~TTimerThread()
{
    Stop();
    WaitFor();
}

void TTimerThread::Suspend()
{
    std::lock_guard lock(FMutex);
    FSuspended = true;
}

void TTimerThread::Resume()
{
    {
        std::lock_guard lock(FMutex);
        FSuspended = false;
    }
    FWake.notify_all();
    Start();
}

bool TTimerThread::Suspended() const
{
    std::lock_guard lock(FMutex);
    return FSuspended;
}

void TTimerThread::Stop()
{
    {
        std::lock_guard lock(FMutex);
        Terminate();
    }
    FWake.notify_all();
}

bool TTimerThread::MustStop() const
{
    return Terminated() || ApplicationTerminating() || tOwner.load() == nullptr;
}

void TTimerThread::Execute()
{
    for (;;) {
        {
            std::unique_lock lock(FMutex);
            FWake.wait(lock, [this] { return !FSuspended || MustStop(); });
            if (MustStop())
                return;
            FWake.wait_for(lock, std::chrono::milliseconds(tInterval.load()), [this] { return MustStop(); });
            if (MustStop())
                return;
            if (FSuspended)
                continue;
        }
        // The owner is looked up on the user-interface thread: an owner that is going away
        // clears it before it waits for this thread.
        Synchronize([this] {
            if (TAbFlash* owner = tOwner.load())
                GuardedCall([owner] { owner->Timer(); });
        });
        if (MustStop())
            return;
    }
}

TAbFlash::TAbFlash(TComponent* AOwner) : TComponent(AOwner), FTimerThread(std::make_unique<TTimerThread>(this)) {}

TAbFlash::~TAbFlash()
{
    FEnabled = false;
    FOnTimer = nullptr;
    FTimerThread->tOwner.store(nullptr);
    FTimerThread->Stop();
    FTimerThread->WaitFor();
    FTimerThread.reset();
}

void TAbFlash::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TAbFlash::SetInterval(unsigned Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TAbFlash::SetThreadPriority(TThreadPriority Value)
{
    if (Value == FThreadPriority)
        return;
    FThreadPriority = Value;
    UpdateTimer();
}

void TAbFlash::SetOnTimer(TNotifyEvent Value)
{
    const bool wasAssigned = static_cast<bool>(FOnTimer);
    FOnTimer = std::move(Value);
    if (wasAssigned != static_cast<bool>(FOnTimer))
        UpdateTimer();
}

void TAbFlash::Timer()
{
    if (FEnabled && !Destroying() && FOnTimer)
        FOnTimer(this);
}

void TAbFlash::UpdateTimer()
{
    if (!FTimerThread->Suspended())
        FTimerThread->Suspend();
    FTimerThread->tInterval.store(FInterval);
    if (FInterval != 0 && FEnabled && FOnTimer) {
        FTimerThread->SetPriority(FThreadPriority);
        FTimerThread->Resume();
    }
}
