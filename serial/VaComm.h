// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QObject>

#include "platform/comm/LineSettings.h"
#include "platform/comm/SerialDevice.h"
#include "platform/framework/Thread.h"
#include "serial/VaClasses.h"
#include "serial/VaCommTypes.h"
#include "serial/VaObjects.h"
#include "serial/VaPrst.h"
#include "serial/SettingsStore.h"

class TStrings;

class TVaCommEventThread;
class TVaDisplay;
class TVaCommWriteThread;
class TVaDispatcher;

// Error bits, status flags and queue counts of the open device, as one statistics read
// returns them.
struct TVaCommStatistics {
    std::uint32_t Errors = 0;
    std::uint32_t Flags = 0;
    std::uint32_t InQue = 0;
    std::uint32_t OutQue = 0;
};

// The port-capabilities record that Properties returns.
struct TCommProp {
    std::uint16_t wPacketLength = 0;
    std::uint16_t wPacketVersion = 0;
    std::uint32_t dwServiceMask = 0;
    std::uint32_t dwReserved1 = 0;
    std::uint32_t dwMaxTxQueue = 0;
    std::uint32_t dwMaxRxQueue = 0;
    std::uint32_t dwMaxBaud = 0;
    std::uint32_t dwProvSubType = 0;
    std::uint32_t dwProvCapabilities = 0;
    std::uint32_t dwSettableParams = 0;
    std::uint32_t dwSettableBaud = 0;
    std::uint16_t wSettableData = 0;
    std::uint16_t wSettableStopParity = 0;
    std::uint32_t dwCurrentTxQueue = 0;
    std::uint32_t dwCurrentRxQueue = 0;
    std::uint32_t dwProvSpec1 = 0;
    std::uint32_t dwProvSpec2 = 0;
    char16_t wcProvChar[1] = {};
};

// The serial port component: line settings, open and close, a write queue drained by a
// write thread, reads of what the driver has received, purges, and an event thread whose
// events are raised on the user-interface thread.
//
// Threads: every public operation and setter is called on the user-interface thread. The
// event thread (TVaCommEventThread) only waits on the device and hands each batch to the
// user-interface thread (DispatchEvents); the write thread (TVaCommWriteThread) drains the
// write queue and hands its transmit-empty and error batches over the same way (HandleEvents).
// FGlobalSection guards the device for reads, statistics, purges and its closing;
// FWriteSection guards the write queue and direct writes. Lock order: global before write.
// Close waits for the threads to end without holding the global lock: a delivery running on
// one of them (SyncThreads false) may need it first.
class TVaCustomComm : public TVaComponent {
public:
    explicit TVaCustomComm(TComponent* AOwner);
    ~TVaCustomComm() override;

    std::string ClassName() const override { return "TVaCustomComm"; }

    // --- published properties
    bool AutoOpen() const { return FAutoOpen; }
    void SetAutoOpen(bool Value) { FAutoOpen = Value; }
    TVaBaudrate Baudrate() const { return FBaudrate; }
    void SetBaudrate(TVaBaudrate Value);
    TVaParity Parity() const { return FParity; }
    void SetParity(TVaParity Value);
    TVaDatabits Databits() const { return FDatabits; }
    void SetDatabits(TVaDatabits Value);
    TVaStopbits Stopbits() const { return FStopbits; }
    void SetStopbits(TVaStopbits Value);
    TVaEventChars& EventChars() { return *FEventChars; }
    void SetEventChars(const TVaEventChars& Value) { FEventChars->Assign(Value); }
    TVaFlowControl& FlowControl() { return *FFlowControl; }
    void SetFlowControl(const TVaFlowControl& Value) { FFlowControl->Assign(Value); }
    TVaCommOptions Options() const { return FOptions; }
    void SetOptions(TVaCommOptions Value);
    std::int32_t PortNum() const { return FPortNum; }
    void SetPortNum(std::int32_t Value);
    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& Value);
    TVaCommEvents MonitorEvents() const { return FMonitorEvents; }
    void SetMonitorEvents(TVaCommEvents Value);
    TVaBuffers& Buffers() { return *FBuffers; }
    void SetBuffers(const TVaBuffers& Value);
    TThreadPriority EventPriority() const { return FEventPriority; }
    void SetEventPriority(TThreadPriority Value);
    TThreadPriority WritePriority() const { return FWritePriority; }
    void SetWritePriority(TThreadPriority Value);
    bool DirectWrite() const { return FDirectWrite; }
    void SetDirectWrite(bool Value);
    bool UpdateDCB() const { return FUpdateDCB; }
    void SetUpdateDCB(bool Value);
    std::int32_t UserBaudrate() const { return FUserBaudrate; }
    void SetUserBaudrate(std::int32_t Value);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TSettingsStore& SettingsStore() { return *FSettingsStore; }
    void SetSettingsStore(const TSettingsStore& Value) { FSettingsStore->Assign(Value); }
    // Refreshed before each event batch; cleared when that component goes away.
    TVaDisplay* Display() const { return FDisplay; }
    void SetDisplay(TVaDisplay* Value);

    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;
    TNotifyEvent OnCts;
    TNotifyEvent OnDsr;
    TNotifyEvent OnRlsd;
    TNotifyEvent OnRing;
    TNotifyEvent OnBreak;
    TVaCommErrorEvent OnError;
    TVaCommRxCharEvent OnRxChar;
    TNotifyEvent OnRxFlag;
    TVaCommRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnPErr;
    TNotifyEvent OnRx80Full;
    TNotifyEvent OnEvent1;
    TNotifyEvent OnEvent2;

    // --- public properties
    // The open device; -1 (all bits set) while closed.
    int Handle() const { return FHandle.Fd(); }
    // False: the threads call the handlers themselves, on their own threads. Such a
    // component must then be closed before it is destroyed, since a thread may be calling
    // into it until Close has stopped them.
    bool SyncThreads() const { return FSyncThreads; }
    void SetSyncThreads(bool Value) { FSyncThreads = Value; }
    // Modem input lines, read from the device at each access; false while closed.
    bool CTS();
    bool DSR();
    bool RING();
    bool RLSD();
    // Transmission hold states from the status read; false while closed.
    bool CTSHold();
    bool DSRHold();
    bool RLSDHold();
    bool XOffHold();
    bool XOffSent();
    // The port's capabilities; refused while closed.
    TCommProp Properties();

    // --- operations
    void Open();
    // Called inside one of the component's own deliveries (from a handler of its events), the
    // close cannot wait for the thread that waits for that handler: the threads are told to
    // end at once, no further delivery follows, and the close is carried out from the event
    // loop as soon as the delivery has returned. Until then the port is still open.
    void Close();
    bool Active() const { return FHandle.IsOpen(); }

    void InsertClient(TVaDispatcher* Value);
    void RemoveClient(TVaDispatcher* Value);

    std::int32_t WriteBuf(const void* Buf, std::int32_t Count);
    bool WriteText(const std::string& s);
    bool WriteChar(char Ch);
    // While the returned lock is held the write thread takes nothing from its queue, so the
    // next Count bytes written one at a time (a frame) leave together. It holds nothing in
    // direct mode, or when the queue lacks room for them: the thread must then make room.
    // Only the thread that writes may hold it.
    [[nodiscard]] std::unique_lock<TVaCriticalSection> HoldQueuedWrites(std::int32_t Count);
    std::int32_t ReadBuf(void* Buf, std::int32_t Count);
    std::string ReadText();
    bool ReadChar(char& Ch);
    bool ReadCharWait(char& Ch, std::int32_t TimeOut);
    bool WaitChar(std::int32_t TimeOut);
    std::int32_t ReadBufFree();
    std::int32_t ReadBufUsed();
    std::int32_t WriteBufFree();
    std::int32_t WriteBufUsed();
    std::int32_t UARTWriteBufUsed();
    std::int32_t UARTReadBufUsed();
    void PurgeRead() { Purge(PURGE_RXABORT | PURGE_RXCLEAR); }
    void PurgeWrite() { Purge(PURGE_TXABORT | PURGE_TXCLEAR); }
    void PurgeReadWrite() { Purge(PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR); }
    // Line control: nothing while closed. DTR and RTS refuse while they do handshaking.
    void SetDTR(bool Value);
    void SetRTS(bool Value);
    void SetXon(bool Value);
    void SetBreak(bool Value);
    void ResetDev();
    // Takes the line settings from the device's current driver settings.
    void ResetPortParameters();
    // The port names that open a device present on this machine.
    void GetComPortNames(TStrings& Value);
    // Keep the line settings in the settings store; LoadSettings is false (and changes
    // nothing) when the store holds none.
    void SaveSettings();
    bool LoadSettings();
    void EnableControls() { FControlsEnabled = true; }
    void DisableControls() { FControlsEnabled = false; }

    // The path the formatted DeviceName opens (see comm::ResolveDevicePath).
    std::string DevicePath() const;
    // The settings record written to the device for the current properties.
    comm::LineSettings BuildLineSettings() const;
    // The event bits in force while open (0 while closed).
    std::uint32_t EventMask() const { return FEventMask; }
    // Error bits, status flags and queue counts; clears the device's error state.
    TVaCommStatistics GetStatistics();

    // Runs one batch of events on the current thread (the event thread hands it here).
    void DispatchEvents(std::uint32_t EvtMask);

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void OpenDevice();
    virtual void StartThreads();
    virtual void HandleRxChar();
    virtual void HandleEvents(std::uint32_t Mask);
    virtual void NotifyClientsEvent(std::uint32_t Mask);
    virtual void NotifyClientsData(const std::uint8_t* Data, std::int32_t Count);

private:
    friend class TVaCommEventThread;
    friend class TVaCommWriteThread;

    void CheckClosed() const;
    // Whether the caller runs inside one of the component's deliveries.
    bool InDelivery() const;
    // The threads call it when a delivery has returned.
    void DeliveryReturned();
    void FinishPendingClose();
    void StopThreads();
    void CloseDevice();
    void DoOpen();
    void DoClose();
    void WriteLineSettings();
    void ApplyBufferSizes();
    void ApplyTimeouts();
    void ApplyEventMask();
    void Purge(std::uint32_t Flags);
    void CheckLineErrors();
    void EscapeFunction(const std::function<int()>& call);
    std::uint32_t ModemStatus();
    // The settings file and section of the store, the defaults stored when first used.
    std::string SettingsFile();
    std::string SettingsGroup();
    void BuffersChanged(TObject* Sender);
    // Stores value, rewrites the line settings and restores the old value when that fails.
    template <typename T>
    void SetLineValue(T& field, T value);

    comm::SerialDevice FHandle;
    TVaCriticalSection FWriteSection;
    TVaCriticalSection FGlobalSection;
    std::unique_ptr<TVaCommEventThread> FEventThread;
    std::unique_ptr<TVaCommWriteThread> FWriteThread;
    std::uint32_t FEventMask = 0;
    bool FAutoOpen = false;
    std::int32_t FPortNum = 0;
    std::string FDeviceName = "COM%d";
    TVaCommEvents FMonitorEvents{ceError, ceRxChar, ceTxEmpty};
    std::unique_ptr<TVaBuffers> FBuffers;
    TThreadPriority FEventPriority = tpNormal;
    TThreadPriority FWritePriority = tpHighest;
    bool FDirectWrite = false;
    bool FControlsEnabled = true;
    std::vector<TVaDispatcher*> FClients;  // not owned
    TVaBaudrate FBaudrate = br1200;
    TVaParity FParity = paNone;
    TVaDatabits FDatabits = db8;
    TVaStopbits FStopbits = sb1;
    TVaCommOptions FOptions;
    std::unique_ptr<TVaFlowControl> FFlowControl;
    std::unique_ptr<TVaEventChars> FEventChars;
    bool FUpdateDCB = true;
    std::int32_t FUserBaudrate = 0;
    TVaDisplay* FDisplay = nullptr;  // not owned
    std::unique_ptr<TSettingsStore> FSettingsStore;
    comm::LineCounters FLastCounters;  // line error counts at the last statistics read
    bool FSyncThreads = true;
    std::atomic<bool> FClosePending{false};  // asked for inside a delivery, not yet carried out
    QObject FContext;                         // posted calls die with the component
};

// The component as programs use it: every property published, no behaviour of its own.
class TVaComm : public TVaCustomComm {
public:
    using TVaCustomComm::TVaCustomComm;
    std::string ClassName() const override { return "TVaComm"; }
};
