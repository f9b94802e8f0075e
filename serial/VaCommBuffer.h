// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/framework/Object.h"

// The write queue: one block allocated at creation and never grown; the queued bytes always
// start at its beginning. The owner serialises changes with its write lock; Size may be read
// without it.
class TVaCommBuffer : public TObject {
public:
    explicit TVaCommBuffer(std::int32_t BufSize);

    std::string ClassName() const override { return "TVaCommBuffer"; }

    std::int32_t Size() const { return FSize.load(); }
    std::int32_t Capacity() const { return FCapacity; }
    std::uint8_t* DataPtr() { return FData.get(); }

    void Clear() { FSize.store(0); }
    // Appends Count bytes; the caller has made sure they fit.
    void Write(const void* Buf, std::int32_t Count);
    // Drops the first Count bytes (at most all of them) and moves the rest to the front.
    void Remove(std::int32_t Count);
    // Copies the first Count bytes (at most all of them) out; returns how many.
    std::int32_t Peek(void* Buf, std::int32_t Count) const;
    std::int32_t Read(void* Buf, std::int32_t Count);

private:
    std::unique_ptr<std::uint8_t[]> FData;
    std::int32_t FCapacity;
    std::atomic<std::int32_t> FSize{0};
};
