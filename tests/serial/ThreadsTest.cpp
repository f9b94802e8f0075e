// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The serial component's event thread and write thread: deliveries on the user-interface
// thread, their order and count, the write queue and its limits. Each test drives the
// user-interface thread's event loop itself, so it decides when deliveries may run.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/framework/ApplicationErrors.h"
#include "serial/VaComm.h"
#include "serial/VaDispatcher.h"
#include "serial/VaDisplay.h"
#include "tests/support/MessageOf.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/Watchdog.h"

using namespace std::chrono_literals;

namespace {

// Runs the event loop until done() holds or the (generous) timeout passes.
bool ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the event loop for a while, for checks that nothing (more) happens.
void ProcessFor(std::chrono::milliseconds time)
{
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Waits, without running the event loop, until done() holds (or ten seconds pass).
bool WaitWithoutDelivering(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Waits, without running the event loop, until the device has received n bytes.
bool ReceivedWithoutDelivering(TVaComm& port, int n)
{
    return WaitWithoutDelivering([&] { return port.ReadBufUsed() >= n; });
}

// Threads of this process right now.
int ThreadCount()
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                          std::filesystem::directory_iterator()));
}

class ThreadsTest : public testing::Test {
protected:
    ThreadsTest()
    {
        port->SetDeviceName(pty.SlavePath());
        port->SetBaudrate(br19200);
        SetApplicationExceptionHandler([this](const std::string& message) { errors.push_back(message); });
    }
    // The handlers may refer to the test body's locals, which are gone by now: a delivery
    // still queued must not reach them when the port closes.
    ~ThreadsTest() override
    {
        port->OnRxChar = nullptr;
        port->OnRxBuf = nullptr;
        port->OnTxEmpty = nullptr;
        port->OnClose = nullptr;
        port.reset();
        SetApplicationExceptionHandler(nullptr);
    }

    std::vector<int> counts;  // Count of each OnRxChar
    std::vector<std::string> errors;
    PseudoTerminal pty;
    std::unique_ptr<TVaComm> port = std::make_unique<TVaComm>(nullptr);
};

}  // namespace

TEST_F(ThreadsTest, BurstWhileBusyIsOneEventWithEverythingWaiting)
{
    std::string got;
    port->OnRxChar = [&](TObject*, std::int32_t count) {
        counts.push_back(count);
        got += port->ReadText();
    };
    port->Open();
    pty.Send("C0");
    pty.Send("0426");
    pty.Send("15");
    ASSERT_TRUE(ReceivedWithoutDelivering(*port, 8));
    ASSERT_TRUE(ProcessUntil([&] { return !counts.empty(); }));
    ProcessFor(200ms);
    EXPECT_EQ(counts, std::vector<int>{8}) << "one event, no event with count 0";
    EXPECT_EQ(got, "C0042615");
}

TEST_F(ThreadsTest, UnreadBytesArrivingDuringTheHandlerGiveExactlyOneMoreEvent)
{
    port->OnRxChar = [&](TObject*, std::int32_t count) {
        counts.push_back(count);
        if (counts.size() == 1) {
            pty.Send("more");  // arrives while the handler runs; left unread
            ReceivedWithoutDelivering(*port, count + 4);
        } else {
            port->ReadText();
        }
    };
    port->Open();
    pty.Send("first");
    ASSERT_TRUE(ProcessUntil([&] { return counts.size() >= 2; }));
    ProcessFor(200ms);
    EXPECT_EQ(counts, (std::vector<int>{5, 9}));
}

TEST_F(ThreadsTest, OldUnreadBytesNeverWakeTheThreadAgain)
{
    port->OnRxChar = [&](TObject*, std::int32_t count) { counts.push_back(count); };
    port->Open();
    pty.Send("abc");
    ASSERT_TRUE(ProcessUntil([&] { return !counts.empty(); }));
    ProcessFor(200ms);
    EXPECT_EQ(counts, std::vector<int>{3});
    pty.Send("d");  // a new arrival is announced, with the old bytes counted
    ASSERT_TRUE(ProcessUntil([&] { return counts.size() == 2; }));
    EXPECT_EQ(counts.back(), 4);
}

TEST_F(ThreadsTest, PurgeBeforeTheDeliveryRunsMeansNoEvent)
{
    port->OnRxChar = [&](TObject*, std::int32_t count) { counts.push_back(count); };
    port->Open();
    pty.Send("stale");
    ASSERT_TRUE(ReceivedWithoutDelivering(*port, 5));
    port->PurgeRead();
    ProcessFor(300ms);
    EXPECT_TRUE(counts.empty());
}

TEST_F(ThreadsTest, NoMonitoredEventsMeansNoEventThread)
{
    port->SetMonitorEvents({});
    port->OnRxChar = [&](TObject*, std::int32_t count) { counts.push_back(count); };
    port->Open();
    EXPECT_EQ(port->EventMask(), 0u);
    pty.Send("x");
    ASSERT_TRUE(ReceivedWithoutDelivering(*port, 1));
    ProcessFor(200ms);
    EXPECT_TRUE(counts.empty());
}

TEST_F(ThreadsTest, FailingHandlerIsReportedAndLaterEventsStillArrive)
{
    port->OnRxChar = [&](TObject*, std::int32_t count) {
        counts.push_back(count);
        port->ReadText();
        if (counts.size() == 1)
            throw EVaCommError("handler failed");
    };
    port->Open();
    pty.Send("1");
    ASSERT_TRUE(ProcessUntil([&] { return counts.size() == 1; }));
    pty.Send("2");
    ASSERT_TRUE(ProcessUntil([&] { return counts.size() == 2; }));
    EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
}

TEST_F(ThreadsTest, DeliveryQueuedWhenCloseBeginsRunsInsideCloseBeforeOnClose)
{
    std::vector<std::string> journal;
    port->OnRxChar = [&](TObject*, std::int32_t count) {
        journal.push_back("rx " + std::to_string(count) + (port->Active() ? " open" : " closed") + " " +
                          port->ReadText());
    };
    port->OnClose = [&](TObject*) { journal.push_back("close"); };
    port->Open();
    pty.Send("last");
    WaitWithoutDelivering([] { return TThread::QueuedCalls() != 0; });
    ASSERT_EQ(TThread::QueuedCalls(), 1);
    port->Close();
    EXPECT_EQ(journal, (std::vector<std::string>{"rx 4 open last", "close"}));
}

namespace {

class RecordingClient : public IVaCommUser {
public:
    void HandleCommEvent(std::int32_t Mask) override { masks.push_back(Mask); }
    void HandleCommData(const std::uint8_t* Data, std::int32_t Count) override
    {
        data.append(reinterpret_cast<const char*>(Data), static_cast<size_t>(Count));
    }
    std::vector<std::int32_t> masks;
    std::string data;
};

}  // namespace

TEST_F(ThreadsTest, ClientsTakeTheDataInsteadOfOnRxChar)
{
    auto client = std::make_shared<RecordingClient>();
    TVaDispatcher dispatcher(client);
    port->InsertClient(&dispatcher);
    EXPECT_EQ(dispatcher.Comm(), port.get());
    std::string rxBuf;
    port->OnRxChar = [&](TObject*, std::int32_t count) { counts.push_back(count); };
    port->OnRxBuf = [&](TObject*, const std::uint8_t* data, std::int32_t count) {
        rxBuf.append(reinterpret_cast<const char*>(data), static_cast<size_t>(count));
    };
    port->Open();
    pty.Send("to client");
    ASSERT_TRUE(ProcessUntil([&] { return rxBuf.size() == 9; }));
    EXPECT_EQ(client->data, "to client");
    EXPECT_TRUE(counts.empty());

    port->DisableControls();
    pty.Send("!");
    ASSERT_TRUE(ProcessUntil([&] { return rxBuf.size() == 10; }));
    EXPECT_EQ(client->data, "to client") << "disabled: the client hears nothing";

    // The dispatcher forwards writes while linked, and leaves the list when destroyed.
    EXPECT_TRUE(dispatcher.WriteText("hi"));
    EXPECT_EQ(pty.Receive(2), "hi");
    port->RemoveClient(&dispatcher);
    EXPECT_EQ(dispatcher.Comm(), nullptr);
    EXPECT_FALSE(dispatcher.WriteChar('x'));
}

TEST_F(ThreadsTest, QueuedWritesArriveInOrderAndEachDrainIsOneTxEmpty)
{
    int txEmpty = 0;
    port->OnTxEmpty = [&](TObject*) { ++txEmpty; };
    port->Open();
    for (const char c : std::string("\xC0\x04\x26\x15\xAA\x55"))
        EXPECT_TRUE(port->WriteChar(c)) << "queued at once";
    // The write thread may have drained the first byte alone; it then waits with that
    // transmit-empty report until the event loop runs, before it sends the rest.
    std::string sent;
    ProcessUntil([&] {
        sent += pty.Receive(6 - sent.size(), 10ms);
        return sent.size() == 6;
    });
    EXPECT_EQ(sent, "\xC0\x04\x26\x15\xAA\x55");
    ASSERT_TRUE(ProcessUntil([&] { return txEmpty >= 1; }));
    ProcessFor(100ms);
    const int afterFirst = txEmpty;
    EXPECT_LE(afterFirst, 2) << "one per drain: the six bytes left in one or two writes";
    EXPECT_TRUE(port->WriteText("next"));
    EXPECT_EQ(pty.Receive(4), "next");
    ASSERT_TRUE(ProcessUntil([&] { return txEmpty == afterFirst + 1; }));
    ProcessFor(100ms);
    EXPECT_EQ(txEmpty, afterFirst + 1);
}

// A frame written byte by byte while queued writes are held leaves whole, with no event loop
// running: the thread cannot send the first byte alone and then wait with its transmit-empty
// delivery for the user-interface thread while the rest of the frame sits in the queue.
TEST_F(ThreadsTest, FrameWrittenWhileWritesAreHeldLeavesWhole)
{
    port->Open();
    {
        const auto whole = port->HoldQueuedWrites(4);
        ASSERT_TRUE(port->WriteChar('\xC0'));
        EXPECT_EQ(pty.Receive(1, 100ms), "") << "a byte left while writes were held";
        for (const char c : std::string("\x04\x26\x15"))
            ASSERT_TRUE(port->WriteChar(c));
    }
    EXPECT_EQ(pty.Receive(4), "\xC0\x04\x26\x15");
}

// Frames written back to back under a hold never stop the thread from making room in a
// small queue: a frame the queue has no room for is not held, and waits for room instead
// of failing.
TEST_F(ThreadsTest, HoldingWritesNeverKeepsAFullQueueFull)
{
    port->Buffers().SetWriteSize(8);
    port->Buffers().SetWriteTimeout(2000);
    port->SetSyncThreads(false);  // the thread reports drains itself: no event loop needed
    port->Open();
    std::string frames;
    for (int i = 0; i < 50; ++i) {
        const std::string frame = {'\xC0', static_cast<char>('a' + i % 26), '\x26', static_cast<char>(i)};
        const auto whole = port->HoldQueuedWrites(4);
        for (const char c : frame)
            ASSERT_NO_THROW(port->WriteChar(c)) << "frame " << i;
        frames += frame;
    }
    EXPECT_EQ(pty.Receive(frames.size()), frames);
    port->Close();  // the thread may still be reporting the last drain on its own thread
}

// A queue of eight bytes held full: the write thread has drained one byte and waits for the
// user-interface thread with its transmit-empty delivery, which this test does not run.
class FullQueueTest : public ThreadsTest {
protected:
    void SetUp() override
    {
        port->Buffers().SetWriteSize(8);
        port->Buffers().SetWriteTimeout(200);
        port->Open();
        ASSERT_TRUE(port->WriteChar('1'));
        ASSERT_EQ(pty.Receive(1), "1");
        // Once the byte has left the queue, the thread waits with its delivery.
        WaitWithoutDelivering([this] { return port->WriteBufUsed() == 0; });
        ASSERT_EQ(port->WriteBuf("abcdefgh", 8), 8);
        EXPECT_EQ(port->WriteBufUsed(), 8);
        EXPECT_EQ(port->WriteBufFree(), 0);
    }
};

TEST_F(FullQueueTest, NextWriteFailsAfterTheTimeoutAndKeepsTheQueue)
{
    const auto start = std::chrono::steady_clock::now();
    try {
        port->WriteChar('x');
        FAIL() << "no exception";
    } catch (const EVaCommError& e) {
        EXPECT_STREQ(e.what(), "Output buffer is full. Please check comm status.");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(port->WriteBufUsed(), 8);
}

TEST_F(FullQueueTest, OversizedWriteNeverFits)
{
    port->PurgeWrite();
    EXPECT_EQ(port->WriteBufUsed(), 0);
    EXPECT_THROW(port->WriteBuf("123456789", 9), EVaCommError);
}

TEST_F(FullQueueTest, CloseReturnsWithoutSendingTheQueue)
{
    port->Close();
    EXPECT_EQ(pty.Drain(200ms), "");
}

TEST_F(FullQueueTest, PurgeWriteEmptiesTheQueueAndPurgeReadDoesNot)
{
    port->PurgeRead();
    EXPECT_EQ(port->WriteBufUsed(), 8);
    port->PurgeWrite();
    EXPECT_EQ(port->WriteBufUsed(), 0);
    ASSERT_TRUE(port->WriteText("ok"));
    EXPECT_EQ(pty.Receive(2), "ok") << "the thread goes on after a purge";
    EXPECT_EQ(pty.Drain(100ms), "");
}

TEST_F(ThreadsTest, FailingDeviceWritesAreRetriedWithAPause)
{
    port->Open();
    pty.HangUp();
    ASSERT_TRUE(port->WriteChar('x'));
    ProcessFor(1000ms);
    // Every retry reports its error batch; the pause keeps them to a handful a second.
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), "Error retrieving statistics (5), Input/output error");
    EXPECT_LE(errors.size(), 8u);
    port->Close();
}

namespace {

class JournalDisplay : public TVaDisplay {
public:
    JournalDisplay(std::vector<std::string>& journal) : TVaDisplay(nullptr), FJournal(journal) {}
    void UpdateDisplay(TVaCustomComm*) override { FJournal.push_back("display"); }

private:
    std::vector<std::string>& FJournal;
};

}  // namespace

TEST_F(ThreadsTest, DisplayIsRefreshedFirstAndForgottenWhenItGoes)
{
    std::vector<std::string> journal;
    auto display = std::make_unique<JournalDisplay>(journal);
    port->SetDisplay(display.get());
    port->OnRxChar = [&](TObject*, std::int32_t) {
        journal.push_back("rx");
        port->ReadText();
    };
    port->Open();
    pty.Send("x");
    ASSERT_TRUE(ProcessUntil([&] { return journal.size() >= 2; }));
    EXPECT_EQ(journal, (std::vector<std::string>{"display", "rx"}));
    display.reset();
    EXPECT_EQ(port->Display(), nullptr);
    pty.Send("y");
    ASSERT_TRUE(ProcessUntil([&] { return journal.size() >= 3; }));
    EXPECT_EQ(journal.back(), "rx");
}

// --- calls into the component from inside its own deliveries

namespace {

enum TDelivery { dlRxChar, dlTxEmpty, dlErrorReport };

struct CloseInsideCase {
    const char* name;
    TDelivery delivery;  // the handler that closes
    bool sync;           // SyncThreads
};

void PrintTo(const CloseInsideCase& c, std::ostream* os)
{
    *os << c.name;
}

class CloseInsideDelivery : public ThreadsTest, public testing::WithParamInterface<CloseInsideCase> {};

}  // namespace

// Close inside a delivery cannot wait for the thread that waits for that delivery: the
// threads are told to end, nothing more is raised, and the port closes as soon as the
// delivery has returned, leaving no thread behind. Until then the port is open, so an Open
// there is refused at once.
TEST_P(CloseInsideDelivery, ClosesOnceTheDeliveryHasReturned)
{
    const Watchdog dog;
    const CloseInsideCase& c = GetParam();
    std::atomic<int> calls{0};
    std::atomic<int> closed{0};
    std::atomic<bool> openAfterClose{false};
    std::atomic<bool> reopenRefused{false};
    const auto closeHere = [&] {
        if (calls++ > 0)
            return;
        port->Close();
        openAfterClose = port->Active();
        reopenRefused = MessageOf([&] { port->Open(); }) == "Can't perform this operation while port is open";
    };
    port->SetSyncThreads(c.sync);
    port->OnClose = [&](TObject*) { ++closed; };
    switch (c.delivery) {
    case dlRxChar: port->OnRxChar = [&](TObject*, std::int32_t) { closeHere(); }; break;
    case dlTxEmpty: port->OnTxEmpty = [&](TObject*) { closeHere(); }; break;
    case dlErrorReport: SetApplicationExceptionHandler([&](const std::string&) { closeHere(); }); break;
    }
    const int threads = ThreadCount();
    port->Open();
    switch (c.delivery) {
    case dlRxChar: pty.Send("x"); break;
    case dlTxEmpty: ASSERT_TRUE(port->WriteChar('x')); break;
    case dlErrorReport:
        pty.HangUp();  // the failed write's error batch cannot read the device's state
        ASSERT_TRUE(port->WriteChar('x'));
        break;
    }
    ASSERT_TRUE(ProcessUntil([&] { return closed != 0; }));
    EXPECT_FALSE(port->Active());
    EXPECT_TRUE(openAfterClose) << "closed inside the delivery";
    EXPECT_TRUE(reopenRefused);
    EXPECT_EQ(ThreadCount(), threads) << "a thread of the port is left";
    const bool deviceThere = c.delivery != dlErrorReport;
    if (deviceThere)
        pty.Send("y");
    ProcessFor(100ms);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(closed, 1);
    if (deviceThere) {
        port->Open();  // and it opens again
        EXPECT_TRUE(port->Active());
        port->Close();  // unsynchronised threads may be delivering until then
    }
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, CloseInsideDelivery,
    testing::Values(
        // name, handler that closes, SyncThreads
        CloseInsideCase{"OnRxChar", dlRxChar, true}, CloseInsideCase{"OnRxCharOnItsThread", dlRxChar, false},
        CloseInsideCase{"OnTxEmpty", dlTxEmpty, true}, CloseInsideCase{"OnTxEmptyOnItsThread", dlTxEmpty, false},
        CloseInsideCase{"ErrorReport", dlErrorReport, true}),
    [](const testing::TestParamInfo<CloseInsideCase>& info) { return std::string(info.param.name); });

// Unsynchronised, a handler runs on the event thread and may need the component's lock
// while Close, on the user-interface thread, waits for that thread to end.
TEST_F(ThreadsTest, UnsynchronisedCloseEndsWhileAHandlerReads)
{
    const Watchdog dog;
    port->SetSyncThreads(false);
    std::atomic<bool> entered{false};
    std::string got;  // the event thread's, read once Close has ended it
    port->OnRxChar = [&](TObject*, std::int32_t) {
        if (entered)
            return;
        const int threads = ThreadCount();
        entered = true;
        // Close has begun once the write thread, told to end first, is gone.
        while (ThreadCount() >= threads)
            std::this_thread::sleep_for(1ms);
        got = port->ReadText();
    };
    int closed = 0;
    port->OnClose = [&](TObject*) { ++closed; };
    port->Open();
    pty.Send("abc");
    ASSERT_TRUE(WaitWithoutDelivering([&] { return entered.load(); }));
    port->Close();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(got, "abc");
}

namespace {

struct WaitCharCase {
    const char* name;
    bool insidePurge;  // false: inside Close
};

void PrintTo(const WaitCharCase& c, std::ostream* os)
{
    *os << c.name;
}

class WaitCharInsideAWait : public ThreadsTest, public testing::WithParamInterface<WaitCharCase> {};

}  // namespace

// A handler run while Close waits for the threads, or while a purge waits for the write
// thread, may wait for a character: it gets none, and WaitChar says so once its time is up.
TEST_P(WaitCharInsideAWait, ReturnsFalseOnceTheTimeIsUp)
{
    const Watchdog dog;
    int waits = 0;
    bool found = true;
    std::chrono::steady_clock::duration waited{};
    const auto waitForACharacter = [&] {
        ++waits;
        const auto start = std::chrono::steady_clock::now();
        found = port->WaitChar(100);
        waited = std::chrono::steady_clock::now() - start;
    };
    port->Open();
    if (GetParam().insidePurge) {
        port->OnTxEmpty = [&](TObject*) { waitForACharacter(); };
        ASSERT_TRUE(port->WriteChar('1'));
        ASSERT_EQ(pty.Receive(1), "1");
        // The write thread now waits with its transmit-empty delivery, which the purge runs.
        ASSERT_TRUE(WaitWithoutDelivering([] { return TThread::QueuedCalls() == 1; }));
        port->PurgeWrite();
    } else {
        port->OnRxChar = [&](TObject*, std::int32_t) {
            port->ReadText();
            waitForACharacter();
        };
        pty.Send("last");
        ASSERT_TRUE(WaitWithoutDelivering([] { return TThread::QueuedCalls() == 1; }));
        port->Close();  // runs the delivery while it waits for the event thread
    }
    EXPECT_EQ(waits, 1);
    EXPECT_FALSE(found);
    EXPECT_GE(waited, 100ms);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, WaitCharInsideAWait,
    testing::Values(
        // name, inside a purge (else inside Close)
        WaitCharCase{"InsideClose", false}, WaitCharCase{"InsidePurgeWrite", true}),
    [](const testing::TestParamInfo<WaitCharCase>& info) { return std::string(info.param.name); });

// A purge inside a transmit-empty delivery gives up: the write thread waits for that very
// delivery. Its request is withdrawn, so what is written after it returned is sent.
TEST_F(ThreadsTest, PurgeThatGaveUpLeavesLaterWritesAlone)
{
    const Watchdog dog;
    bool purged = false;
    port->OnTxEmpty = [&](TObject*) {
        if (purged)
            return;
        purged = true;
        port->PurgeWrite();
        EXPECT_TRUE(port->WriteText("HELLO"));
    };
    port->Open();
    ASSERT_TRUE(port->WriteChar('x'));
    EXPECT_EQ(pty.Receive(1), "x");
    ASSERT_TRUE(ProcessUntil([&] { return purged; }));
    std::string sent;
    ProcessUntil([&] {
        sent += pty.Receive(5 - sent.size(), 10ms);
        return sent.size() == 5;
    });
    EXPECT_EQ(sent, "HELLO");
}

// Direct writes go to the device on the caller's thread; the event thread reports each time
// the device has sent what they gave it.
TEST_F(ThreadsTest, DirectWritesReportTransmitEmptyOncePerDrain)
{
    int txEmpty = 0;
    port->OnTxEmpty = [&](TObject*) { ++txEmpty; };
    port->SetDirectWrite(true);
    port->Open();
    EXPECT_EQ(port->EventMask(), 0x85u);
    ProcessFor(100ms);
    EXPECT_EQ(txEmpty, 0) << "nothing written, nothing sent";
    EXPECT_TRUE(port->WriteText("\xC0\x04\x26\x15"));
    EXPECT_EQ(pty.Receive(4), "\xC0\x04\x26\x15");
    ASSERT_TRUE(ProcessUntil([&] { return txEmpty == 1; }));
    EXPECT_TRUE(port->WriteChar('a'));
    EXPECT_TRUE(port->WriteChar('b'));
    EXPECT_EQ(pty.Receive(2), "ab");
    ASSERT_TRUE(ProcessUntil([&] { return txEmpty >= 2; }));
    ProcessFor(100ms);
    EXPECT_LE(txEmpty, 3) << "one per drain: the two bytes left in one or two";
}

// Timed waits of the threads' events (WaitChar's among them) end only once their time has
// passed, however the milliseconds fall.
TEST(TVaEvent, TimedWaitNeverEndsEarly)
{
    TVaWaitEvent event;
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(event.WaitFor(3), wrTimeout);
        EXPECT_GE(std::chrono::steady_clock::now() - start, 3ms);
    }
    event.SetEvent();
    EXPECT_EQ(event.WaitFor(1000), wrSignaled);
}
