// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/comm/DevicePath.h"
#include "platform/comm/SystemError.h"
#include "tests/support/ScopedConfigHome.h"

using namespace comm;

TEST(FormatDeviceName, SubstitutesTheNumberOnlyWhereAsked)
{
    struct Case {
        const char* templ;
        long long number;
        const char* expected;
    };
    const Case cases[] = {
        // template          number  result
        {"COM%d", 6, "COM6"},
        {"COM%d", 12, "COM12"},
        {"/dev/ttyUSB%d", 0, "/dev/ttyUSB0"},
        {"COM%i", 2147483647, "COM2147483647"},
        {"ttyS%u", 3, "ttyS3"},
        {"fixed", 9, "fixed"},
        {"100%%-%d", 1, "100%-1"},
        {"%s%n%x%d", 5, "%s%n%x5"},  // never a printf format
        {"%d%d", 4, "4%d"},
        {"trailing%", 1, "trailing%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDeviceName(c.templ, c.number), c.expected) << c.templ;
}

TEST(ResolveDevicePath, LinksFirstThenTheTableThenDev)
{
    ScopedConfigHome home;
    home.Link("COM6", "/dev/pts/42");
    home.Link("Com40", "/dev/ttyACM9");
    home.Link("COM50", "relative-target");
    struct Case {
        const char* name;
        std::string expected;
    };
    const Case cases[] = {
        // name          path
        {"COM6", "/dev/pts/42"},
        {"com6", "/dev/pts/42"},
        {"COM40", "/dev/ttyACM9"},  // a link beats the table
        {"COM50", home.PortDir() + "/relative-target"},
        {"COM1", "/dev/ttyS0"},
        {"COM32", "/dev/ttyS31"},
        {"COM33", "/dev/ttyUSB0"},
        {"COM64", "/dev/ttyUSB31"},
        {"COM65", "/dev/ttyACM0"},
        {"COM96", "/dev/ttyACM31"},
        {"COM97", "/dev/COM97"},
        {"COM0", "/dev/COM0"},
        {"ttyAMA0", "/dev/ttyAMA0"},
        {"/dev/serial/by-id/x", "/dev/serial/by-id/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveDevicePath(c.name), c.expected) << c.name;
    EXPECT_EQ(PortDirectory(), home.PortDir());
}

TEST(ErrorText, IsTheSystemTextWithoutTrailingNoise)
{
    EXPECT_EQ(ErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(ErrorText(EBUSY), "Device or resource busy");
    EXPECT_EQ(ErrorText(EACCES), "Permission denied");
    EXPECT_FALSE(ErrorText(123456).empty());
}
