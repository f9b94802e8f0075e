// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/DeviceRows.h"

namespace {

struct HintCase {
    const char* portDir;  // below the temporary home folder
    bool exists;
    std::vector<const char*> names;  // files already in it
    const char* expected;            // ~ is the home folder
};

class DeviceHintTest : public testing::TestWithParam<HintCase> {
protected:
    DeviceHintTest() : FOldHome(qgetenv("HOME")) { qputenv("HOME", home.path().toUtf8()); }
    ~DeviceHintTest() override { qputenv("HOME", FOldHome); }

    QTemporaryDir home;

private:
    QByteArray FOldHome;
};

}  // namespace

TEST_P(DeviceHintTest, SuggestsALinkUnderAFreeNumber)
{
    const HintCase& c = GetParam();
    const QString dir = home.path() + "/" + c.portDir;
    if (c.exists) {
        ASSERT_TRUE(QDir().mkpath(dir));
    }
    for (const char* name : c.names) {
        QFile file(dir + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    comm::SerialDeviceEntry device;
    device.path = "/dev/ttyUSB40";
    EXPECT_EQ(DeviceHint(device, 0, dir, 255).toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DeviceHintTest,
    testing::Values(
        // port directory       exists  names there         hint
        HintCase{".config/korvant/ports", true, {}, "To open /dev/ttyUSB40, link a number to it:\n"
                                                    "ln -s /dev/ttyUSB40 ~/.config/korvant/ports/COM97"},
        HintCase{"ports", true, {"com97", "COM98", "COM1"}, "To open /dev/ttyUSB40, link a number to it:\n"
                                                            "ln -s /dev/ttyUSB40 ~/ports/COM99"},
        HintCase{"new/ports", false, {}, "To open /dev/ttyUSB40, link a number to it:\n"
                                         "mkdir -p ~/new/ports && ln -s /dev/ttyUSB40 ~/new/ports/COM97"},
        HintCase{"my ports", true, {}, "To open /dev/ttyUSB40, link a number to it:\n"
                                       "ln -s /dev/ttyUSB40 ~/'my ports'/COM97"}));

TEST(DeviceRows, ANumberTheSpinBoxCannotTakeReachesNothing)
{
    comm::SerialDeviceEntry device;
    device.path = "/dev/ttyUSB0";
    device.numbers = {300, 33};
    EXPECT_EQ(ReachableNumber(device, 1, 255), 33);
    device.numbers = {300};
    device.mayOpen = false;
    ASSERT_EQ(ReachableNumber(device, 1, 255), 0);
    const QStringList lines = DeviceRowLines(device, 0);
    EXPECT_EQ(lines.front(), "/dev/ttyUSB0");
    EXPECT_TRUE(lines.contains("no number opens it: link a name to it in the port directory"));
    EXPECT_TRUE(lines.contains("no permission: this user may not open it"));
    EXPECT_EQ(DeviceHint(device, 0, "/nonexistent", 255).left(8), "To open ") << "no number comes before permission";
}
