// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/Sendbyte.h"

#include "serial/VaComm.h"

namespace protocol {

void Sendbyte(TVaCustomComm& comm, std::uint8_t b)
{
    comm.WriteChar(static_cast<char>(b));
}

void SendFrame(TVaCustomComm& comm, std::span<const std::uint8_t> frame)
{
    // The write thread must not wake between two bytes: it would send the first alone and
    // keep the rest until this thread is idle again, long enough for the controller to drop
    // a partial frame when this thread is busy.
    const auto whole = comm.HoldQueuedWrites(static_cast<std::int32_t>(frame.size()));
    for (const std::uint8_t b : frame)
        Sendbyte(comm, b);
}

}  // namespace protocol
