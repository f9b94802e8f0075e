// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/framework/Component.h"
#include "platform/framework/Exception.h"

namespace {

// Records its life in a shared journal.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::string name, std::vector<std::string>& journal)
        : TComponent(owner), FJournal(journal)
    {
        SetName(std::move(name));
    }
    ~Probe() override
    {
        const bool byOwner = Destroying();  // an owner marks what it owns before freeing it
        MarkDestroying();
        FJournal.push_back("free " + Name() + (byOwner ? " by owner" : ""));
    }

    void Loaded() override { FJournal.push_back("loaded " + Name()); }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove)
            FJournal.push_back(Name() + " hears " + AComponent->Name() + " go");
    }

private:
    std::vector<std::string>& FJournal;
};

}  // namespace

TEST(TComponent, OwnerFreesWhatItOwnsLastFirst)
{
    std::vector<std::string> journal;
    {
        Probe owner(nullptr, "form", journal);
        new Probe(&owner, "a", journal);
        new Probe(&owner, "b", journal);
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(owner.Components(1)->Name(), "b");
        journal.clear();
    }
    // The owner hears nothing of its own children while it frees them.
    EXPECT_EQ(journal, (std::vector<std::string>{"free form", "free b by owner", "free a by owner"}));
}

TEST(TComponent, FreedChildLeavesItsOwner)
{
    std::vector<std::string> journal;
    Probe owner(nullptr, "form", journal);
    auto* child = new Probe(&owner, "child", journal);
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(journal.back(), "form hears child go");
}

TEST(TComponent, FreeNotificationTellsTheOtherSide)
{
    std::vector<std::string> journal;
    Probe display(nullptr, "display", journal);
    {
        Probe port(nullptr, "port", journal);
        port.FreeNotification(&display);
    }
    EXPECT_EQ(journal.back(), "display hears port go");
}

TEST(TComponent, LoadedRunsAfterLoadingForOwnedComponentsToo)
{
    std::vector<std::string> journal;
    Probe owner(nullptr, "form", journal);
    new Probe(&owner, "meter", journal);
    owner.BeginLoading();
    EXPECT_TRUE(owner.Components(0)->IsLoading());
    owner.EndLoading();
    EXPECT_FALSE(owner.IsLoading());
    EXPECT_EQ(journal, (std::vector<std::string>{"loaded meter", "loaded form"}));
}

TEST(TPersistent, AssignWithoutSupportIsRefused)
{
    TComponent a(nullptr);
    TComponent b(nullptr);
    EXPECT_THROW(a.Assign(b), EConvertError);
}
