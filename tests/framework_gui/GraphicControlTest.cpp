// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <memory>

#include <QTest>
#include <QWidget>

#include "platform/framework/GraphicControl.h"

namespace {

// A control that paints a blue background and counts its full paints.
class Probe : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int paints = 0;
    std::vector<unsigned> messages;

protected:
    void Paint() override
    {
        ++paints;
        Canvas().Brush().Color = clBlue;
        Canvas().FillRect(ClientRect());
    }
    void WndProc(TMessage& m) override
    {
        messages.push_back(m.Msg);
        TGraphicControl::WndProc(m);
    }
};

TEST(GraphicControl, RepaintRunsPaintIntoTheImage)
{
    Probe p(nullptr);
    p.SetBounds(3, 4, 30, 20);
    EXPECT_EQ(p.Left(), 3);
    EXPECT_EQ(p.Width(), 30);
    p.Repaint();
    EXPECT_EQ(p.paints, 1);
    EXPECT_EQ(p.Image().size(), QSize(30, 20));
    EXPECT_EQ(FromQRgb(p.Image().pixel(29, 19)), clBlue);
}

TEST(GraphicControl, DrawingOutsidePaintChangesOnlyThosePixels)
{
    Probe p(nullptr);
    p.SetBounds(0, 0, 30, 20);
    p.Repaint();
    p.Canvas().Brush().Color = clRed;
    p.Canvas().FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(p.paints, 1);
    EXPECT_EQ(FromQRgb(p.Image().pixel(1, 1)), clRed);
    EXPECT_EQ(FromQRgb(p.Image().pixel(6, 6)), clBlue);
}

TEST(GraphicControl, ShownControlPaintsOnceAfterInvalidate)
{
    QWidget form;
    form.resize(100, 100);
    auto* p = new Probe(nullptr, &form);  // the form frees it
    p->SetBounds(10, 10, 30, 20);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return p->paints >= 1; }, 5000));
    const int before = p->paints;
    p->Invalidate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return p->paints > before; }, 5000));
}

TEST(GraphicControl, CaptionAndFontChangesArriveAsMessages)
{
    Probe p(nullptr);
    p.SetCaption("LAMBDA");
    p.SetCaption("LAMBDA");
    p.Font().SetHeight(30);
    ASSERT_EQ(p.messages.size(), 2u);
    EXPECT_EQ(p.messages[0], CM_TEXTCHANGED);
    EXPECT_EQ(p.messages[1], CM_FONTCHANGED);
}

TEST(GraphicControl, OwnerFreesItAndAQtParentMayGoFirst)
{
    auto owner = std::make_unique<TComponent>(nullptr);
    new Probe(owner.get());  // freed by its owner
    EXPECT_EQ(owner->ComponentCount(), 1);
    owner.reset();

    auto owner2 = std::make_unique<TComponent>(nullptr);
    {
        QWidget parent;
        new Probe(owner2.get(), &parent);
        EXPECT_EQ(owner2->ComponentCount(), 1);
    }  // the parent frees it; the owner's list forgets it
    EXPECT_EQ(owner2->ComponentCount(), 0);
}

TEST(GraphicControl, VisibleIsThePropertyNotTheScreenState)
{
    QWidget form;
    Probe p(nullptr, &form);
    EXPECT_TRUE(p.Visible());
    p.SetVisible(false);
    EXPECT_FALSE(p.Visible());
}

}  // namespace
