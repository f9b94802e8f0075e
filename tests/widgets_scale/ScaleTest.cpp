// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The instruments on scaled screens. CTest runs this suite once for each QT_SCALE_FACTOR of
// 1, 1.5 and 2, on two offscreen screens side by side: the first at that scale, the second
// at twice it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <vector>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "app/DesignSettings.h"
#include "app/Logo.h"
#include "platform/framework/FormatFloat.h"
#include "tests/support/GuiDriver.h"
#include "widgets/AbFlashT.h"
#include "widgets/AbLED.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

namespace {

using enum TRMeterOption;

QScreen* FirstScreen()
{
    return QGuiApplication::primaryScreen();
}

QScreen* SecondScreen()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screens.size() > 1 ? screens[1] : nullptr;
}

// A window with the main window's instruments, on the screen asked for.
struct Panel {
    explicit Panel(QScreen* screen)
    {
        form.resize(560, 300);
        SetUpLambdaMeter(meter, 0, 0, "LAMBDA CH1", "#0.000");
        SetUpLambdaReadout(readout, 290, 10, "CH1 LAMBDA");
        SetUpVoltsReadout(volts, 290, 100);
        SetUpLamp(lamp, 290, 180, 217, "LAMBDA DATA ONLINE", 18, "Arial", 16, true, clRed, clAppWorkSpace);
        logo.setGeometry(290, 220, 234, 114);
        readout.SetValue(0.987f);
        volts.SetValue(13.8f);
        lamp.SetChecked(true);
        MoveTo(screen);
        form.show();
    }
    void MoveTo(QScreen* screen) { form.move(screen->geometry().topLeft() + QPoint(20, 20)); }
    bool Shown()
    {
        return QTest::qWaitForWindowExposed(&form) &&
               WaitUntil([&] { return meter.PaintCount() > 0 && readout.PaintCount() > 0 && lamp.PaintCount() > 0; });
    }

    QWidget form;
    TAb270Meter meter{nullptr, &form};
    TAbValueInd readout{nullptr, &form};
    TAbValueInd volts{nullptr, &form};
    TAbLED lamp{nullptr, &form};
    LogoLabel logo{&form};
};

class ScreenScale : public testing::Test {
protected:
    ScreenScale() { SetFlashTick(0); }
    ~ScreenScale() override { ShutdownFlashTimer(); }

    ScopedFormatLocale locale{QLocale::c()};
};

TEST_F(ScreenScale, ControlsDrawAtTheRatioOfTheirScreenAndFollowTheWindowToAnother)
{
    QScreen* second = SecondScreen();
    ASSERT_NE(second, nullptr) << "the suite runs on two screens";
    const double ratio = FirstScreen()->devicePixelRatio();
    Panel panel(FirstScreen());
    ASSERT_TRUE(panel.Shown());
    const auto expectRatio = [&](double r) {
        for (TGraphicControl* c : std::initializer_list<TGraphicControl*>{&panel.meter, &panel.readout, &panel.lamp}) {
            const QImage& image = c->Image();
            EXPECT_EQ(image.devicePixelRatio(), r) << c->ClassName();
            EXPECT_EQ(image.size(), QSize(static_cast<int>(std::ceil(c->Width() * r)),
                                          static_cast<int>(std::ceil(c->Height() * r))))
                << c->ClassName();
        }
        EXPECT_EQ(panel.logo.pixmap().devicePixelRatio(), r);
        EXPECT_EQ(panel.logo.pixmap().deviceIndependentSize(), QSizeF(234, 114));
    };
    expectRatio(ratio);

    // Moved to the other screen, the window's controls are painted anew at its ratio, and
    // look as the same controls shown there from the start.
    const int paints = panel.meter.PaintCount();
    panel.MoveTo(second);
    ASSERT_TRUE(WaitUntil([&] { return panel.meter.PaintCount() > paints && panel.lamp.Image().devicePixelRatio() == 2 * ratio; }));
    ASSERT_TRUE(WaitUntil([&] { return panel.readout.Image().devicePixelRatio() == 2 * ratio; }));
    expectRatio(2 * ratio);
    Panel there(second);
    ASSERT_TRUE(there.Shown());
    EXPECT_TRUE(panel.meter.Image() == there.meter.Image());
    EXPECT_TRUE(panel.readout.Image() == there.readout.Image());
    EXPECT_TRUE(panel.lamp.Image() == there.lamp.Image());

    // A reading that arrives now is drawn at the new ratio too.
    for (Panel* p : {&panel, &there}) {
        p->meter.SetValue(1.2f);
        p->readout.SetValue(1.2f);
    }
    EXPECT_TRUE(panel.meter.Image() == there.meter.Image());
    EXPECT_TRUE(panel.readout.Image() == there.readout.Image());

    panel.MoveTo(FirstScreen());
    ASSERT_TRUE(WaitUntil([&] { return panel.meter.Image().devicePixelRatio() == ratio; }));
    expectRatio(ratio);
}

// column: instrument, its set-up, the part of it whose edges show the resolution
struct Instrument {
    const char* name;
    std::function<TGraphicControl&(Panel&)> control;
    std::function<TRect(TGraphicControl&)> detail;
};

void PrintTo(const Instrument& c, std::ostream* os)
{
    *os << c.name;
}

class TwiceTheRatio : public testing::TestWithParam<Instrument> {
protected:
    ScopedFormatLocale locale{QLocale::c()};
};

// The same instrument on the screen of twice the ratio is drawn anew at that resolution: it
// is not the picture of the first screen blown up (its edges have steps of one device pixel
// where that picture's steps are two), yet nothing lies elsewhere, and no colour is new:
// every device pixel has a colour found within two logical pixels of the same place in the
// other picture. A thin pointer tip drawn finer holds a little fill where the coarser one is
// all outline, so a handful of pixels may miss; anything misplaced would be thousands.
TEST_P(TwiceTheRatio, DrawsFinerEdgesAndMovesNothing)
{
    QScreen* second = SecondScreen();
    ASSERT_NE(second, nullptr) << "the suite runs on two screens";
    Panel onFirst(FirstScreen());
    Panel onSecond(second);
    ASSERT_TRUE(onFirst.Shown() && onSecond.Shown());
    TGraphicControl& single = GetParam().control(onFirst);
    TGraphicControl& twice = GetParam().control(onSecond);
    const QImage a = single.Image().convertToFormat(QImage::Format_ARGB32);
    const QImage b = twice.Image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(b.devicePixelRatio(), 2 * a.devicePixelRatio());
    // At a fractional ratio the last device pixel may be a partial one at one ratio only.
    const QSize common = b.size().boundedTo(a.size() * 2);
    ASSERT_LE((a.size() * 2 - common).width(), 1);

    const int reach = static_cast<int>(std::ceil(2 * a.devicePixelRatio()));  // two logical pixels
    int misplaced = 0;
    for (int y = 0; y < common.height(); ++y)
        for (int x = 0; x < common.width(); ++x) {
            bool found = false;
            for (int dy = -reach; dy <= reach && !found; ++dy)
                for (int dx = -reach; dx <= reach && !found; ++dx)
                    found = a.valid(x / 2 + dx, y / 2 + dy) && a.pixel(x / 2 + dx, y / 2 + dy) == b.pixel(x, y);
            misplaced += !found;
        }
    EXPECT_LE(misplaced, common.width() * common.height() / 10000);

    // Blocks of 2 × 2 device pixels that hold more than one colour: a blown-up picture has none.
    const TRect area = GetParam().detail(twice);
    const QRect blocks = QRect(QPoint(0, 0), common / 2) &
                         QRect(static_cast<int>(area.Left * a.devicePixelRatio()), static_cast<int>(area.Top * a.devicePixelRatio()),
                               static_cast<int>(area.Width() * a.devicePixelRatio()), static_cast<int>(area.Height() * a.devicePixelRatio()));
    int finer = 0;
    for (int y = blocks.top(); y <= blocks.bottom(); ++y)
        for (int x = blocks.left(); x <= blocks.right(); ++x) {
            const QRgb c = b.pixel(2 * x, 2 * y);
            finer += c != b.pixel(2 * x + 1, 2 * y) || c != b.pixel(2 * x, 2 * y + 1) || c != b.pixel(2 * x + 1, 2 * y + 1);
        }
    EXPECT_GE(finer, 50) << "edges at the finer resolution";
}

INSTANTIATE_TEST_SUITE_P(
    Instruments, TwiceTheRatio,
    testing::Values(
        // name, control, where its edges are
        Instrument{"MeterScaleLabels", [](Panel& p) -> TGraphicControl& { return p.meter; },
                   [](TGraphicControl& c) { return TRect{0, 0, c.Width(), c.Height() / 3}; }},
        Instrument{"MeterPointer",
                   [](Panel& p) -> TGraphicControl& {
                       p.meter.SetValue(0.9f);  // a slanting pointer
                       return p.meter;
                   },
                   [](TGraphicControl& c) { return static_cast<TAbRMeter&>(c).PointerRect(); }},
        Instrument{"LambdaDigits", [](Panel& p) -> TGraphicControl& { return p.readout; },
                   [](TGraphicControl& c) { return static_cast<TAbValueInd&>(c).ValueRect(); }},
        Instrument{"VoltsDigitsAndUnit", [](Panel& p) -> TGraphicControl& { return p.volts; },
                   [](TGraphicControl& c) { return c.ClientRect(); }},
        Instrument{"Lamp", [](Panel& p) -> TGraphicControl& { return p.lamp; },
                   [](TGraphicControl& c) { return TRect{0, 0, 24, c.Height()}; }}),
    [](const auto& info) { return std::string(info.param.name); });

// A value change redraws only where the old and the new pointer and marks lie, and nothing
// when they stay on the same pixels; the picture must still be exactly the one a full paint
// gives, at every step of a sweep, with the minimum and maximum marks moving and the pointer
// flashing off the scale.
TEST_F(ScreenScale, PointerMovedStepByStepLooksLikeOneDrawnAfresh)
{
    TAb270Meter meter{nullptr};
    TAb270Meter fresh{nullptr};
    for (TAb270Meter* m : {&meter, &fresh}) {
        SetUpLambdaMeter(*m, 0, 0, "LAMBDA CH1", "#0.000");
        m->SetOptions({opBevelOuter, opName1, opOverflow});
        m->MinMax().SetMinVisible(true);  // the main window hides them
        m->MinMax().SetMaxVisible(true);
        m->Repaint();
    }
    ASSERT_EQ(meter.Image().devicePixelRatio(), FirstScreen()->devicePixelRatio());
    // Steps of a pixel and less among them, which may or may not move a shape.
    const float sweep[] = {1.0f,   0.98f,   0.7f,   1.25f,  1.24f,  0.5f,    2.5f,   2.5f,  0.66f, 1.0f,
                           1.0001f, 1.0013f, 1.002f, 1.0027f, 1.004f, 1.01f, 12.8f, 10.0f, 1.0f};
    for (size_t i = 0; i < std::size(sweep); ++i) {
        for (TAb270Meter* m : {&meter, &fresh}) {
            m->SetValue(sweep[i]);
            if (m->IsFlashing())
                m->Perform(WM_FLASH, 0, static_cast<std::intptr_t>(i % 2));
        }
        fresh.Repaint();
        EXPECT_TRUE(meter.Image() == fresh.Image()) << "after " << sweep[i];
    }
}

// A readout changed step by step shows exactly what a full paint of its value shows, also for
// readings of 10 and more, whose texts give up decimals or, not fitting at all, go empty, and
// for changes that leave the text as it is.
TEST_F(ScreenScale, ReadoutChangedStepByStepLooksLikeOneDrawnAfresh)
{
    const struct {
        bool volts;
        std::vector<float> values;
    } readouts[] = {
        {false, {0.987f, 0.9871f, 1.0f, 9.999f, 10.0f, 12.345f, 65.535f, 65.54f, 0.5f, 123456.0f, 123457.0f, 0.987f,
                 9.9996f, 1.234f}},
        {true, {13.8f, 13.81f, 12.8f, 9.9f, 123.45f, 12345.0f, 13.8f, 0.0f}},
    };
    for (const auto& r : readouts) {
        TAbValueInd readout{nullptr};
        TAbValueInd fresh{nullptr};
        for (TAbValueInd* ind : {&readout, &fresh}) {
            if (r.volts)
                SetUpVoltsReadout(*ind, 0, 0);
            else
                SetUpLambdaReadout(*ind, 0, 0, "CH1 LAMBDA");
            ind->Repaint();
        }
        ASSERT_EQ(readout.Image().devicePixelRatio(), FirstScreen()->devicePixelRatio());
        for (float value : r.values) {
            readout.SetValue(value);
            fresh.SetValue(value);
            fresh.Repaint();
            EXPECT_TRUE(readout.Image() == fresh.Image()) << value;
        }
    }
}

}  // namespace
