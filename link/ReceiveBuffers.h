// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <span>

// The receive buffers and the link state they share. Positions count from 1: position k
// holds the reply byte at offset k - 1. One index (RxIndex) serves every buffer; in
// configuration mode RxTarget selects the buffer that receives.
//
// All of it lives on the user-interface thread: the received-characters handler and the
// timer ticks never run at the same time, so nothing here is locked.
struct TReceiveBuffers {
    static constexpr int kSensorSize = 50;
    static constexpr int kConfigSize = 50;
    static constexpr int kVersionSize = 10;
    static constexpr int kLiveSize = 30;

    // RxTarget values.
    enum TargetBuffer : std::int32_t {
        rtNone = 0, rtSensor1 = 1, rtSensor2, rtSensor3, rtSensor4, rtConfig, rtVersion
    };

    std::array<std::uint8_t, kSensorSize> Sensor1Array{};
    std::array<std::uint8_t, kSensorSize> Sensor2Array{};
    std::array<std::uint8_t, kSensorSize> Sensor3Array{};
    std::array<std::uint8_t, kSensorSize> Sensor4Array{};
    std::array<std::uint8_t, kConfigSize> ConfigArray{};
    std::array<std::uint8_t, kVersionSize> VersionArray{};
    std::array<std::uint8_t, kLiveSize> LiveArray{};

    std::int32_t RxIndex = 0;      // next position to store at
    std::int32_t RxTarget = 0;     // buffer of configuration mode
    std::int32_t NoDataCount = 0;  // live ticks since bytes last arrived
    // Bytes stored into LiveArray since the last live tick: a reply is decoded only when a
    // whole one came since then, never an old one again.
    std::int32_t LiveReceived = 0;

    // Stores bytes at RxIndex onwards, into LiveArray when live, else into the buffer
    // RxTarget selects. A byte that would land outside the buffer (past its end, or before
    // RxIndex was first set) is dropped, never stored anywhere else.
    void Store(std::span<const std::uint8_t> bytes, bool live);

    // Zeroes the four sensor buffers and the configuration buffer.
    void ClearArray();

    // The buffer RxTarget selects, empty for none.
    std::span<std::uint8_t> Target(std::int32_t target);

    // Byte at 1-based position of a buffer.
    template <size_t N>
    static std::uint8_t At(const std::array<std::uint8_t, N>& buffer, int position)
    {
        return buffer.at(static_cast<size_t>(position - 1));
    }
};
