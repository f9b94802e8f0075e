// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <string>

// Root of the framework's class tree: every sender of an event is a TObject.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Readable class name for messages ("TVaBuffers"); derived classes override it.
    virtual std::string ClassName() const { return "TObject"; }
};

// An event slot: empty, or a handler that receives the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Calls the handler when one is assigned.
inline void Fire(const TNotifyEvent& event, TObject* sender)
{
    if (event)
        event(sender);
}
