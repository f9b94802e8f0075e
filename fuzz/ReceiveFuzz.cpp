// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The receive path under arbitrary input: byte chunks as the serial component delivers
// them, live ticks, the configuration read's steps, the window closing and the mode switch,
// in any order, through the real serial component on a pseudo-terminal. Besides what the
// sanitizers catch, a shown or logged reading must come from a whole live reply.
//
// Input: a sequence of operations, one byte each, chunks followed by a length byte and the
// bytes themselves.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "config/ConfigSequence.h"
#include "link/LivePoll.h"
#include "serial/VaComm.h"

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "receive fuzz: %s\n", what);
        std::abort();
    }
}

// The controller's end of a pseudo-terminal and the program's serial component on the
// other, open for the whole run. The component's threads deliver nothing themselves: the
// fuzzer calls the handlers, so every run sees its chunks exactly as given.
struct Line {
    int master = -1;
    TVaComm comm{nullptr};

    Line()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        Require(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0, "no pseudo-terminal");
        comm.SetDeviceName(ptsname(master));
        comm.SetBaudrate(br19200);
        comm.SetMonitorEvents({});
        comm.SetSyncThreads(false);
        comm.Open();
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    }

    // Closed before it goes: its threads call into it on their own.
    ~Line() { comm.Close(); }

    // What the program sent; the controller side just drops it.
    void Drain()
    {
        std::uint8_t sink[512];
        while (::read(master, sink, sizeof sink) > 0) {
        }
    }

    // Sends bytes as the controller and waits until the component can read all of them.
    void Send(const std::uint8_t* data, size_t size)
    {
        for (size_t done = 0; done < size;) {
            const ssize_t n = ::write(master, data + done, size - done);
            if (n > 0)
                done += static_cast<size_t>(n);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (comm.ReadBufUsed() < static_cast<std::int32_t>(size))
            Require(std::chrono::steady_clock::now() < deadline, "sent bytes never arrived");
    }
};

struct Program : ILiveDisplays, IConfigFields, IConfigHost {
    explicit Program(TReceiveBuffers& b) : buffers(b) {}

    TReceiveBuffers& buffers;
    bool online = true;
    bool timer1 = false;
    std::array<float, 4> meters{};

    bool OnlineButtonChecked() const override { return online; }
    void SetMeterValue(int channel, float value) override
    {
        Require(channel >= 1 && channel <= 4 && std::isfinite(value) && value >= 0 && value <= 65.535f,
                "meter value out of range");
        meters[static_cast<size_t>(channel - 1)] = value;
    }
    float MeterValue(int channel) const override { return meters.at(static_cast<size_t>(channel - 1)); }
    void SetReadoutValue(int channel, float value) override
    {
        Require(value == MeterValue(channel), "readout differs from its meter");
    }
    void SetVoltsValue(float value) override { Require(value >= 0 && value < 16.1f, "supply voltage out of range"); }
    void SetOnlineLed(bool) override {}
    void SetWarmupLed(bool) override {}
    bool Logging() const override { return true; }
    void AppendLogLine(const std::array<float, 4>& values, TDateTime) override
    {
        Require(values == meters, "logged values differ from the meters");
        Require(buffers.LiveArray[0] == 0xC0 && buffers.LiveArray[1] == 17 && buffers.LiveArray[2] == 0x26,
                "logged a reading that is not a live reply");
    }

    void SetCalibration(int channel, double value) override
    {
        Require(channel >= 1 && channel <= 4 && value >= 0 && value <= 65535, "calibration out of range");
    }
    void SetSerialNumber(int channel, const QString& text) override
    {
        Require(channel >= 1 && channel <= 4 && text.size() <= 5, "serial number too long");
    }
    void SetCanAddress(double) override {}
    void SetSlaveCanAddress(double) override {}
    void SetVersionCaption(const QString& text) override { Require(text.startsWith('V'), "version caption"); }
    // As the main window: live polling that resumes starts with nothing received.
    void SetOnlineButtonChecked(bool checked) override
    {
        if (checked && !online)
            poll->StartOver();
        online = checked;
    }
    void SetTimer1Enabled(bool enabled) override { timer1 = enabled; }
    void TakeInWaiting() override { poll->TakeInWaiting(); }

    TLivePoll* poll = nullptr;
};

Line* line = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    static Line theLine;
    line = &theLine;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    TReceiveBuffers buffers;
    Program program(buffers);
    TLivePoll poll(line->comm, buffers, program);
    program.poll = &poll;
    TConfigSequence sequence(line->comm, buffers, program, program);

    for (size_t i = 0; i < size;) {
        const std::uint8_t op = data[i++];
        switch (op & 7) {
        case 0:
        case 1:
            poll.Timer2Timer(nullptr);
            break;
        case 2:
        case 3: {
            size_t length = 0;
            if (i < size) {
                length = data[i++];
                length = std::min(length, size - i);
            }
            line->Send(data + i, length);
            i += length;
            poll.VaComm1RxChar(nullptr, static_cast<std::int32_t>(length));
            break;
        }
        case 4:
            if (!sequence.Running())
                sequence.Start();
            break;
        case 5:
            if (program.timer1)
                sequence.Timer1Timer();
            break;
        case 6:
            sequence.WindowClosed();
            break;
        case 7:
            program.SetOnlineButtonChecked(!program.online);
            break;
        }
        Require(buffers.RxIndex >= 0 && buffers.RxIndex <= TReceiveBuffers::kSensorSize + 1, "receive index escaped");
        line->Drain();
    }
    return 0;
}
