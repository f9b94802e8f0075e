// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The live tick with the main window's nine displays, and one byte into the write queue,
// through the serial component open on a pseudo-terminal whose other end is drained.
#include <benchmark/benchmark.h>

#include <QTimer>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/Unit1NC.h"
#include "link/Protocol.h"
#include "serial/VaComm.h"
#include "tests/support/PseudoTerminal.h"

namespace {

// Reads and drops whatever the program sends, on a thread of its own.
class DrainedLine {
public:
    DrainedLine()
        : FDrain([this] {
              char sink[4096];
              while (!FStop) {
                  pollfd p{FPty.MasterFd(), POLLIN, 0};
                  if (::poll(&p, 1, 50) > 0 && ::read(FPty.MasterFd(), sink, sizeof sink) <= 0)
                      break;
              }
          })
    {
    }
    ~DrainedLine()
    {
        FStop = true;
        FDrain.join();
    }
    const std::string& SlavePath() const { return FPty.SlavePath(); }

private:
    PseudoTerminal FPty;
    std::atomic<bool> FStop{false};
    std::thread FDrain;
};

// A live reply with the given lambda values (x 1000), warm-up off.
std::vector<std::uint8_t> LiveReply(std::uint16_t raw)
{
    std::vector<std::uint8_t> r{0xC0, 0x11, 0x26};
    for (int channel = 0; channel < 4; ++channel) {
        const auto value = static_cast<std::uint16_t>(raw + 37 * channel);
        r.push_back(static_cast<std::uint8_t>(value >> 8));
        r.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    r.insert(r.end(), {0x00, 0x00, 0x00, 0x00, 0xDC});
    r.push_back(protocol::Checksum(r));
    return r;
}

void LiveTick(benchmark::State& state)
{
    DrainedLine line;
    TForm1 form;
    form.Timer2->stop();  // the benchmark ticks
    TVaComm& comm = form.VaComm();
    comm.SetDeviceName(line.SlavePath());
    comm.SetSyncThreads(false);  // no event loop runs here to take the write thread's reports
    comm.Open();
    const std::vector<std::vector<std::uint8_t>> replies{LiveReply(820), LiveReply(1000), LiveReply(1180),
                                                         LiveReply(950)};
    size_t i = 0;
    for (auto _ : state) {
        // What the received-characters handler leaves behind for the tick (17 bytes).
        const auto& reply = replies[i++ % replies.size()];
        std::copy(reply.begin(), reply.end(), form.Buffers().LiveArray.begin());
        form.Buffers().LiveReceived = static_cast<std::int32_t>(reply.size());
        form.Timer2Timer();
    }
    comm.Close();
}
BENCHMARK(LiveTick)->Unit(benchmark::kMicrosecond);

void WriteCharQueueAppend(benchmark::State& state)
{
    DrainedLine line;
    TVaComm comm(nullptr);
    comm.SetDeviceName(line.SlavePath());
    comm.SetBaudrate(br19200);
    comm.SetSyncThreads(false);
    comm.Open();
    for (auto _ : state)
        benchmark::DoNotOptimize(comm.WriteChar('\x26'));
    comm.Close();
}
BENCHMARK(WriteCharQueueAppend)->Unit(benchmark::kNanosecond);

}  // namespace
