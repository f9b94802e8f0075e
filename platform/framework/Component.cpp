// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    MarkDestroying();
    // Tell everyone linked to us that we are going, then free what we own, last first.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& theirs = other->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, TOperation::opRemove);
    }
    while (!FComponents.empty()) {
        TComponent* child = FComponents.back();
        FComponents.pop_back();
        child->FOwner = nullptr;
        delete child;  // the owner model: an owned component is freed by its owner
    }
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::MarkDestroying()
{
    if (FDestroying)
        return;
    FDestroying = true;
    for (TComponent* child : FComponents)
        child->MarkDestroying();
}

void TComponent::BeginLoading()
{
    FLoading = true;
    for (TComponent* child : FComponents)
        child->BeginLoading();
}

void TComponent::EndLoading()
{
    for (TComponent* child : FComponents)
        child->EndLoading();
    FLoading = false;
    Loaded();
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FFreeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    auto& mine = FFreeNotifies;
    mine.erase(std::remove(mine.begin(), mine.end(), AComponent), mine.end());
    auto& theirs = AComponent->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == TOperation::opRemove)
        RemoveFreeNotification(AComponent);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    AComponent->FOwner = this;
    FComponents.push_back(AComponent);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it == FComponents.end())
        return;
    FComponents.erase(it);
    AComponent->FOwner = nullptr;
    Notification(AComponent, TOperation::opRemove);
}
