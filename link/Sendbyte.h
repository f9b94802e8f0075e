// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <span>

class TVaCustomComm;

namespace protocol {

// Hands one byte to the serial component's WriteChar; every frame leaves this way.
void Sendbyte(TVaCustomComm& comm, std::uint8_t b);
// Sends a frame byte by byte, in order, with nothing in between.
void SendFrame(TVaCustomComm& comm, std::span<const std::uint8_t> frame);

}  // namespace protocol
