// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The configuration window in the running program: the read sequence against the stand-in,
// and the write frames, byte for byte, on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Unit1NC.h"
#include "app/Unit2.h"
#include "app/Unit7.h"
#include "config/ConfigSequence.h"
#include "platform/framework/FormatFloat.h"
#include "serial/VaComm.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/GuiDriver.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"
#include "widgets/AbNumEdit.h"
#include "widgets/AbRMeter.h"

using namespace std::chrono_literals;

namespace {

std::string Hex(const std::string& bytes)
{
    std::string out;
    char b[4];
    for (const unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%s%02X", out.empty() ? "" : " ", c);
        out += b;
    }
    return out;
}

class ConfigTest : public testing::Test {
protected:
    ConfigTest()
    {
        form.Errors().SetShowBox([this](const std::string& message) { messages.push_back(message); });
    }

    void OpenPort()
    {
        app.ComPortForm().Button1Click();
        ASSERT_TRUE(form.VaComm().Active()) << (messages.empty() ? "" : messages.front());
    }

    void ClickMenu(QAction* action) { ::ClickMenu(form, action); }

    void OpenConfigWindow()
    {
        ClickMenu(form.Config1);
        ASSERT_TRUE(WaitUntil([&] { return config.isVisible(); }));
    }

    void ReadConfiguration()
    {
        QTest::mouseClick(config.Button1, Qt::LeftButton);
        ASSERT_TRUE(config.Sequence().Running());
        ASSERT_TRUE(WaitUntil([&] { return !config.Sequence().Running(); }));
    }

    ScopedConfigHome home;
    ScopedFormatLocale locale{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    TKorvantApplication app;
    TForm1& form = app.Form1();
    TConfigForm& config = app.ConfigForm();
    std::vector<std::string> messages;
};

// The stand-in with a known memory image, linked as COM1.
class ConfigReadTest : public ConfigTest {
protected:
    void SetUp() override
    {
        sim = std::make_unique<SimProcess>(std::vector<std::string>{
            "--com", "1", "--firmware", "28", "--lambda", "all=1.000",
            "--poke", "0x10=03E8", "--poke", "0x18=5859313233",    // 1000, XY123
            "--poke", "0x20=1234", "--poke", "0x28=41E9424344",    // 4660, AéBCD
            "--poke", "0x30=0001", "--poke", "0x38=4142004344",    // 1, AB then a zero byte
            "--poke", "0x40=9C40", "--poke", "0x48=51374B395A",    // 40000, Q7K9Z
            "--poke", "0x00=000007FE", "--poke", "0x08=01000000"});  // 2046, 1024
        form.show();
        OpenPort();
    }

    std::unique_ptr<SimProcess> sim;
};

}  // namespace

TEST_F(ConfigReadTest, ReadFillsEveryFieldAndWritesNothing)
{
    OpenConfigWindow();
    EXPECT_EQ(config.SensorSN_Edits[0]->text(), "*****");
    EXPECT_EQ(config.focusWidget(), config.AbNumEdits[2]) << "the first field to take the focus";
    ReadConfiguration();

    EXPECT_EQ(config.AbNumEdits[0]->Value(), 1000);
    EXPECT_EQ(config.AbNumEdits[1]->Value(), 4660);
    EXPECT_EQ(config.AbNumEdits[2]->Value(), 1);
    EXPECT_EQ(config.AbNumEdits[3]->Value(), 40000);
    EXPECT_EQ(config.AbNumEdits[3]->text(), "40000");
    EXPECT_EQ(config.SensorSN_Edits[0]->text(), "XY123");
    EXPECT_EQ(config.SensorSN_Edits[1]->text(), QString::fromUtf8("A\xC3\xA9" "BCD"));
    EXPECT_EQ(config.SensorSN_Edits[2]->text(), "AB");
    EXPECT_EQ(config.SensorSN_Edits[3]->text(), "Q7K9Z");
    EXPECT_EQ(config.AbNumCAN1->Value(), 2046);
    EXPECT_EQ(config.AbNumCAN2->Value(), 1024);
    EXPECT_EQ(config.VersionLabel1->text(), "V2.8");
    EXPECT_FALSE(config.Sequence().LoadingConfig());
    EXPECT_EQ(config.Sequence().ReadStep(), TConfigSequence::kLastStep);
    EXPECT_FALSE(form.Timer1->isActive());

    SimProcess::StatsMap stats = sim->Stats();
    EXPECT_EQ(stats["write"], 0) << "not one write frame during the read";
    EXPECT_EQ(stats["read"], 5);
    EXPECT_EQ(stats["version"], 1);
    EXPECT_FALSE(form.OnlineButtonChecked()) << "configuration mode until the window closes";
    EXPECT_TRUE(messages.empty());
    QDir().mkpath(KORVANT_SCREENSHOT_DIR);
    config.grab().save(QString(KORVANT_SCREENSHOT_DIR) + "/config.png");

    // Closing the window resumes live polling.
    const long long live = sim->Stats()["live_requests"];
    config.close();
    EXPECT_TRUE(form.OnlineButtonChecked());
    EXPECT_TRUE(WaitUntil([&] { return sim->Stats()["live_requests"] > live + 2; }));
}

TEST_F(ConfigReadTest, TypedSerialNumberReachesTheControllersMemory)
{
    OpenConfigWindow();
    ReadConfiguration();
    QLineEdit* serial = config.SensorSN_Edits[3];
    const long long writes = sim->Stats()["write"];
    serial->setFocus();
    serial->selectAll();
    QTest::keyClick(serial, Qt::Key_Backspace);
    QTest::keyClicks(serial, "XY1234");  // the sixth character is refused
    EXPECT_EQ(serial->text(), "XY123");
    ASSERT_TRUE(WaitUntil([&] { return sim->Stats()["write"] == writes + 6; }));
    EXPECT_EQ(sim->Command("peek 0x48 5"), "ok 58 59 31 32 33");
}

TEST_F(ConfigReadTest, OpeningAndClosingWithoutReadingKeepsLivePolling)
{
    OpenConfigWindow();
    EXPECT_TRUE(form.OnlineButtonChecked());
    const long long live = sim->Stats()["live_requests"];
    EXPECT_TRUE(WaitUntil([&] { return sim->Stats()["live_requests"] > live + 2; }));
    config.close();
    EXPECT_TRUE(form.OnlineButtonChecked());
    EXPECT_TRUE(WaitUntil([&] { return form.Meters[0]->Value() == 1.0f; }));
}

TEST_F(ConfigReadTest, ClosingMidSequenceResumesLivePollingAndEndsTheRead)
{
    OpenConfigWindow();
    QTest::mouseClick(config.Button1, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return config.Sequence().ReadStep() >= 3; }));
    config.close();
    EXPECT_TRUE(form.OnlineButtonChecked());
    EXPECT_FALSE(config.Sequence().Running());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(WaitUntil([&] { return form.Meters[0]->Value() == 1.0f; }));
    EXPECT_EQ(config.SensorSN_Edits[0]->text(), "*****") << "no field filled from a cut-off read";
}

namespace {

// column: name, stand-in arguments, the texts read into the calibration fields 1 to 4 and
// the CAN and slave CAN address fields
struct ReadAsSent {
    const char* name;
    std::vector<std::string> simArgs;
    std::array<std::string, 6> shown;
};

void PrintTo(const ReadAsSent& c, std::ostream* os)
{
    *os << c.name;
}

class ConfigReadAsSentTest : public ConfigTest, public testing::WithParamInterface<ReadAsSent> {
protected:
    std::array<std::string, 6> Shown() const
    {
        return {config.AbNumEdits[0]->Text(), config.AbNumEdits[1]->Text(), config.AbNumEdits[2]->Text(),
                config.AbNumEdits[3]->Text(), config.AbNumCAN1->Text(), config.AbNumCAN2->Text()};
    }
};

}  // namespace

// The fields' limits keep what the user enters in range; what a read puts there is shown as
// the controller sent it, and the focus passing through the fields changes and writes nothing.
TEST_P(ConfigReadAsSentTest, FieldsShowWhatTheControllerSent)
{
    std::vector<std::string> args{"--com", "1"};
    args.insert(args.end(), GetParam().simArgs.begin(), GetParam().simArgs.end());
    SimProcess sim(args);
    form.show();
    OpenPort();
    OpenConfigWindow();
    ReadConfiguration();
    const std::array<std::string, 6>& expected = GetParam().shown;
    EXPECT_EQ(Shown(), expected);

    ASSERT_TRUE(QTest::qWaitForWindowActive(&config));
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(config.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Shown(), expected) << "after the focus passed through every field";
    // A typed character is the first write the controller sees.
    QLineEdit* serial = config.SensorSN_Edits[0];
    serial->setFocus();
    serial->selectAll();
    QTest::keyClick(serial, Qt::Key_Z);
    ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["write"] >= 1; }));
    EXPECT_EQ(sim.Stats()["write"], 1);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

INSTANTIATE_TEST_SUITE_P(
    Config, ConfigReadAsSentTest,
    testing::Values(
        ReadAsSent{"BeyondTheLimits",
                   {"--poke", "0x10=0000", "--poke", "0x20=FFFF", "--poke", "0x30=0001", "--poke", "0x40=9C41",
                    "--poke", "0x00=00000FFF", "--poke", "0x08=00000FFF"},
                   {"0", "65535", "1", "40001", "4095", "4095"}},
        ReadAsSent{"SilentController", {"--fault", "silence"}, {"0", "0", "0", "0", "0", "0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigTest, ReadWithThePortClosedDoesNothing)
{
    form.show();
    config.ShowWindow();
    QTest::mouseClick(config.Button1, Qt::LeftButton);
    EXPECT_FALSE(config.Sequence().Running());
    EXPECT_FALSE(config.Sequence().LoadingConfig());
    EXPECT_TRUE(form.OnlineButtonChecked());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_TRUE(messages.empty());
}

namespace {

// The program's port on a pseudo-terminal: the test reads every frame it sends.
class ConfigWriteTest : public ConfigTest {
protected:
    void SetUp() override
    {
        home.Link("COM1", pty.SlavePath());
        form.show();
        OpenPort();
        config.ShowWindow();
    }

    // The write frames sent so far (live requests in between are skipped).
    std::vector<std::string> WriteFrames()
    {
        QTest::qWait(50);
        received += pty.Drain(std::chrono::milliseconds(100));
        std::vector<std::string> frames;
        for (size_t i = 0; i + 1 < received.size();) {
            const size_t length = static_cast<unsigned char>(received[i + 1]);
            if (static_cast<unsigned char>(received[i]) != 0xC0 || length < 4 || i + length > received.size())
                break;
            if (static_cast<unsigned char>(received[i + 2]) == 0x62)
                frames.push_back(Hex(received.substr(i, length)));
            i += length;
        }
        return frames;
    }

    void Type(TAbNumEdit* edit, const char* text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    PseudoTerminal pty;
    std::string received;
};

}  // namespace

TEST_F(ConfigWriteTest, NumericFieldsWriteTheirValueInRange)
{
    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
        const char* frame;
    };
    const Case cases[] = {
        // field       typed    shown    frame sent
        {"cal3", "1000", "1000", "C0 08 62 30 02 03 E8 B8"},
        {"cal1", "1000.6", "1000.6", "C0 08 62 10 02 03 E9 D7"},
        {"cal2", "50000", "40000", "C0 08 62 20 02 9C 40 D7"},
        {"cal2", "0", "1", "C0 08 62 20 02 00 01 B2"},
        {"cal1", "-5", "1", "C0 08 62 10 02 00 01 C2"},
        {"can", "2046", "2046", "C0 08 62 02 02 07 FE CC"},
        {"slave", "3000", "2046", "C0 08 62 0A 02 07 FE C4"},
        {"slave", "70000", "2046", nullptr},  // unchanged: nothing sent
    };
    for (const Case& c : cases) {
        const std::string field = c.field;
        TAbNumEdit* edit = field == "can"     ? config.AbNumCAN1
                           : field == "slave" ? config.AbNumCAN2
                                              : config.AbNumEdits[static_cast<size_t>(field.back() - '1')];
        received.clear();
        Type(edit, c.typed);
        EXPECT_EQ(edit->text(), c.shown) << c.field << " " << c.typed;
        const std::vector<std::string> frames = WriteFrames();
        if (c.frame)
            EXPECT_EQ(frames, std::vector<std::string>{c.frame}) << c.field << " " << c.typed;
        else
            EXPECT_TRUE(frames.empty()) << c.field << " " << c.typed;
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(ConfigWriteTest, EachTypedCharacterOfASerialNumberIsOneFrame)
{
    QLineEdit* serial = config.SensorSN_Edits[0];
    serial->setFocus();
    serial->selectAll();
    QTest::keyClick(serial, Qt::Key_Backspace);
    EXPECT_EQ(WriteFrames(), std::vector<std::string>{"C0 0B 62 18 05 00 00 00 00 00 B5"}) << "clearing sends too";
    received.clear();
    QTest::keyClicks(serial, "XY123");
    const std::vector<std::string> frames = WriteFrames();
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames.front(), "C0 0B 62 18 05 58 00 00 00 00 5D");
    EXPECT_EQ(frames.back(), "C0 0B 62 18 05 58 59 31 32 33 6E");
}
