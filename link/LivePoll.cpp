// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/LivePoll.h"

#include <span>

#include "link/Protocol.h"
#include "link/Sendbyte.h"
#include "serial/VaComm.h"

namespace {

constexpr int kReplySize = 17;
constexpr int kWarmupPosition = 13;
constexpr int kVoltsPosition = 16;

}  // namespace

TLivePoll::TLivePoll(TVaCustomComm& comm, TReceiveBuffers& buffers, ILiveDisplays& displays)
    : FComm(comm), FBuffers(buffers), FDisplays(displays)
{
}

void TLivePoll::VaComm1RxChar(TObject*, std::int32_t)
{
    const std::string text = FComm.ReadText();
    const auto kept = std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                std::min<size_t>(text.size(), kMaxChunk));
    FBuffers.Store(kept, FDisplays.OnlineButtonChecked());
    FDisplays.SetOnlineLed(true);
    FBuffers.NoDataCount = 1;
}

void TLivePoll::Timer2Timer(TObject*)
{
    if (!FDisplays.OnlineButtonChecked()) {
        FDisplays.SetOnlineLed(false);
        return;
    }
    if (!FComm.Active())
        return;

    // An answer still waiting for its delivery belongs to the previous request: take it in
    // before the index starts over, or it and the next answer would both be lost.
    TakeInWaiting();

    FBuffers.RxIndex = 1;
    if (++FBuffers.NoDataCount > kNoDataTicks) {
        FBuffers.NoDataCount = 2;
        FDisplays.SetOnlineLed(false);
    }
    protocol::SendFrame(FComm, protocol::LiveRequest);

    // LiveArray holds what came since the previous tick: the answer to its request. Only a
    // whole new reply is shown; an old one is never shown (or logged) again.
    const bool fresh = FBuffers.LiveReceived >= kReplySize;
    FBuffers.LiveReceived = 0;
    if (fresh && LiveReplyValid(FBuffers))
        DecodeLiveReply();
}

void TLivePoll::TakeInWaiting()
{
    // The delivery of these bytes then finds nothing left.
    if (FComm.ReadBufUsed() > 0)
        VaComm1RxChar(nullptr, 0);
}

void TLivePoll::StartOver()
{
    FBuffers.RxIndex = 0;
    FBuffers.LiveReceived = 0;
}

bool LiveReplyValid(const TReceiveBuffers& buffers)
{
    const auto reply = std::span(buffers.LiveArray).first(kReplySize);
    // A plain sum cannot tell a whole reply from the pieces of two replies that a tick fell
    // between (the end of one, then the start of the next, pass it together): the reply must
    // also begin the buffer.
    return reply[0] == protocol::kStartByte && reply[1] == kReplySize && reply[2] == protocol::kCmdLiveData &&
           protocol::Checksum(reply.first(kReplySize - 1)) == reply.back();
}

void TLivePoll::DecodeLiveReply()
{
    const auto& live = FBuffers.LiveArray;
    const float volts = protocol::SupplyVoltage(TReceiveBuffers::At(live, kVoltsPosition));
    if (TReceiveBuffers::At(live, kWarmupPosition) == 1) {
        for (int channel = 1; channel <= 4; ++channel) {
            FDisplays.SetMeterValue(channel, 1.0f);
            FDisplays.SetReadoutValue(channel, 1.0f);
        }
        FDisplays.SetVoltsValue(volts);
        FDisplays.SetWarmupLed(true);
        return;
    }
    for (int channel = 1; channel <= 4; ++channel) {
        const int high = 2 * channel + 2;
        const std::uint16_t raw = protocol::BigEndian(TReceiveBuffers::At(live, high), TReceiveBuffers::At(live, high + 1));
        FDisplays.SetMeterValue(channel, protocol::Lambda(raw));
        FDisplays.SetReadoutValue(channel, FDisplays.MeterValue(channel));
    }
    FDisplays.SetVoltsValue(volts);
    FDisplays.SetWarmupLed(false);
    RecordReading({FDisplays.MeterValue(1), FDisplays.MeterValue(2), FDisplays.MeterValue(3), FDisplays.MeterValue(4)});
}

void TLivePoll::RecordReading(const std::array<float, 4>& meters)
{
    // The history first, so that a failing log write cannot take the reading from it.
    if (OnReading)
        OnReading(meters);
    if (FDisplays.Logging())
        FDisplays.AppendLogLine(meters, Now());  // the clock is read only for a line to write
}
