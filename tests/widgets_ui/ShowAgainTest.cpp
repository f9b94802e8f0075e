// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Meters, readouts and lamps that change while hidden show their current state once they are
// shown again, however they were hidden and shown.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include <QTest>
#include <QWidget>

#include "app/DesignSettings.h"
#include "platform/framework/FormatFloat.h"
#include "widgets/AbFlashT.h"
#include "widgets/AbLED.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

namespace {

struct ShowCase {
    const char* control;
    std::function<TGraphicControl*(QWidget& Form)> make;  // set up as the main window has it
    std::function<void(TGraphicControl& Control, int Step)> change;
};

void PrintTo(const ShowCase& c, std::ostream* os)
{
    *os << c.control;
}

class ShowAgain : public testing::TestWithParam<ShowCase> {
protected:
    ShowAgain() { SetFlashTick(0); }
    ~ShowAgain() override { ShutdownFlashTimer(); }

    ScopedFormatLocale locale{QLocale::c()};
    QWidget form;
};

QImage OnScreen(TGraphicControl& c)
{
    return c.grab().toImage();
}

TEST_P(ShowAgain, ShowsWhatChangedWhileHidden)
{
    form.resize(300, 300);
    TGraphicControl& control = *GetParam().make(form);  // the form frees it
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    struct Way {
        const char* name;
        std::function<void()> hide, show;
    };
    const Way ways[] = {
        {"SetVisible(false), show()", [&] { control.SetVisible(false); }, [&] { control.show(); }},
        {"hide(), SetVisible(true)", [&] { control.hide(); }, [&] { control.SetVisible(true); }},
        {"setVisible", [&] { control.setVisible(false); }, [&] { control.setVisible(true); }},
    };
    int step = 0;
    for (const Way& way : ways) {
        const QImage before = OnScreen(control);
        way.hide();
        GetParam().change(control, ++step);
        way.show();
        EXPECT_TRUE(control.Visible()) << way.name;
        const QImage shown = OnScreen(control);
        control.Repaint();
        const QImage current = OnScreen(control);
        EXPECT_TRUE(current != before) << way.name << ": the change does not show at all";
        EXPECT_TRUE(shown == current) << way.name << ": shown with its old picture";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ShowAgain,
    testing::Values(
        // control, how it is set up, what changes at each step
        ShowCase{"meter",
                 [](QWidget& form) {
                     auto* m = new TAb270Meter(nullptr, &form);
                     SetUpLambdaMeter(*m, 0, 0, "LAMBDA CH1", "#0.000");
                     return m;
                 },
                 [](TGraphicControl& c, int step) { static_cast<TAb270Meter&>(c).SetValue(0.7f + 0.2f * step); }},
        ShowCase{"readout",
                 [](QWidget& form) {
                     auto* r = new TAbValueInd(nullptr, &form);
                     SetUpLambdaReadout(*r, 0, 0, "CH1 LAMBDA");
                     return r;
                 },
                 [](TGraphicControl& c, int step) { static_cast<TAbValueInd&>(c).SetValue(0.7f + 0.2f * step); }},
        ShowCase{"lamp",
                 [](QWidget& form) {
                     auto* l = new TAbLED(nullptr, &form);
                     SetUpLamp(*l, 0, 0, 217, "LAMBDA DATA ONLINE", 18, "Arial", 16, true, clRed, clAppWorkSpace);
                     return l;
                 },
                 [](TGraphicControl& c, int step) { static_cast<TAbLED&>(c).SetChecked(step % 2 == 1); }}),
    [](const testing::TestParamInfo<ShowCase>& info) { return std::string(info.param.control); });

}  // namespace
