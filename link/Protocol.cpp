// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/Protocol.h"

#include "platform/framework/FormatFloat.h"

namespace protocol {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes)
{
    unsigned sum = 0;
    for (const std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(~sum & 0xFF);
}

Frame WriteMemoryFrame(std::uint8_t address, std::span<const std::uint8_t> data)
{
    Frame frame;
    frame.reserve(data.size() + 6);
    frame.push_back(kStartByte);
    frame.push_back(static_cast<std::uint8_t>(data.size() + 6));
    frame.push_back(kCmdWriteMemory);
    frame.push_back(address);
    frame.push_back(static_cast<std::uint8_t>(data.size()));
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(Checksum(frame));
    return frame;
}

Frame Write16Frame(std::uint8_t address, std::uint16_t value)
{
    const std::uint8_t data[] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)};
    return WriteMemoryFrame(address, data);
}

Frame CalibrationFrame(int channel, std::uint16_t value)
{
    return Write16Frame(CalibrationAddress(channel), value);
}

std::array<std::uint8_t, 5> SerialNumberBytes(const QString& text)
{
    std::array<std::uint8_t, 5> bytes{};
    for (qsizetype i = 0; i < text.size() && i < 5; ++i) {
        const char16_t c = text.at(i).unicode();
        bytes[static_cast<size_t>(i)] = c <= 0xFF ? static_cast<std::uint8_t>(c) : static_cast<std::uint8_t>('?');
    }
    return bytes;
}

Frame SerialNumberFrame(int channel, const QString& text)
{
    return WriteMemoryFrame(SerialNumberAddress(channel), SerialNumberBytes(text));
}

Frame CanAddressFrame(std::uint16_t value)
{
    return Write16Frame(kCanAddress, value);
}

Frame SlaveCanAddressFrame(std::uint16_t value)
{
    return Write16Frame(kSlaveCanAddress, value);
}

float Lambda(std::uint16_t raw)
{
    return static_cast<float>(raw / 1000.0);
}

float SupplyVoltage(std::uint8_t raw)
{
    return static_cast<float>(raw * 0.01960784L * 3.2L);
}

int CanAddress(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    return b0 * 1024 + b1 * 576 + b2 * 256 + b3;
}

QString SerialNumberText(std::span<const std::uint8_t, 5> bytes)
{
    QString text;
    for (const std::uint8_t b : bytes) {
        if (b == 0)
            break;
        text += QChar(b);
    }
    return text;
}

QString VersionText(std::uint8_t tenths)
{
    return "V" + QString::fromStdString(FormatFixed(tenths / 10.0, 2, 1));
}

}  // namespace protocol
