// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>

#include "platform/comm/PortAccess.h"

namespace {

constexpr uid_t kOtherUser = 65534;  // nobody
constexpr gid_t kOtherGroup = 65534;
constexpr gid_t kSerialGroup = 4242;  // stands for dialout

struct AccessCase {
    mode_t mode;
    bool inSerialGroup;
    bool mayOpen;
};

class MayOpenDeviceTest : public testing::TestWithParam<AccessCase> {};

// Asks the question as another user who may be in the file's group: the superuser passes
// any check, so the answer is only worth something from someone else.
bool MayOpenAsOtherUser(const std::string& path, bool inSerialGroup)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t groups[] = {kSerialGroup};
        if (::setgroups(inSerialGroup ? 1 : 0, groups) != 0 || ::setgid(kOtherGroup) != 0 ||
            ::setuid(kOtherUser) != 0)
            ::_exit(2);
        ::_exit(comm::MayOpenDevice(path) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not become another user";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_P(MayOpenDeviceTest, FollowsTheModeAndTheUsersGroups)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser to ask as another user";
    const AccessCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ::chmod(dir.path().toLocal8Bit().constData(), 0711);  // others may reach the file
    const std::string path = dir.filePath("ttyUSB0").toStdString();
    std::ofstream(path).put('x');
    ASSERT_EQ(::chown(path.c_str(), 0, kSerialGroup), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);

    EXPECT_EQ(MayOpenAsOtherUser(path, c.inSerialGroup), c.mayOpen);
    EXPECT_TRUE(comm::MayOpenDevice(path)) << "the superuser passes";
}

INSTANTIATE_TEST_SUITE_P(Modes, MayOpenDeviceTest,
                         testing::Values(
                             // mode  in the group  may open
                             AccessCase{0666, false, true},
                             AccessCase{0660, true, true},
                             AccessCase{0660, false, false},
                             AccessCase{0640, true, false},  // reading alone is not enough
                             AccessCase{0600, true, false}));

TEST(MayOpenDevice, MissingDeviceMayNotBeOpened)
{
    EXPECT_FALSE(comm::MayOpenDevice("/nonexistent/ttyUSB0"));
}
