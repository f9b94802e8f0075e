// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>

#include "platform/framework/Thread.h"
#include "serial/VaObjects.h"

class TVaCustomComm;

// Watches for received bytes on behalf of WaitChar: ends as soon as a byte is waiting, or
// when Done is set (also before it began). WaitChar owns it and waits for its end, so it
// stays valid for as long as WaitChar refers to it.
class TWaitThread : public TThread {
public:
    TWaitThread(TVaCustomComm* AComm, int Device);
    ~TWaitThread() override;

    TVaCustomComm* Comm() const { return FComm; }
    bool Done() const { return FDone.load(); }
    void SetDone(bool Value) { FDone.store(Value); }
    // Set when the thread saw a byte waiting.
    bool Found() const { return FFound.load(); }
    // Signalled when the thread ends.
    TVaWaitEvent& Ended() { return FEnded; }

    // How long one look at the device waits before Done is checked again.
    static constexpr int kSliceMs = 10;

protected:
    void Execute() override;

private:
    TVaCustomComm* FComm;
    int FDevice;
    std::atomic<bool> FDone{false};
    std::atomic<bool> FFound{false};
    TVaWaitEvent FEnded;
};
