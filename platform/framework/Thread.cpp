// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/framework/Thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <exception>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// One call waiting for the user-interface thread, and its outcome.
struct PendingCall {
    std::function<void()> call;
    std::exception_ptr error;
    bool done = false;
};

// The hand-over point between background threads and the user-interface thread. It is the
// one process-wide queue every TThread shares, like the event loop it feeds.
class SyncQueue {
public:
    static SyncQueue& Instance()
    {
        static SyncQueue queue;
        return queue;
    }

    void RunOnMainThread(const std::function<void()>& call)
    {
        auto pending = std::make_shared<PendingCall>();
        pending->call = call;
        {
            std::lock_guard lock(FMutex);
            FQueue.push_back(pending);
        }
        FChanged.notify_all();
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { TThread::CheckSynchronize(); }, Qt::QueuedConnection);

        std::unique_lock lock(FMutex);
        FDone.wait(lock, [&] { return pending->done; });
        if (pending->error)
            std::rethrow_exception(pending->error);
    }

    bool RunQueued()
    {
        bool ran = false;
        for (;;) {
            std::shared_ptr<PendingCall> next;
            {
                std::lock_guard lock(FMutex);
                if (FQueue.empty())
                    return ran;
                next = FQueue.front();
                FQueue.pop_front();
            }
            try {
                next->call();
            } catch (...) {
                next->error = std::current_exception();
            }
            {
                std::lock_guard lock(FMutex);
                next->done = true;
            }
            FDone.notify_all();
            ran = true;
        }
    }

    // Blocks until a call is queued or finished() holds; the caller re-checks both.
    template <typename Pred>
    void WaitForWork(Pred finished)
    {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [&] { return !FQueue.empty() || finished(); });
    }

    int Size()
    {
        std::lock_guard lock(FMutex);
        return static_cast<int>(FQueue.size());
    }

    void Notify()
    {
        { std::lock_guard lock(FMutex); }
        FChanged.notify_all();
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;  // a call was queued or a thread finished
    std::condition_variable FDone;     // a queued call has run
    std::deque<std::shared_ptr<PendingCall>> FQueue;
};

int NiceFor(TThreadPriority priority)
{
    switch (priority) {
    case tpIdle: return 19;
    case tpLowest: return 10;
    case tpLower: return 5;
    case tpNormal: return 0;
    case tpHigher: return -5;
    case tpHighest: return -10;
    case tpTimeCritical: return -15;
    }
    return 0;
}

}  // namespace

TThread::TThread() = default;

TThread::~TThread()
{
    if (FThread.joinable()) {
        Terminate();
        WaitFor();
    }
}

void TThread::Start()
{
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread([this] { Run(); });
}

void TThread::Run()
{
    FNativeId.store(static_cast<int>(::syscall(SYS_gettid)));
    ApplyPriority();
    try {
        Execute();
    } catch (...) {
        // Execute must not let failures escape; a thread that dies quietly is better
        // than a process that terminates.
    }
    FFinished.store(true);
    SyncQueue::Instance().Notify();
}

bool TThread::Finished() const
{
    return FFinished.load();
}

void TThread::WaitFor()
{
    if (!FThread.joinable())
        return;
    if (IsMainThread()) {
        auto& queue = SyncQueue::Instance();
        while (!FFinished.load()) {
            queue.RunQueued();
            queue.WaitForWork([this] { return FFinished.load(); });
        }
        queue.RunQueued();
    }
    FThread.join();
}

void TThread::SetPriority(TThreadPriority Value)
{
    FPriority.store(Value);
    ApplyPriority();
}

void TThread::ApplyPriority()
{
    const int tid = FNativeId.load();
    if (tid != 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceFor(FPriority.load()));
}

void TThread::Synchronize(const std::function<void()>& call)
{
    // Without an application there is no user-interface thread to hand over to.
    if (IsMainThread() || !QCoreApplication::instance()) {
        call();
        return;
    }
    SyncQueue::Instance().RunOnMainThread(call);
}

bool TThread::CheckSynchronize()
{
    return SyncQueue::Instance().RunQueued();
}

int TThread::QueuedCalls()
{
    return SyncQueue::Instance().Size();
}

bool TThread::IsMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}
