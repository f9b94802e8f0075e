// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Unit7.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "app/PortFinder.h"
#include "app/Unit1NC.h"
#include "app/WindowFonts.h"
#include "platform/comm/DevicePath.h"
#include "platform/comm/PortList.h"
#include "platform/framework/ApplicationErrors.h"
#include "serial/VaComm.h"
#include "widgets/AbLED.h"

TComPortForm::TComPortForm(TForm1& Form1) : QWidget(&Form1, Qt::Window), FForm1(Form1)
{
    setObjectName("ComPortForm");
    setWindowTitle("COM Port Setup");
    setFont(WindowFont("Tahoma", 11));
    // Room below for the device line and the device list this platform adds.
    setFixedSize(320, 388);
    move(585, 329);

    ComPortEdit1 = new QSpinBox(this);
    ComPortEdit1->setObjectName("ComPortEdit1");
    ComPortEdit1->setGeometry(64, 47, 49, 29);
    ComPortEdit1->setRange(1, 255);
    ComPortEdit1->setValue(1);
    ComPortEdit1->setFont(WindowFont("Tahoma", 16));

    Button1 = new QPushButton("Open Port", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(152, 44, 97, 38);
    setTabOrder(ComPortEdit1, Button1);

    ComPortLED = new TAbLED(nullptr, this);
    ComPortLED->setObjectName("ComPortLED");
    ComPortLED->SetBounds(104, 101, 81, 33);
    ComPortLED->SetCaption("Port Open");
    ComPortLED->LED().SetHeight(15);
    ComPortLED->LED().SetWidth(15);
    ComPortLED->SetSpacing(5);
    ComPortLED->SetLED_Position(lpLeft);
    ComPortLED->SetMode(mIndicator);
    ComPortLED->Font().SetName("Tahoma");
    ComPortLED->Font().SetHeight(13);

    DeviceLabel = new QLabel(this);
    DeviceLabel->setObjectName("DeviceLabel");
    DeviceLabel->setGeometry(8, 138, 304, 18);

    Finder = new PortFinder(
        ComPortEdit1->minimum(), ComPortEdit1->maximum(), [this](int number) { ComPortEdit1->setValue(number); },
        [this] { UpdateDeviceLabel(); }, this);
    Finder->move(0, 160);
    setTabOrder(Button1, Finder->DeviceList);

    connect(Button1, &QPushButton::clicked, this, [this] { GuardedCall([this] { Button1Click(); }); });
    connect(ComPortEdit1, &QSpinBox::textChanged, this, [this] { UpdateDeviceLabel(); });
    UpdateDeviceLabel();
}

void TComPortForm::ShowWindow()
{
    UpdateDeviceLabel();
    show();
    raise();
    activateWindow();
}

int TComPortForm::ChosenPort() const
{
    bool ok = false;
    const int number = ComPortEdit1->cleanText().trimmed().toInt(&ok);
    return ok ? number : 1;
}

void TComPortForm::UpdateDeviceLabel()
{
    TVaComm& comm = FForm1.VaComm();
    const std::string name = comm::FormatDeviceName(comm.DeviceName(), ChosenPort());
    const std::string path = comm::ResolveDevicePath(name);
    const bool present = comm::DevicePresent(path);
    DeviceLabel->setText(QString("%1 opens %2 (%3)")
                             .arg(QString::fromStdString(name), QString::fromStdString(path),
                                  present ? "present" : "not present"));
}

void TComPortForm::Button1Click()
{
    TVaComm& comm = FForm1.VaComm();
    comm.Close();
    comm.SetPortNum(ChosenPort());
    comm.Open();
    if (comm.Active())
        ComPortLED->SetChecked(true);
    else
        FForm1.Online_LED1->SetChecked(false);
}
