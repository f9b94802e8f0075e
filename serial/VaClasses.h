// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "platform/framework/Component.h"
#include "platform/framework/Persistent.h"

// Base of the serial components.
class TVaComponent : public TComponent {
public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TVaComponent"; }
};

// Base of the serial settings objects: a change notification that an owner can batch.
// BeginUpdate/EndUpdate nest; Changed reaches OnChange only outside every batch, and the
// closing EndUpdate reports the batch as one change.
class TVaPersistent : public TPersistent {
public:
    std::string ClassName() const override { return "TVaPersistent"; }

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate()
    {
        if (FUpdateCount > 0) {
            --FUpdateCount;
            Changed();
        }
    }
    void Changed()
    {
        if (FUpdateCount == 0)
            Fire(FOnChange, this);
    }

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
    // Stores value and reports the change (unless unchanged and not forced). When the owner
    // refuses the change by throwing, the old value is restored: a refused value is not kept.
    template <typename T>
    void Store(T& field, const T& value, bool force = false)
    {
        if (!force && field == value)
            return;
        const T old = field;
        field = value;
        try {
            Changed();
        } catch (...) {
            field = old;
            throw;
        }
    }

    // Copies a whole set of values as one change, restoring the old set when it is refused.
    template <typename T>
    void StoreAll(T& fields, const T& values)
    {
        const T old = fields;
        BeginUpdate();
        fields = values;
        try {
            EndUpdate();
        } catch (...) {
            fields = old;
            throw;
        }
    }

    std::int32_t FUpdateCount = 0;
    TNotifyEvent FOnChange;
};
