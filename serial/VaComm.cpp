// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "serial/VaComm.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/comm/DevicePath.h"
#include "platform/comm/SystemError.h"
#include "platform/framework/ApplicationErrors.h"
#include "serial/VaCommEventThread.h"
#include "serial/VaCommWriteThread.h"
#include "serial/VaDispatcher.h"
#include "serial/VaDisplay.h"
#include "serial/VaWaitThread.h"

namespace {

constexpr std::uint32_t kVersion = 0x01090501;
constexpr auto kClosePause = std::chrono::milliseconds(300);
const char* const kPortOpen = "Can't perform this operation while port is open";

// A message with the error code and its text in the "(%d), %s" form.
[[noreturn]] void Fail(const std::string& prefix, int error)
{
    throw EVaCommError(prefix + " (" + std::to_string(error) + "), " + comm::ErrorText(error));
}

}  // namespace

std::uint32_t BaudrateSpeed(TVaBaudrate Value)
{
    static constexpr std::uint32_t kSpeeds[] = {
        0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const auto index = static_cast<size_t>(Value);
    return index < std::size(kSpeeds) ? kSpeeds[index] : 0;
}

std::uint32_t EventMaskFor(TVaCommEvents Events, bool DirectWrite)
{
    struct Bit {
        TVaCommEvent event;
        std::uint32_t bit;
    };
    static constexpr Bit kBits[] = {
        {ceBreak, EV_BREAK}, {ceCts, EV_CTS}, {ceDsr, EV_DSR}, {ceError, EV_ERR},
        {ceRing, EV_RING}, {ceRlsd, EV_RLSD}, {ceRxChar, EV_RXCHAR}, {ceTxEmpty, EV_TXEMPTY},
        {ceRxFlag, EV_RXFLAG}, {cePErr, EV_PERR}, {ceRx80Full, EV_RX80FULL},
        {ceEvent1, EV_EVENT1}, {ceEvent2, EV_EVENT2}};
    std::uint32_t mask = 0;
    for (const Bit& b : kBits) {
        if (Events.Contains(b.event))
            mask |= b.bit;
    }
    if (!DirectWrite)
        mask &= ~EV_TXEMPTY;
    return mask;
}

TVaCustomComm::TVaCustomComm(TComponent* AOwner)
    : TVaComponent(AOwner),
      FBuffers(std::make_unique<TVaBuffers>()),
      FFlowControl(std::make_unique<TVaFlowControl>()),
      FEventChars(std::make_unique<TVaEventChars>()),
      FSettingsStore(std::make_unique<TSettingsStore>())
{
    FBuffers->SetOnChange([this](TObject* Sender) { BuffersChanged(Sender); });
    FFlowControl->SetOnChange([this](TObject*) { WriteLineSettings(); });
    FEventChars->SetOnChange([this](TObject*) { WriteLineSettings(); });
}

TVaCustomComm::~TVaCustomComm()
{
    MarkDestroying();
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; the device is released by its own destructor.
    }
    while (!FClients.empty())
        RemoveClient(FClients.back());
}

// --- properties

template <typename T>
void TVaCustomComm::SetLineValue(T& field, T value)
{
    if (field == value)
        return;
    const T old = field;
    field = value;
    try {
        WriteLineSettings();
    } catch (...) {
        field = old;
        throw;
    }
}

void TVaCustomComm::SetBaudrate(TVaBaudrate Value)
{
    if (Value == FBaudrate)
        return;
    const std::int32_t oldUser = FUserBaudrate;
    if (Value != brUser)
        FUserBaudrate = 0;
    try {
        SetLineValue(FBaudrate, Value);
    } catch (...) {
        FUserBaudrate = oldUser;
        throw;
    }
}

void TVaCustomComm::SetUserBaudrate(std::int32_t Value)
{
    if (Value < 0)
        throw ERangeError("UserBaudrate " + std::to_string(Value) + " is out of range 0..2147483647");
    if (Value == FUserBaudrate)
        return;
    const TVaBaudrate oldRate = FBaudrate;
    FBaudrate = brUser;
    try {
        SetLineValue(FUserBaudrate, Value);
    } catch (...) {
        FBaudrate = oldRate;
        throw;
    }
}

void TVaCustomComm::SetParity(TVaParity Value)
{
    SetLineValue(FParity, Value);
}

void TVaCustomComm::SetDatabits(TVaDatabits Value)
{
    SetLineValue(FDatabits, Value);
}

void TVaCustomComm::SetStopbits(TVaStopbits Value)
{
    SetLineValue(FStopbits, Value);
}

void TVaCustomComm::SetOptions(TVaCommOptions Value)
{
    SetLineValue(FOptions, Value);
}

void TVaCustomComm::SetPortNum(std::int32_t Value)
{
    CheckClosed();
    if (Value < 0)
        throw ERangeError("PortNum " + std::to_string(Value) + " is out of range 0..2147483647");
    FPortNum = Value;
}

void TVaCustomComm::SetDeviceName(const std::string& Value)
{
    CheckClosed();
    FDeviceName = Value;
}

void TVaCustomComm::SetMonitorEvents(TVaCommEvents Value)
{
    CheckClosed();
    FMonitorEvents = Value;
}

void TVaCustomComm::SetBuffers(const TVaBuffers& Value)
{
    CheckClosed();
    FBuffers->Assign(Value);
}

void TVaCustomComm::SetEventPriority(TThreadPriority Value)
{
    FEventPriority = Value;
    if (FEventThread)
        FEventThread->SetPriority(Value);
}

void TVaCustomComm::SetWritePriority(TThreadPriority Value)
{
    FWritePriority = Value;
    if (FWriteThread)
        FWriteThread->SetPriority(Value);
}

void TVaCustomComm::SetDirectWrite(bool Value)
{
    CheckClosed();
    FDirectWrite = Value;
}

void TVaCustomComm::SetUpdateDCB(bool Value)
{
    CheckClosed();
    FUpdateDCB = Value;
}

std::string TVaCustomComm::Version() const
{
    return std::to_string((kVersion >> 24) & 0xFF) + "." + std::to_string((kVersion >> 16) & 0xFF) + "." +
           std::to_string((kVersion >> 8) & 0xFF) + "." + std::to_string(kVersion & 0xFF);
}

void TVaCustomComm::SetDisplay(TVaDisplay* Value)
{
    if (Value == FDisplay)
        return;
    if (FDisplay)
        RemoveFreeNotification(FDisplay);
    FDisplay = Value;
    if (FDisplay)
        FreeNotification(FDisplay);
}

void TVaCustomComm::Notification(TComponent* AComponent, TOperation Operation)
{
    TVaComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FDisplay)
        FDisplay = nullptr;
}

void TVaCustomComm::BuffersChanged(TObject*)
{
    CheckClosed();
    ApplyBufferSizes();
    WriteLineSettings();
}

void TVaCustomComm::CheckClosed() const
{
    if (Active())
        throw EVaCommError(kPortOpen);
}

// --- open and close

std::string TVaCustomComm::DevicePath() const
{
    return comm::ResolveDevicePath(comm::FormatDeviceName(FDeviceName, FPortNum));
}

void TVaCustomComm::Loaded()
{
    TVaComponent::Loaded();
    if (FAutoOpen && !Designing())
        Open();
}

void TVaCustomComm::Open()
{
    CheckClosed();
    OpenDevice();
    try {
        WriteLineSettings();
        ApplyBufferSizes();
        ApplyTimeouts();
        ApplyEventMask();
        StartThreads();
    } catch (...) {
        StopThreads();
        CloseDevice();
        throw;
    }
    DoOpen();
}

void TVaCustomComm::OpenDevice()
{
    const std::string path = DevicePath();
    const int error = FHandle.Open(path);
    FLastCounters = {};
    if (error == 0)
        FHandle.Counters(FLastCounters);
    if (error == ENOENT)
        throw EVaCommError("Specified device not found (" + path + ").");
    if (error != 0)
        throw EVaCommError("Can't open specified device " + path + " (Error " + std::to_string(error) + ", " +
                           comm::ErrorText(error) + ")");
}

void TVaCustomComm::StartThreads()
{
    // Both are made before either starts: a handler run on one of them (SyncThreads false)
    // may reach the other through the component.
    if (FEventMask != 0) {
        FEventThread = std::make_unique<TVaCommEventThread>(this, FHandle.Fd(), FEventMask);
        FEventThread->SetPriority(FEventPriority);
        FEventThread->SetSync(FSyncThreads);
    }
    if (!FDirectWrite) {
        FWriteThread = std::make_unique<TVaCommWriteThread>(this, FHandle.Fd(), FBuffers->WriteSize());
        FWriteThread->SetPriority(FWritePriority);
        FWriteThread->SetSync(FSyncThreads);
    }
    if (FEventThread)
        FEventThread->Start();
    if (FWriteThread)
        FWriteThread->Start();
}

void TVaCustomComm::StopThreads()
{
    // While waiting for each thread to end, deliveries it has already requested still run
    // here (TThread::WaitFor), before the device is closed. The write thread is told first,
    // so that a delivery run meanwhile cannot let it send what is still queued.
    if (FWriteThread)
        FWriteThread->Stop();
    if (FEventThread) {
        FEventThread->Stop();
        FEventThread->WaitFor();
        FEventThread.reset();
    }
    if (FWriteThread) {
        FWriteThread->Stop();
        FWriteThread->WaitFor();
        FWriteThread.reset();
    }
}

void TVaCustomComm::Close()
{
    if (!Active())
        return;
    if (InDelivery()) {
        if (FWriteThread)
            FWriteThread->Stop();
        if (FEventThread)
            FEventThread->Stop();
        FClosePending.store(true);
        return;
    }
    StopThreads();
    {
        std::lock_guard lock(FGlobalSection);
        CloseDevice();
    }
    DoClose();
    std::this_thread::sleep_for(kClosePause);
}

bool TVaCustomComm::InDelivery() const
{
    return (FEventThread && FEventThread->DeliveringHere()) || (FWriteThread && FWriteThread->DeliveringHere());
}

void TVaCustomComm::DeliveryReturned()
{
    // Posted, so that it runs once the delivery has returned and its thread is free. It is
    // posted on the user-interface thread, which owns the component; an unsynchronised
    // thread hands it there.
    if (FClosePending.load()) {
        TThread::Synchronize([this] {
            QMetaObject::invokeMethod(&FContext, [this] { FinishPendingClose(); }, Qt::QueuedConnection);
        });
    }
}

void TVaCustomComm::FinishPendingClose()
{
    // Inside a delivery's own event loop it waits: that delivery posts it again when it returns.
    if (FClosePending.load() && !InDelivery())
        GuardedCall([this] { Close(); });
}

void TVaCustomComm::CloseDevice()
{
    FHandle.Close();
    FEventMask = 0;
    FClosePending.store(false);
}

void TVaCustomComm::DoOpen()
{
    if (OnOpen)
        GuardedCall([this] { OnOpen(this); });
}

void TVaCustomComm::DoClose()
{
    if (OnClose && !Destroying())
        OnClose(this);
}

// --- line settings

comm::LineSettings TVaCustomComm::BuildLineSettings() const
{
    comm::LineSettings s;
    s.BaudRate = FBaudrate == brUser ? static_cast<std::uint32_t>(FUserBaudrate) : BaudrateSpeed(FBaudrate);
    s.ByteSize = static_cast<std::uint8_t>(4 + static_cast<int>(FDatabits));
    s.Parity = static_cast<std::uint8_t>(FParity);
    s.StopBits = static_cast<std::uint8_t>(FStopbits);
    s.XonChar = FEventChars->XonChar();
    s.XoffChar = FEventChars->XoffChar();
    s.ErrorChar = FEventChars->ErrorChar();
    s.EofChar = FEventChars->EofChar();
    s.EvtChar = FEventChars->EventChar();
    s.XonLim = static_cast<std::uint16_t>(FBuffers->XonLimit() & 0xFFFF);
    s.XoffLim = static_cast<std::uint16_t>(FBuffers->XoffLimit() & 0xFFFF);

    const TVaFlowControl& f = *FFlowControl;
    std::uint32_t flags = comm::fBinary;
    if (FOptions.Contains(coParityCheck))
        flags |= comm::fParity;
    if (f.OutCtsFlow())
        flags |= comm::fOutxCtsFlow;
    if (f.OutDsrFlow())
        flags |= comm::fOutxDsrFlow;
    static constexpr std::uint32_t kDtr[] = {0, comm::fDtrControlEnable, comm::fDtrControlHandshake};
    flags |= kDtr[f.ControlDtr()];
    if (f.DsrSensitivity())
        flags |= comm::fDsrSensitivity;
    if (f.TxContinueOnXoff())
        flags |= comm::fTXContinueOnXoff;
    if (f.XonXoffOut())
        flags |= comm::fOutX;
    if (f.XonXoffIn())
        flags |= comm::fInX;
    if (FOptions.Contains(coErrorChar))
        flags |= comm::fErrorChar;
    if (FOptions.Contains(coNullStrip))
        flags |= comm::fNull;
    static constexpr std::uint32_t kRts[] = {
        0, comm::fRtsControlEnable, comm::fRtsControlHandshake, comm::fRtsControlToggle};
    flags |= kRts[f.ControlRts()];
    s.Flags = flags;
    return s;
}

void TVaCustomComm::WriteLineSettings()
{
    if (!Active() || !FUpdateDCB)
        return;
    if (const int error = FHandle.WriteSettings(BuildLineSettings()))
        Fail("Error writing dcb", error);
}

void TVaCustomComm::ApplyBufferSizes()
{
    // The driver's queues have fixed sizes on this platform; ReadSize and WriteSize size
    // the free-space figures and the write queue.
}

void TVaCustomComm::ApplyTimeouts()
{
    // The device is opened non-blocking: a read returns at once with what has arrived.
}

void TVaCustomComm::ApplyEventMask()
{
    FEventMask = EventMaskFor(FMonitorEvents, FDirectWrite);
}

// --- clients

void TVaCustomComm::InsertClient(TVaDispatcher* Value)
{
    if (!Value)
        return;
    Value->SetComm(this);
    FClients.push_back(Value);
}

void TVaCustomComm::RemoveClient(TVaDispatcher* Value)
{
    const auto it = std::find(FClients.begin(), FClients.end(), Value);
    if (it == FClients.end())
        return;
    Value->SetComm(nullptr);
    FClients.erase(it);
}

// --- events

void TVaCustomComm::DispatchEvents(std::uint32_t EvtMask)
{
    GuardedCall([this, EvtMask] {
        if (FClosePending.load())
            return;  // a handler has asked for the port to close: nothing more is raised
        std::uint32_t mask = EvtMask;
        if (FDisplay)
            FDisplay->UpdateDisplay(this);
        if (mask & EV_RXCHAR) {
            HandleRxChar();
            mask &= ~EV_RXCHAR;
        }
        if (mask != 0)
            HandleEvents(mask);
    });
}

void TVaCustomComm::HandleRxChar()
{
    const std::int32_t n = ReadBufUsed();
    if (n <= 0)
        return;
    if (!FClients.empty()) {
        std::vector<std::uint8_t> block(static_cast<size_t>(n));
        const std::int32_t got = ReadBuf(block.data(), n);
        NotifyClientsData(block.data(), got);
        return;
    }
    if (OnRxChar)
        OnRxChar(this, n);
}

void TVaCustomComm::HandleEvents(std::uint32_t Mask)
{
    // Once a handler has asked for the port to close, nothing more is raised.
    const auto closing = [this] { return FClosePending.load(); };
    if (closing())
        return;
    if (Mask & EV_ERR)
        CheckLineErrors();
    if (!FClients.empty() && !closing())
        NotifyClientsEvent(Mask);
    struct Handler {
        std::uint32_t bit;
        TNotifyEvent TVaCustomComm::*event;
    };
    static constexpr Handler kOrder[] = {
        {EV_RXFLAG, &TVaCustomComm::OnRxFlag}, {EV_CTS, &TVaCustomComm::OnCts},
        {EV_DSR, &TVaCustomComm::OnDsr}, {EV_RING, &TVaCustomComm::OnRing},
        {EV_RLSD, &TVaCustomComm::OnRlsd}, {EV_TXEMPTY, &TVaCustomComm::OnTxEmpty},
        {EV_BREAK, &TVaCustomComm::OnBreak}, {EV_PERR, &TVaCustomComm::OnPErr},
        {EV_RX80FULL, &TVaCustomComm::OnRx80Full}, {EV_EVENT1, &TVaCustomComm::OnEvent1},
        {EV_EVENT2, &TVaCustomComm::OnEvent2}};
    for (const Handler& h : kOrder) {
        if (closing())
            return;
        if ((Mask & h.bit) && this->*h.event)
            (this->*h.event)(this);
    }
}

void TVaCustomComm::NotifyClientsEvent(std::uint32_t Mask)
{
    if (!FControlsEnabled)
        return;
    for (TVaDispatcher* client : std::vector<TVaDispatcher*>(FClients)) {
        if (client->Active())
            client->Owner().HandleCommEvent(static_cast<std::int32_t>(Mask));
    }
}

void TVaCustomComm::NotifyClientsData(const std::uint8_t* Data, std::int32_t Count)
{
    if (FControlsEnabled) {
        for (TVaDispatcher* client : std::vector<TVaDispatcher*>(FClients)) {
            if (client->Active())
                client->Owner().HandleCommData(Data, Count);
        }
    }
    if (OnRxBuf)
        OnRxBuf(this, Data, Count);
}

void TVaCustomComm::CheckLineErrors()
{
    GuardedCall([this] {
        const TVaCommStatistics stats = GetStatistics();
        if (stats.Errors != 0 && OnError)
            OnError(this, static_cast<std::int32_t>(stats.Errors));
    });
}

// --- transfers

TVaCommStatistics TVaCustomComm::GetStatistics()
{
    std::lock_guard lock(FGlobalSection);
    TVaCommStatistics stats;
    if (!Active())
        return stats;
    comm::QueueCounts counts;
    if (const int error = FHandle.Counts(counts))
        Fail("Error retrieving statistics", error);
    stats.InQue = counts.received;
    stats.OutQue = counts.unsent;

    // Line errors are the driver's counts that grew since the last read (drivers without
    // counts report none); reading them is what clears them.
    comm::LineCounters now;
    if (FHandle.Counters(now) == 0) {
        const comm::LineCounters& was = FLastCounters;
        if (now.bufOverrun != was.bufOverrun)
            stats.Errors |= CE_RXOVER;
        if (now.overrun != was.overrun)
            stats.Errors |= CE_OVERRUN;
        if (now.parity != was.parity)
            stats.Errors |= CE_RXPARITY;
        if (now.frame != was.frame)
            stats.Errors |= CE_FRAME;
        if (now.brk != was.brk)
            stats.Errors |= CE_BREAK;
        FLastCounters = now;
    }
    // Output held by hardware flow control while the peer's line is low.
    int lines = 0;
    if (FHandle.ModemLines(lines) == 0) {
        if (FFlowControl->OutCtsFlow() && !(lines & comm::mlCTS))
            stats.Flags |= 0x01;
        if (FFlowControl->OutDsrFlow() && !(lines & comm::mlDSR))
            stats.Flags |= 0x02;
    }
    return stats;
}

std::int32_t TVaCustomComm::ReadBufUsed()
{
    return static_cast<std::int32_t>(GetStatistics().InQue);
}

std::int32_t TVaCustomComm::ReadBufFree()
{
    if (!Active())
        return 0;
    return FBuffers->ReadSize() - ReadBufUsed();
}

std::int32_t TVaCustomComm::UARTReadBufUsed()
{
    return static_cast<std::int32_t>(GetStatistics().InQue);
}

std::int32_t TVaCustomComm::UARTWriteBufUsed()
{
    return static_cast<std::int32_t>(GetStatistics().OutQue);
}

std::int32_t TVaCustomComm::WriteBufUsed()
{
    if (!Active())
        return 0;
    if (FDirectWrite)
        return static_cast<std::int32_t>(GetStatistics().OutQue);
    if (!FWriteThread)
        return 0;
    std::lock_guard lock(FWriteSection);
    return FWriteThread->Buffer().Size();
}

std::int32_t TVaCustomComm::WriteBufFree()
{
    if (!Active())
        return 0;
    return FBuffers->WriteSize() - WriteBufUsed();
}

std::int32_t TVaCustomComm::ReadBuf(void* Buf, std::int32_t Count)
{
    if (!Active() || Count <= 0)
        return 0;
    std::lock_guard lock(FGlobalSection);
    const comm::IoResult result = FHandle.Read(Buf, static_cast<size_t>(Count));
    if (result.error != 0)
        Fail("Read error", result.error);
    return static_cast<std::int32_t>(result.count);
}

std::string TVaCustomComm::ReadText()
{
    const std::int32_t n = ReadBufUsed();
    if (n <= 0)
        return {};
    std::string text(static_cast<size_t>(n), '\0');
    // Someone may have read or purged in between: keep only what was read.
    text.resize(static_cast<size_t>(ReadBuf(text.data(), n)));
    return text;
}

bool TVaCustomComm::ReadChar(char& Ch)
{
    return ReadBuf(&Ch, 1) == 1;
}

bool TVaCustomComm::ReadCharWait(char& Ch, std::int32_t TimeOut)
{
    WaitChar(TimeOut);
    return ReadChar(Ch);
}

bool TVaCustomComm::WaitChar(std::int32_t TimeOut)
{
    if (!Active())
        return false;
    const auto waiter = std::make_unique<TWaitThread>(this, FHandle.Fd());
    waiter->Start();
    if (waiter->Ended().WaitFor(TimeOut) != wrSignaled)
        waiter->SetDone(true);
    waiter->WaitFor();
    return waiter->Found();
}

std::int32_t TVaCustomComm::WriteBuf(const void* Buf, std::int32_t Count)
{
    if (!Active() || Count <= 0)
        return 0;
    if (!FDirectWrite) {
        if (!FWriteThread || !FWriteThread->WriteData(Buf, Count, FBuffers->WriteTimeout()))
            throw EVaCommError("Output buffer is full. Please check comm status.");
        return Count;
    }
    // Direct: write and wait for the device to take the rest, up to WriteTimeout. Bytes the
    // device took before the time ran out are counted: they cannot be called back.
    std::lock_guard lock(FWriteSection);
    const auto* bytes = static_cast<const std::uint8_t*>(Buf);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(FBuffers->WriteTimeout());
    std::int32_t done = 0;
    while (done < Count) {
        const comm::IoResult result = FHandle.Write(bytes + done, static_cast<size_t>(Count - done));
        if (result.error != 0)
            Fail("Write error", result.error);
        done += static_cast<std::int32_t>(result.count);
        if (done >= Count)
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || FHandle.WaitWritable(static_cast<int>(left)) == ETIMEDOUT)
            break;
    }
    if (done > 0 && FEventThread)
        FEventThread->NoteDirectWrite();
    return done;
}

std::unique_lock<TVaCriticalSection> TVaCustomComm::HoldQueuedWrites(std::int32_t Count)
{
    std::unique_lock lock(FWriteSection);
    // While held the queue only grows: what fits now is appended without waiting.
    const bool fits = !FDirectWrite && FWriteThread &&
                      std::int64_t{FWriteThread->Buffer().Size()} + Count <= FWriteThread->Buffer().Capacity();
    if (!fits)
        lock.unlock();
    return lock;
}

bool TVaCustomComm::WriteText(const std::string& s)
{
    return WriteBuf(s.data(), static_cast<std::int32_t>(s.size())) == static_cast<std::int32_t>(s.size());
}

bool TVaCustomComm::WriteChar(char Ch)
{
    return WriteBuf(&Ch, 1) == 1;
}

void TVaCustomComm::Purge(std::uint32_t Flags)
{
    if (!Active())
        return;
    std::lock_guard lock(FGlobalSection);
    if (Flags != (PURGE_RXABORT | PURGE_RXCLEAR) && FWriteThread)
        FWriteThread->PurgeWrite();
    if (const int error = FHandle.Purge((Flags & PURGE_RXCLEAR) != 0, (Flags & PURGE_TXCLEAR) != 0))
        Fail("Error clearing buffers", error);
}
