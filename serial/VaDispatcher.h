// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/framework/Object.h"

class TVaCustomComm;

// What a client of the serial component receives: the event bits of each batch and the
// received bytes (valid only during the call).
class IVaCommUser {
public:
    virtual ~IVaCommUser() = default;
    virtual void HandleCommEvent(std::int32_t Mask) = 0;
    virtual void HandleCommData(const std::uint8_t* Data, std::int32_t Count) = 0;
};

// Links one client to a component. While a component has clients, received data goes to
// them (and OnRxBuf) instead of raising OnRxChar. The dispatcher shares ownership of its
// client for its whole life and leaves its component's list when destroyed.
class TVaDispatcher : public TObject {
public:
    explicit TVaDispatcher(std::shared_ptr<IVaCommUser> AOwner);
    ~TVaDispatcher() override;

    std::string ClassName() const override { return "TVaDispatcher"; }

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TVaCustomComm* Comm() const { return FComm; }
    void SetComm(TVaCustomComm* Value) { FComm = Value; }
    IVaCommUser& Owner() const { return *FOwner; }

    void PurgeRead();
    void PurgeWrite();
    void PurgeReadWrite();
    std::int32_t WriteBuf(const void* Buf, std::int32_t Count);
    bool WriteText(const std::string& s);
    bool WriteChar(char Ch);
    void SetDTRState(bool Value);

private:
    bool FActive = true;
    TVaCustomComm* FComm = nullptr;
    std::shared_ptr<IVaCommUser> FOwner;
};
