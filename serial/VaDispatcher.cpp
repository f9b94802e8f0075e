// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaDispatcher.h"

#include "serial/VaComm.h"

TVaDispatcher::TVaDispatcher(std::shared_ptr<IVaCommUser> AOwner) : FOwner(std::move(AOwner)) {}

TVaDispatcher::~TVaDispatcher()
{
    if (FComm)
        FComm->RemoveClient(this);
}

void TVaDispatcher::PurgeRead()
{
    if (FComm)
        FComm->PurgeRead();
}

void TVaDispatcher::PurgeWrite()
{
    if (FComm)
        FComm->PurgeWrite();
}

void TVaDispatcher::PurgeReadWrite()
{
    if (FComm)
        FComm->PurgeReadWrite();
}

std::int32_t TVaDispatcher::WriteBuf(const void* Buf, std::int32_t Count)
{
    return FComm ? FComm->WriteBuf(Buf, Count) : 0;
}

bool TVaDispatcher::WriteText(const std::string& s)
{
    return FComm ? FComm->WriteText(s) : false;
}

bool TVaDispatcher::WriteChar(char Ch)
{
    return FComm ? FComm->WriteChar(Ch) : false;
}

void TVaDispatcher::SetDTRState(bool Value)
{
    if (FComm)
        FComm->SetDTR(Value);
}
