// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "platform/framework/Exception.h"
#include "platform/framework/Strings.h"

namespace {

TEST(TStrings, ListOperationsAndText)
{
    TStrings s;
    s.Add("one");
    s.Add("three");
    s.Insert(1, "two");
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.Strings(1), "two");
    EXPECT_EQ(s.IndexOf("three"), 2);
    EXPECT_EQ(s.Text(), "one\ntwo\nthree\n");
    s.Delete(0);
    EXPECT_EQ(s.Strings(0), "two");
    EXPECT_THROW(s.Strings(5), ERangeError);

    s.SetText("a\r\nb\rc\nd");
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.Strings(3), "d");

    TStrings copy;
    copy.Assign(s);
    EXPECT_EQ(copy.Text(), s.Text());
}

}  // namespace
