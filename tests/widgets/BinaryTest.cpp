// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QTest>

#include "widgets/AbFlashT.h"
#include "widgets/_GClassBinary.h"

namespace {

// A binary control that records its hooks and lets the test press the mouse.
class Lamp : public TAbBinGControl {
public:
    using TAbBinGControl::TAbBinGControl;
    using TAbBinGControl::MouseDown;
    using TAbBinGControl::MouseUp;
    int statusChanges = 0;
    int statusIntChanges = 0;
    std::vector<bool> flashes;
    std::function<void()> onFlash;

protected:
    void StatusChanged() override { ++statusChanges; }
    void StatusIntChanged() override { ++statusIntChanges; }
    void Flash(bool Status) override
    {
        flashes.push_back(Status);
        if (onFlash)
            onFlash();
    }
};

// Every test starts with no flash clients and the counter at 0.
class BinaryControl : public testing::Test {
protected:
    BinaryControl() { SetFlashTick(0); }
    ~BinaryControl() override { ShutdownFlashTimer(); }
};

TEST_F(BinaryControl, CheckedMirrorsItsStatusBit)
{
    Lamp l(nullptr);
    EXPECT_EQ(l.Mode(), mIndicator);
    EXPECT_EQ(l.FirstCheckedBit(), 32);
    l.SetStatusBit(2);
    l.SetStatusInt(5);
    EXPECT_TRUE(l.Checked());
    EXPECT_EQ(l.FirstCheckedBit(), 0);
    l.SetChecked(false);
    EXPECT_EQ(l.StatusInt(), 1);
    l.SetChecked(true);
    EXPECT_EQ(l.StatusInt(), 5);
    l.SetStatusBit(31);
    EXPECT_FALSE(l.Checked());
    l.SetChecked(true);
    EXPECT_EQ(static_cast<std::uint32_t>(l.StatusInt()), 0x80000005u);
}

TEST_F(BinaryControl, OutOfRangeBitAndGroupAreIgnored)
{
    Lamp l(nullptr);
    l.SetStatusBit(3);
    l.SetStatusBit(32);
    l.SetStatusBit(-1);
    EXPECT_EQ(l.StatusBit(), 3);
    l.SetGroupIndex(-1);
    EXPECT_EQ(l.GroupIndex(), 0);
}

TEST_F(BinaryControl, RadioModeSetsTheWordToOne)
{
    Lamp l(nullptr);
    l.SetMode(mRadioButton);
    EXPECT_EQ(l.StatusInt(), 1);
    EXPECT_TRUE(l.Checked());
    l.SetMode(mButton);
    EXPECT_EQ(l.StatusInt(), 0);
    EXPECT_FALSE(l.Checked());
}

TEST_F(BinaryControl, MouseActsByMode)
{
    Lamp l(nullptr);
    l.MouseDown(mbLeft, {}, 1, 1);
    l.MouseUp(mbLeft, {}, 1, 1);
    EXPECT_FALSE(l.Checked());  // indicator: display only
    EXPECT_EQ(l.statusChanges, 0);

    l.SetMode(mButton);
    l.MouseDown(mbLeft, {}, 1, 1);
    EXPECT_TRUE(l.Checked());
    EXPECT_TRUE(l.MouseIsDown());
    l.MouseUp(mbLeft, {}, 1, 1);
    EXPECT_FALSE(l.Checked());

    l.SetMode(mSwitch);
    l.MouseDown(mbLeft, {}, 1, 1);
    l.MouseUp(mbLeft, {}, 1, 1);
    EXPECT_TRUE(l.Checked());
    l.MouseDown(mbRight, {}, 1, 1);
    EXPECT_TRUE(l.Checked());  // other buttons change nothing
    l.MouseDown(mbLeft, {}, 1, 1);
    EXPECT_FALSE(l.Checked());

    l.SetMode(mRadioButton);
    l.SetStatusBit(3);
    l.MouseDown(mbLeft, {}, 1, 1);
    EXPECT_EQ(l.StatusInt(), 8);
}

TEST_F(BinaryControl, GroupMembersShareTheirStatusWordOnceEach)
{
    TComponent form(nullptr);
    auto* a = new Lamp(&form);
    auto* b = new Lamp(&form);
    auto* c = new Lamp(&form);
    a->SetStatusInt(6);
    for (Lamp* l : {a, b, c})
        l->SetGroupIndex(1);
    EXPECT_EQ(b->StatusInt(), 6);  // a new member adopts the first member's word
    EXPECT_EQ(c->StatusInt(), 6);
    for (Lamp* l : {a, b, c})
        l->statusIntChanges = 0;
    b->SetStatusInt(9);
    EXPECT_EQ(a->StatusInt(), 9);
    EXPECT_EQ(c->StatusInt(), 9);
    EXPECT_EQ(a->statusIntChanges, 1);
    EXPECT_EQ(b->statusIntChanges, 1);
    EXPECT_EQ(c->statusIntChanges, 1);
}

TEST_F(BinaryControl, RegisteredExactlyWhileCheckedAndFlashing)
{
    Lamp l(nullptr);
    l.SetFlashing(true);
    EXPECT_FALSE(FlashClientRegistered(&l));
    l.SetChecked(true);
    std::int64_t kind = 0;
    ASSERT_TRUE(FlashClientRegistered(&l, &kind));
    EXPECT_EQ(kind, ff1Hz + 2);
    EXPECT_NE(FlashTimer(), nullptr);

    l.SetFrequency(ff8Hz);
    ASSERT_TRUE(FlashClientRegistered(&l, &kind));
    EXPECT_EQ(kind, 2);

    l.statusChanges = 0;
    l.SetFlashing(false);  // steady checked state shown again
    EXPECT_FALSE(FlashClientRegistered(&l));
    EXPECT_EQ(l.statusChanges, 1);

    l.SetFlashing(true);
    l.SetChecked(false);
    EXPECT_FALSE(FlashClientRegistered(&l));
}

TEST_F(BinaryControl, TickCounterWraps)
{
    SetFlashTick(0xFFFFFFFFu);
    FlashTimerTick();
    EXPECT_EQ(FlashTick(), 0u);
}

TEST_F(BinaryControl, ControlsOnOneFrequencyFlipTogether)
{
    Lamp a(nullptr);
    Lamp b(nullptr);
    a.SetFlashing(true);
    a.SetFrequency(ff8Hz);  // bit 2: flips every 4 ticks
    a.SetChecked(true);
    for (int i = 0; i < 3; ++i)
        FlashTimerTick();
    b.SetFlashing(true);
    b.SetFrequency(ff8Hz);
    b.SetChecked(true);  // checked later, on the same bit
    for (int i = 0; i < 9; ++i)
        FlashTimerTick();
    // Ticks 4 and 8 flip bit 2 on and off, tick 12 on again; both see every flip.
    EXPECT_EQ(a.flashes, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(b.flashes, a.flashes);
}

TEST_F(BinaryControl, AClientMayLeaveDuringATick)
{
    Lamp a(nullptr);
    Lamp b(nullptr);
    AddFlashControl(&a, 0);
    AddFlashControl(&b, 0);
    a.onFlash = [&] {
        RemoveFlashControl(&a);
        throw std::runtime_error("a failing client");
    };
    FlashTimerTick();  // bit 0 set on tick 1
    EXPECT_EQ(a.flashes.size(), 1u);
    EXPECT_FALSE(FlashClientRegistered(&a));
    EXPECT_EQ(FlashClientCount(), 1);
}

TEST_F(BinaryControl, AFreedControlLeavesTheList)
{
    auto l = std::make_unique<Lamp>(nullptr);
    AddFlashControl(l.get(), 3);
    AddFlashControl(nullptr, 3);  // ignored
    EXPECT_EQ(FlashClientCount(), 1);
    l.reset();
    EXPECT_EQ(FlashClientCount(), 0);
    FlashTimerTick();
}

TEST_F(BinaryControl, TheTimerThreadTicksOnTheUserInterfaceThread)
{
    Lamp l(nullptr);
    std::vector<bool> onMainThread;
    l.onFlash = [&] { onMainThread.push_back(TThread::IsMainThread()); };
    l.SetFlashing(true);
    l.SetFrequency(ff8Hz);
    l.SetChecked(true);
    ASSERT_NE(FlashTimer(), nullptr);
    EXPECT_TRUE(FlashTimer()->Running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return l.flashes.size() >= 3; }, 10000));
    for (bool main : onMainThread)
        EXPECT_TRUE(main);

    l.SetChecked(false);
    ShutdownFlashTimer();  // stops and joins the thread
    EXPECT_EQ(FlashTimer(), nullptr);
}

}  // namespace
