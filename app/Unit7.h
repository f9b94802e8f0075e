// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class PortFinder;
class QLabel;
class QPushButton;
class QSpinBox;
class TAbLED;
class TForm1;

// The COM port window: the port number and "Open Port", the only place that opens the
// serial port. Below them it shows which device the number opens and whether the device is
// there, and lists the serial devices present: choosing one sets the number.
class TComPortForm : public QWidget {
public:
    explicit TComPortForm(TForm1& Form1);

    QSpinBox* ComPortEdit1 = nullptr;
    QPushButton* Button1 = nullptr;
    TAbLED* ComPortLED = nullptr;
    QLabel* DeviceLabel = nullptr;
    PortFinder* Finder = nullptr;

    // Shows the window at its place (or brings it forward).
    void ShowWindow();
    // "Open Port": closes the port, takes the number (text that is not a whole number
    // counts as 1) and opens it.
    void Button1Click();
    // Shows the device the number in the box opens.
    void UpdateDeviceLabel();

private:
    int ChosenPort() const;

    TForm1& FForm1;
};
