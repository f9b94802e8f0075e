// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include <QApplication>
#include <QHelpEvent>
#include <QLocale>

#include "platform/framework/FormatFloat.h"
#include "widgets/_GClassAnalog.h"

namespace {

// Like the round meter: loading ends with EndUpdate, which runs ParamChange once.
class Meter : public TAbAnalogGControl {
public:
    using TAbAnalogGControl::TAbAnalogGControl;
    int paramChanges = 0;
    void ParamChange(TObject* Sender) override
    {
        ++paramChanges;
        TAbAnalogGControl::ParamChange(Sender);
    }

protected:
    void Loaded() override
    {
        TAbAnalogGControl::Loaded();
        EndUpdate();
    }
};

// A lambda meter as the main window configures it, loaded with its stored state, plus
// counters for every event.
class LambdaMeter : public testing::Test {
protected:
    LambdaMeter() : locale(QLocale::c()), m(nullptr)
    {
        m.BeginLoading();
        m.SetDigit(-133643);
        m.SetLimitUpper(2.0f);
        m.SetLimitLower(0.5f);
        for (auto set : {&TSectorSettings::SetSector1From, &TSectorSettings::SetSector1To,
                         &TSectorSettings::SetSector2From, &TSectorSettings::SetSector2To,
                         &TSectorSettings::SetSector3From, &TSectorSettings::SetSector3To})
            (m.SectorSettings().*set)(1);
        TSignalSettings& s = m.SignalSettings();
        s.SetName1("LAMBDA CH1");
        s.SetValueFormat("#0.000");
        s.SetValueFrom(0.65f);
        s.SetValueTo(1.35f);
        s.SetValueUnit("h");
        m.MinMax().SetMinVisible(false);
        m.MinMax().SetMaxVisible(false);
        m.SetValue(-92.9f);
        m.EndLoading();

        m.OnValueChange = [this](TObject*) { ++valueChanges; };
        m.OnMinMaxChange = [this](TObject*) { ++minMaxChanges; };
        m.OnOverflow = [this](TObject*, int ppt) { overflows.push_back(ppt); };
        m.OnLimit = [this](TObject*, bool lower, bool upper) { limits.push_back({lower, upper}); };
    }

    ScopedFormatLocale locale;
    Meter m;
    int valueChanges = 0;
    int minMaxChanges = 0;
    std::vector<int> overflows;
    std::vector<std::pair<bool, bool>> limits;
};

TEST_F(LambdaMeter, DerivedRatiosInSinglePrecision)
{
    EXPECT_EQ(m.SignalSettings().TotalValue(), 0.70000005f);
    EXPECT_EQ(m.SignalSettings().DigitPerValue(), 1428.5713f);
    EXPECT_EQ(m.SignalSettings().TotalDigit(), 1000);
    EXPECT_EQ(m.SignalSettings().ValueSizeStr(), "#0.000");
    EXPECT_EQ(m.paramChanges, 1);  // loading ends in exactly one recompute
}

TEST_F(LambdaMeter, StoredStateIsConsistent)
{
    EXPECT_EQ(m.Digit(), -133643);
    EXPECT_EQ(m.Value(), -92.9f);
    EXPECT_EQ(m.PPT(), 0);
    EXPECT_TRUE(m.LOverflow());
    EXPECT_TRUE(m.LLimit());
}

struct ReadingCase {
    float value;
    int digit;
    int ppt;
};
std::ostream& operator<<(std::ostream& os, const ReadingCase& c) { return os << c.value; }

// Reading, digital count, scale position (thousandths).
class LambdaReading : public LambdaMeter, public testing::WithParamInterface<ReadingCase> {};

TEST_P(LambdaReading, MapsToDigitAndPosition)
{
    const ReadingCase& c = GetParam();
    m.SetValue(c.value);
    EXPECT_EQ(m.Digit(), c.digit);
    EXPECT_EQ(m.PPT(), c.ppt);
    EXPECT_EQ(m.Value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(Readings, LambdaReading,
                         testing::Values(
                             //          value   digit  ppt
                             ReadingCase{1.0f, 500, 500},
                             ReadingCase{0.65f, 0, 0},
                             ReadingCase{1.35f, 1000, 1000},
                             ReadingCase{0.9f, 357, 357},
                             ReadingCase{1.2f, 786, 786},
                             ReadingCase{2.5f, 2643, 1000},   // clamped position, true reading
                             ReadingCase{0.0f, -929, 0},
                             ReadingCase{-92.9f, -133643, 0}));

TEST_F(LambdaMeter, OverflowIsReportedOnceOnLeavingJumpingAndReturning)
{
    m.SetValue(1.0f);
    overflows.clear();
    m.SetValue(2.5f);
    ASSERT_EQ(overflows, std::vector<int>{2643});
    EXPECT_TRUE(m.UOverflow());
    EXPECT_FALSE(m.LOverflow());
    EXPECT_TRUE(m.ULimit());
    EXPECT_EQ(m.PPT(), 1000);
    EXPECT_EQ(m.Value(), 2.5f);

    m.SetValue(3.0f);  // still above: no new report
    m.SetValue(0.0f);
    EXPECT_TRUE(m.LOverflow());
    EXPECT_FALSE(m.UOverflow());
    EXPECT_TRUE(m.LLimit());
    m.SetValue(2.5f);
    m.SetValue(1.0f);
    EXPECT_EQ(overflows, (std::vector<int>{2643, -929, 2643, 500}));
    EXPECT_FALSE(m.UOverflow());
    EXPECT_FALSE(m.LOverflow());
}

TEST_F(LambdaMeter, LimitsAreExclusiveAndReportedOnChange)
{
    m.SetValue(1.0f);
    limits.clear();
    m.SetValue(2.0f);  // equal to the upper limit: inside
    EXPECT_FALSE(m.ULimit());
    EXPECT_TRUE(limits.empty());
    m.SetValue(2.01f);
    m.SetValue(2.2f);
    m.SetValue(0.4f);
    EXPECT_EQ(limits, (std::vector<std::pair<bool, bool>>{{false, true}, {true, false}}));
}

TEST_F(LambdaMeter, WritingTheSameValueTwiceChangesOnce)
{
    m.SetValue(1.1f);
    m.SetValue(1.1f);
    m.SetValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(valueChanges, 1);
    EXPECT_EQ(m.Value(), 1.1f);
}

TEST_F(LambdaMeter, FirstReadingBecomesBothExtremesSilently)
{
    // The meter's first paint ends with the value-change update of the stored reading.
    m.ValueChanged();
    EXPECT_EQ(minMaxChanges, 0);
    EXPECT_EQ(m.MinMax().Min(), -92.9f);
    EXPECT_EQ(m.MinMax().Max(), -92.9f);

    valueChanges = 0;
    m.SetValue(1.0f);  // a new maximum
    EXPECT_EQ(minMaxChanges, 1);
    EXPECT_EQ(valueChanges, 2);
    EXPECT_EQ(m.MinMax().Max(), 1.0f);
    EXPECT_EQ(m.MaxPPT(), 500);
    EXPECT_EQ(m.MinPPT(), 0);
}

TEST_F(LambdaMeter, DigitWritesMoveTheValue)
{
    m.SetDigit(500);
    EXPECT_NEAR(m.Value(), 1.0f, 1e-6);
    m.SetDigit(-133643);
    EXPECT_NEAR(m.Value(), -92.9f, 1e-3);
    EXPECT_EQ(m.PPT(), 0);
}

TEST_F(LambdaMeter, RangeEqualToTheOtherEndIsIgnoredSilently)
{
    int notes = 0;
    m.SignalSettings().OnChange = [&](TObject*) { ++notes; };
    m.SignalSettings().SetValueFrom(1.35f);
    m.SignalSettings().SetValueTo(0.65f);
    EXPECT_EQ(notes, 0);
    EXPECT_EQ(m.SignalSettings().ValueFrom(), 0.65f);
}

TEST_F(LambdaMeter, SettingsChangesRecomputeThroughParamChange)
{
    m.SetValue(1.0f);
    int settings = 0;
    m.OnSettingsChange = [&](TObject*) { ++settings; };
    m.SignalSettings().SetValueTo(2.65f);  // span 2.0: 1.0 is now at 175
    EXPECT_EQ(settings, 1);
    EXPECT_EQ(m.Digit(), 175);
}

TEST_F(LambdaMeter, HintListsTheChosenParts)
{
    m.SetHintOptions({hoAutoHint, hoValue, hoName1, hoName2});
    m.SetValue(1.0f);
    EXPECT_EQ(m.Hint(), "Value= 1.000 h\rLAMBDA CH1\rSignalName2");
    m.SetHintOptions({hoAutoHint, hoMax});
    m.SetValue(1.25f);
    EXPECT_EQ(m.Hint(), "MAX= 1.250 h");
    m.SetHintOptions({hoValue});
    m.SetValue(1.3f);
    EXPECT_EQ(m.Hint(), "MAX= 1.250 h");  // without hoAutoHint the hint is left alone
}

// The hint text is built only when it is about to be shown, from the last reading.
TEST_F(LambdaMeter, ToolTipShowsTheHintOfTheLastReading)
{
    m.SetShowHint(true);
    m.SetHintOptions({hoAutoHint, hoValue, hoName1});
    m.SetValue(1.0f);
    m.SetValue(0.95f);
    QHelpEvent ask(QEvent::ToolTip, QPoint(5, 5), m.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&m, &ask);
    EXPECT_EQ(m.toolTip(), "Value= 0.950 h\nLAMBDA CH1");
    m.SetShowHint(false);
    EXPECT_EQ(m.toolTip(), "");
}

TEST_F(LambdaMeter, ResetMinMaxRestartsAtThePresentReading)
{
    m.SetValue(1.2f);
    m.SetValue(0.9f);
    minMaxChanges = 0;
    m.ResetMinMax();
    EXPECT_EQ(m.MinMax().Min(), 0.9f);
    EXPECT_EQ(m.MinMax().Max(), 0.9f);
    EXPECT_EQ(m.MinPPT(), 357);
    EXPECT_EQ(m.MaxPPT(), 357);
    EXPECT_EQ(minMaxChanges, 1);

    const TDateTime when = ToDateTime(2026, 1, 2, 3, 4, 5);
    m.SetMax(1.35f, when);
    EXPECT_EQ(m.MaxPPT(), 1000);
    EXPECT_EQ(m.MinMax().MaxDateTime(), when);
}

TEST(TAbAnalogGControl, CreationState)
{
    TAbAnalogGControl c(nullptr);
    EXPECT_EQ(c.Value(), 50.0f);
    EXPECT_EQ(c.Digit(), 500);
    EXPECT_EQ(c.PPT(), 500);
    EXPECT_EQ(c.LimitUpper(), 90.0f);
    EXPECT_EQ(c.LimitLower(), 10.0f);
    EXPECT_FALSE(c.ULimit());
    EXPECT_FALSE(c.LLimit());
    EXPECT_EQ(c.HintOptions().Bits(), 0xFFu);
    EXPECT_EQ(c.Font().Name(), "Arial");
    EXPECT_EQ(c.Font().Height(), 11);
    EXPECT_EQ(c.cAlarm0(), clYellow);
    EXPECT_EQ(c.cAlarm1(), clRed);
    c.SetLimitLower(0);
    EXPECT_EQ(c.LimitLower(), 0.0001f);
}

TEST(TAbAnalogGControl, SectorsReportEnteringAndLeavingEachForItself)
{
    ScopedFormatLocale locale(QLocale::c());
    Meter m(nullptr);
    m.BeginLoading();
    m.EndLoading();  // range 0..100, default sectors 0-333, 334-666, 667-1000
    std::vector<std::tuple<int, bool>> events;
    m.OnSectorChange = [&](TObject*, bool s1, bool s2, bool s3, bool enter) {
        events.emplace_back(s1 ? 1 : s2 ? 2 : s3 ? 3 : 0, enter);
    };
    m.SetValue(20.0f);
    m.SetValue(50.0f);
    m.SetValue(90.0f);
    EXPECT_EQ(events, (std::vector<std::tuple<int, bool>>{{1, true}, {1, false}, {2, true}, {2, false}, {3, true}}));
    EXPECT_TRUE(m.InSector3());
    TColor col = clNone;
    EXPECT_TRUE(m.SectorSettings().CheckSectorColor(500, col));
    EXPECT_EQ(col, RGB(0, 128, 0));
    col = clNone;
    EXPECT_FALSE(m.SectorSettings().CheckSectorColor(1001, col));
    EXPECT_EQ(col, clNone);
}

TEST(TAbAnalogGControl, LogarithmicScale)
{
    ScopedFormatLocale locale(QLocale::c());
    Meter m(nullptr);
    m.BeginLoading();
    m.SignalSettings().SetValueFrom(1.0f);
    m.SignalSettings().SetValueTo(1000.0f);
    m.EndLoading();
    m.SetLogScale(true);
    m.SetValue(10.0f);
    EXPECT_EQ(m.Digit(), 333);
    m.SetValue(100.0f);
    EXPECT_EQ(m.Digit(), 667);
    m.SetValue(-1.0f);  // non-positive readings are ignored
    EXPECT_EQ(m.Value(), 100.0f);
    m.SetDigit(1000);
    EXPECT_NEAR(m.Value(), 1000.0f, 0.01f);
    m.SignalSettings().SetValueTo(3000.0f);  // the writer rounds to a decade
    EXPECT_EQ(m.SignalSettings().ValueTo(), 1000.0f);
}

TEST(TAbAnalogGControl, DesigningRecomputesInsteadOfTheValueUpdate)
{
    Meter m(nullptr);
    m.SetDesigning(true);
    m.BeginLoading();
    m.EndLoading();
    int valueChanges = 0;
    m.OnValueChange = [&](TObject*) { ++valueChanges; };
    const int before = m.paramChanges;
    m.SetValue(30.0f);
    EXPECT_EQ(m.paramChanges, before + 1);
    EXPECT_EQ(valueChanges, 0);
    EXPECT_EQ(m.Digit(), 300);
}

struct FormatWidthCase {
    const char* format;
    const char* widest;
};
std::ostream& operator<<(std::ostream& os, const FormatWidthCase& c) { return os << c.format; }

// Format, the section used to size the value text.
class ValueFormatWidth : public testing::TestWithParam<FormatWidthCase> {};

TEST_P(ValueFormatWidth, PicksTheWiderSection)
{
    EXPECT_EQ(TSignalSettings::AbGetValueFormat(GetParam().format), GetParam().widest);
}

INSTANTIATE_TEST_SUITE_P(Formats, ValueFormatWidth,
                         testing::Values(
                             //              format          widest
                             FormatWidthCase{"#0.000", "#0.000"},
                             FormatWidthCase{"#0.0;-#0.0", "-#0.0"},
                             FormatWidthCase{"0.00;-0", "0.00"},
                             FormatWidthCase{"ab;cd", "cd"},       // a tie gives the latter
                             FormatWidthCase{"a;bb;c", "bb;c"}));

}  // namespace
