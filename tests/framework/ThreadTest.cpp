// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "platform/framework/Thread.h"

namespace {

// Runs a function as its Execute.
class Worker : public TThread {
public:
    explicit Worker(std::function<void(Worker&)> body) : FBody(std::move(body)) {}
    ~Worker() override { WaitFor(); }

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(Worker&)> FBody;
};

}  // namespace

TEST(TThread, SynchronizeRunsOnTheUserInterfaceThreadAndWaits)
{
    std::atomic<bool> ranOnMain{false};
    std::atomic<int> after{0};
    Worker worker([&](Worker&) {
        TThread::Synchronize([&] { ranOnMain = QThread::currentThread() == qApp->thread(); });
        after = 1;  // only once the call has run
    });
    worker.Start();
    // No event loop is running: WaitFor itself runs the queued call.
    worker.WaitFor();
    EXPECT_TRUE(ranOnMain);
    EXPECT_EQ(after, 1);
}

TEST(TThread, SynchronizeRethrowsInTheWaitingThread)
{
    std::string caught;
    Worker worker([&](Worker&) {
        try {
            TThread::Synchronize([] { throw std::runtime_error("failed on the UI thread"); });
        } catch (const std::exception& e) {
            caught = e.what();
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(caught, "failed on the UI thread");
}

TEST(TThread, EventLoopRunsQueuedCalls)
{
    std::atomic<int> calls{0};
    Worker worker([&](Worker& self) {
        while (!self.Terminated() && calls < 3)
            TThread::Synchronize([&] { ++calls; });
    });
    worker.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (calls < 3 && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(calls, 3);
    worker.Terminate();
    worker.WaitFor();
}

TEST(TThread, SynchronizeOnTheUserInterfaceThreadRunsAtOnce)
{
    int value = 0;
    TThread::Synchronize([&] { value = 7; });
    EXPECT_EQ(value, 7);
}

TEST(TThread, TerminateIsSeenByExecute)
{
    std::atomic<bool> started{false};
    Worker worker([&](Worker& self) {
        started = true;
        while (!self.Terminated())
            std::this_thread::yield();
    });
    worker.SetPriority(tpLower);
    worker.Start();
    EXPECT_EQ(worker.Priority(), tpLower);
    worker.Terminate();
    worker.WaitFor();
    EXPECT_TRUE(worker.Finished());
}
