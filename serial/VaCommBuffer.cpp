// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaCommBuffer.h"

#include <algorithm>
#include <cstring>

TVaCommBuffer::TVaCommBuffer(std::int32_t BufSize)
    : FData(std::make_unique<std::uint8_t[]>(static_cast<size_t>(std::max(BufSize, 1)))),
      FCapacity(std::max(BufSize, 0))
{
}

void TVaCommBuffer::Write(const void* Buf, std::int32_t Count)
{
    const std::int32_t size = FSize.load();
    const std::int32_t n = std::clamp(Count, 0, FCapacity - size);
    std::memcpy(FData.get() + size, Buf, static_cast<size_t>(n));
    FSize.store(size + n);
}

void TVaCommBuffer::Remove(std::int32_t Count)
{
    const std::int32_t size = FSize.load();
    const std::int32_t n = std::clamp(Count, 0, size);
    std::memmove(FData.get(), FData.get() + n, static_cast<size_t>(size - n));
    FSize.store(size - n);
}

std::int32_t TVaCommBuffer::Peek(void* Buf, std::int32_t Count) const
{
    const std::int32_t n = std::clamp(Count, 0, FSize.load());
    std::memcpy(Buf, FData.get(), static_cast<size_t>(n));
    return n;
}

std::int32_t TVaCommBuffer::Read(void* Buf, std::int32_t Count)
{
    const std::int32_t n = Peek(Buf, Count);
    Remove(n);
    return n;
}
