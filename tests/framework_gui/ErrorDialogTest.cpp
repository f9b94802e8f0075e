// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <vector>

#include "platform/framework/ApplicationErrors.h"
#include "platform/framework/ErrorDialog.h"

namespace {

// A dialog whose "box" records the message and, while it is open, lets the test report more.
class ErrorDialogTest : public testing::Test {
protected:
    ErrorDialogTest()
        : dialog([this](const std::string& message) {
              shown.push_back(message);
              if (whileOpen) {
                  auto more = std::move(whileOpen);
                  more();
              }
          })
    {
    }

    std::vector<std::string> shown;
    std::function<void()> whileOpen;
    TErrorDialog dialog;
};

}  // namespace

TEST_F(ErrorDialogTest, ShowsFromTheEventLoopNotInsideTheCaller)
{
    dialog.Install();
    GuardedCall([] { throw std::runtime_error("port failed"); });
    EXPECT_TRUE(shown.empty()) << "the reporting code returns first";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, 5000));
    EXPECT_EQ(shown, std::vector<std::string>{"port failed"});
}

TEST_F(ErrorDialogTest, IdenticalMessagesNeverStackAndOthersWaitTheirTurn)
{
    dialog.Show("tick failed");
    dialog.Show("tick failed");  // waiting already
    whileOpen = [this] {
        EXPECT_TRUE(dialog.Showing());
        dialog.Show("tick failed");  // the one on screen
        dialog.Show("log failed");
        dialog.Show("log failed");
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 2 && !dialog.Showing(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(shown, (std::vector<std::string>{"tick failed", "log failed"}));
    dialog.Show("tick failed");  // closed by now: shown again
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 3; }, 5000));
}
