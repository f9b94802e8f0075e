// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "platform/framework/Persistent.h"

enum class TOperation { opInsert, opRemove };

// A component with an owner. The owner frees the components it owns, last created first,
// when it is destroyed; a component destroyed on its own leaves its owner's list. Components
// that asked for it with FreeNotification hear of each other's removal through Notification.
//
// Ownership is the framework's: a component created with an owner is deleted by that owner,
// so it is created with new and never deleted by hand while its owner lives. A component
// without an owner is held by whoever created it (a std::unique_ptr).
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }

    // State flags: design mode (a form editor holds the component), being destroyed,
    // and loading (its stored properties are being read).
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool Value) { FDesigning = Value; }
    bool Destroying() const { return FDestroying; }
    bool IsLoading() const { return FLoading; }

    // Stored properties are about to be read; Loaded ends it for this component and every
    // component it owns.
    void BeginLoading();
    void EndLoading();

    // Asks to be told (Notification with opRemove) when AComponent goes away.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

protected:
    // Called after the stored properties have been read.
    virtual void Loaded() {}
    // Called when a component this one owns is inserted or removed, or when a component it
    // asked FreeNotification of is removed.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Marks the component (and what it owns) as being destroyed; derived destructors that
    // must know it early call this first.
    void MarkDestroying();

private:
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;      // owned, in creation order
    std::vector<TComponent*> FFreeNotifies;    // not owned: told of each other's removal
    bool FDesigning = false;
    bool FDestroying = false;
    bool FLoading = false;
};
