#include "serial/VaCommEventThread.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>

#include "serial/VaComm.h"

TVaCommEventThread::TVaCommEventThread(TVaCustomComm* AOwner, int Device, std::uint32_t Mask)
    : FOwner(AOwner), FDevice(Device), FMask(Mask)
{
}

TVaCommEventThread::~TVaCommEventThread()
{
    Stop();
    WaitFor();
}

void TVaCommEventThread::Stop()
{
    Terminate();
    FEvent.SetEvent();
}

void TVaCommEventThread::Execute()
{
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll < 0) {
        FEvent.WaitFor(-1);
        return;
    }
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = FEvent.Handle();
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, FEvent.Handle(), &wake);

    // Only received characters are announced by the device itself on this platform.
    bool deviceWatched = (FMask & EV_RXCHAR) != 0;
    if (deviceWatched) {
        epoll_event device{};
        device.events = EPOLLIN | EPOLLET;
        device.data.fd = FDevice;
        deviceWatched = ::epoll_ctl(epoll, EPOLL_CTL_ADD, FDevice, &device) == 0;
    }

    while (!Terminated()) {
        epoll_event events[2];
        const int n = ::epoll_wait(epoll, events, 2, -1);
        if (n < 0 && errno != EINTR)
            break;
        if (Terminated())
            break;
        std::uint32_t mask = 0;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd != FDevice)
                continue;
            if (events[i].events & EPOLLIN)
                mask |= EV_RXCHAR;
            if (events[i].events & (EPOLLHUP | EPOLLERR)) {
                // The device is gone: stop waiting on it, idle until Stop.
                ::epoll_ctl(epoll, EPOLL_CTL_DEL, FDevice, nullptr);
                deviceWatched = false;
            }
        }
        if (mask == 0)
            continue;
        FEvtMask.store(mask);
        if (FSync)
            TThread::Synchronize([this, mask] { FOwner->DispatchEvents(mask); });
        else
            FOwner->DispatchEvents(mask);
    }
    ::close(epoll);
}
