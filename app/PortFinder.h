// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

#include "platform/comm/SerialDevices.h"

class DeviceWatcher;
class QListWidget;
class QMessageBox;
class QPlainTextEdit;
class QPushButton;

// The COM port window's list of the serial devices present, below the spin box. A row
// gives the number that opens the device, its path and what it is; choosing a row (click,
// or the arrow keys) hands its number to picked, and nothing else: it never opens a device.
// Below the list, a hint says what to do about the chosen device (or the first that needs
// it) when no number reaches it or the user may not open it, with the advice on access one
// click away.
//
// The list is read when it is shown and again whenever the folders where devices and links
// appear change, until it is hidden. Everything runs on the user-interface thread.
class PortFinder : public QWidget {
public:
    // numbers: the range the spin box takes. listed runs after every reading.
    PortFinder(int minNumber, int maxNumber, std::function<void(int)> picked, std::function<void()> listed,
               QWidget* parent);
    ~PortFinder() override;

    // Where the devices are looked for; tests point it at a fixture before showing.
    comm::DeviceSources Sources;

    QListWidget* DeviceList = nullptr;
    QPlainTextEdit* HintText = nullptr;
    QPushButton* AdviceButton = nullptr;

    // Reads the devices again, keeping the chosen one chosen.
    void Refresh();
    const std::vector<comm::SerialDeviceEntry>& Devices() const { return FDevices; }
    // The advice on access, once it has been asked for.
    QMessageBox* AdviceBox() const { return FAdviceBox; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int NumberOf(const comm::SerialDeviceEntry& device) const;
    const comm::SerialDeviceEntry* Chosen() const;
    const comm::SerialDeviceEntry* HintedDevice() const;
    void Choose();
    void UpdateHint();
    void ShowAdvice();
    QStringList WatchedFolders() const;

    const int FMinNumber;
    const int FMaxNumber;
    std::function<void(int)> FPicked;
    std::function<void()> FListed;
    std::vector<comm::SerialDeviceEntry> FDevices;
    DeviceWatcher* FWatcher = nullptr;
    QMessageBox* FAdviceBox = nullptr;
};
