// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaPrst.h"

#include "platform/framework/Exception.h"

void TVaFlowControl::Assign(const TPersistent& Source)
{
    if (const auto* source = dynamic_cast<const TVaFlowControl*>(&Source))
        StoreAll(FValues, source->FValues);
    else
        TVaPersistent::Assign(Source);
}

void TVaEventChars::Assign(const TPersistent& Source)
{
    if (const auto* source = dynamic_cast<const TVaEventChars*>(&Source))
        StoreAll(FChars, source->FChars);
    else
        TVaPersistent::Assign(Source);
}

void TVaEventChars::SetChar(int Index, char Value)
{
    if (Index < ciXonChar || Index > ciEofChar)
        throw ERangeError("Event character index " + std::to_string(Index) + " is out of range 1..5");
    Store(FChars[Index - 1], Value, true);
}

void TVaBuffers::Assign(const TPersistent& Source)
{
    if (const auto* source = dynamic_cast<const TVaBuffers*>(&Source))
        StoreAll(FValues, source->FValues);
    else
        TVaPersistent::Assign(Source);
}

namespace {

std::int32_t Checked(std::int32_t value, const char* name)
{
    if (value < 0)
        throw ERangeError(std::string(name) + " " + std::to_string(value) + " is out of range 0..2147483647");
    return value;
}

}  // namespace

void TVaBuffers::SetReadSize(std::int32_t Value)
{
    Store(FValues.ReadSize, Checked(Value, "ReadSize"));
}

void TVaBuffers::SetWriteSize(std::int32_t Value)
{
    Store(FValues.WriteSize, Checked(Value, "WriteSize"));
}

void TVaBuffers::SetReadTimeout(std::int32_t Value)
{
    FValues.ReadTimeout = Checked(Value, "ReadTimeout");
}

void TVaBuffers::SetWriteTimeout(std::int32_t Value)
{
    FValues.WriteTimeout = Checked(Value, "WriteTimeout");
}

void TVaBuffers::SetXonLimit(std::int32_t Value)
{
    Store(FValues.XonLimit, Checked(Value, "XonLimit"));
}

void TVaBuffers::SetXoffLimit(std::int32_t Value)
{
    Store(FValues.XoffLimit, Checked(Value, "XoffLimit"));
}
