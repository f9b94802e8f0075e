// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <QString>

// The controller's frames: start byte 0xC0, the frame's whole length, a command, parameters
// and a checksum. Everything here is pure arithmetic on bytes.
namespace protocol {

using Frame = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kStartByte = 0xC0;
inline constexpr std::uint8_t kCmdLiveData = 0x26;
inline constexpr std::uint8_t kCmdVersion = 0x24;
inline constexpr std::uint8_t kCmdReadMemory = 0x60;
inline constexpr std::uint8_t kCmdWriteMemory = 0x62;

// 0xFF minus the sum of the bytes modulo 256: the sum inverted in its low eight bits.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

// The requests the program sends, byte for byte.
inline constexpr std::array<std::uint8_t, 4> LiveRequest{0xC0, 0x04, 0x26, 0x15};
inline constexpr std::array<std::uint8_t, 4> VersionRequest{0xC0, 0x04, 0x24, 0x17};
inline constexpr std::array<std::uint8_t, 6> Sensor1Request{0xC0, 0x06, 0x60, 0x10, 0x10, 0xB9};
inline constexpr std::array<std::uint8_t, 6> Sensor2Request{0xC0, 0x06, 0x60, 0x20, 0x10, 0xA9};
inline constexpr std::array<std::uint8_t, 6> Sensor3Request{0xC0, 0x06, 0x60, 0x30, 0x20, 0x89};
inline constexpr std::array<std::uint8_t, 6> Sensor4Request{0xC0, 0x06, 0x60, 0x40, 0x20, 0x79};
inline constexpr std::array<std::uint8_t, 6> ConfigRequest{0xC0, 0x06, 0x60, 0x00, 0x20, 0xB9};

// Controller memory addresses.
inline constexpr std::uint8_t kCanAddress = 0x02;
inline constexpr std::uint8_t kSlaveCanAddress = 0x0A;
constexpr std::uint8_t CalibrationAddress(int channel) { return static_cast<std::uint8_t>(0x10 * channel); }
constexpr std::uint8_t SerialNumberAddress(int channel) { return static_cast<std::uint8_t>(0x10 * channel + 8); }

// A write-memory frame: C0, 6 + n, 62, address, n, the n data bytes, checksum.
Frame WriteMemoryFrame(std::uint8_t address, std::span<const std::uint8_t> data);
// Writes a 16-bit value, high byte first.
Frame Write16Frame(std::uint8_t address, std::uint16_t value);
// Channel 1..4 calibration value.
Frame CalibrationFrame(int channel, std::uint16_t value);
// Channel 1..4 serial number: the text as 8-bit characters (a character that does not fit
// in one byte becomes '?'), cut to five bytes; a shorter text is padded with zero bytes so
// it reads back as typed.
Frame SerialNumberFrame(int channel, const QString& text);
Frame CanAddressFrame(std::uint16_t value);
Frame SlaveCanAddressFrame(std::uint16_t value);

// The five bytes a serial number is stored as (see SerialNumberFrame).
std::array<std::uint8_t, 5> SerialNumberBytes(const QString& text);

// --- decoders

// High byte × 256 + low byte, both unsigned.
constexpr std::uint16_t BigEndian(std::uint8_t high, std::uint8_t low)
{
    return static_cast<std::uint16_t>(high * 256 + low);
}
// raw ÷ 1000 in single precision.
float Lambda(std::uint16_t raw);
// raw × 0.01960784 × 3.2 in extended precision, stored in single precision.
float SupplyVoltage(std::uint8_t raw);
// b0 × 1024 + b1 × 576 + b2 × 256 + b3.
int CanAddress(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
// Each byte is the character with that code; the text ends at the first zero byte, which
// no field can show.
QString SerialNumberText(std::span<const std::uint8_t, 5> bytes);
// "V" and the version in tenths in fixed-point notation, two significant digits and one
// decimal, with the formatting locale's decimal separator (28 → V2.8, 5 → V0.5, 125 → V13.0).
QString VersionText(std::uint8_t tenths);

}  // namespace protocol
