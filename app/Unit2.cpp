// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Unit2.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/Unit1NC.h"
#include "app/WindowFonts.h"
#include "config/ConfigSequence.h"
#include "config/ConfigWriter.h"
#include "platform/framework/ApplicationErrors.h"
#include "serial/VaComm.h"
#include "widgets/AbNumEdit.h"

namespace {

constexpr double kCalibrationMin = 1;
constexpr double kCalibrationMax = 40000;
constexpr double kCanMin = 0;
constexpr double kCanMax = 2046;

}  // namespace

TConfigForm::TConfigForm(TForm1& Form1)
    : QWidget(&Form1, Qt::Window),
      FForm1(Form1),
      FSequence(std::make_unique<TConfigSequence>(Form1.VaComm(), Form1.Buffers(), *this, Form1)),
      FWriter(std::make_unique<TConfigWriter>(Form1.VaComm(), Form1.Buffers(), *FSequence))
{
    setObjectName("ConfigForm");
    setWindowTitle("Configuration");
    setFixedSize(449, 447);
    setFont(WindowFont("MS Sans Serif", 13));

    const auto label = [this](const char* text, int left, int top, bool bold = true) {
        auto* l = new QLabel(text, this);  // the window frees it
        l->setFont(WindowFont("MS Sans Serif", 13, bold));
        l->move(left, top);
        l->adjustSize();
        return l;
    };
    label("CAN SETUP", 160, 18);
    label("11 bit CAN address (0-2046)", 88, 51);
    label("Slave CAN address (0-2046)", 86, 82);
    label("SENSOR SETUP", 160, 112);
    label("Cal value", 143, 144);
    label("Serial number", 240, 144);
    label("Note: sensor serial number 5 characters only", 100, 326, false);
    label("Note: each sensor channel must have correct ", 100, 348, false);
    label("sensor calibration value to give correct Lambda ", 100, 370, false);
    VersionLabel1 = label("       ", 16, 371, false);
    VersionLabel1->setObjectName("VersionLabel1");

    AbNumCAN1 = AddNumEdit(288, 48, 49, kCanMin, kCanMax);
    AbNumCAN1->setObjectName("AbNumCAN1");
    AbNumCAN2 = AddNumEdit(288, 78, 49, kCanMin, kCanMax);
    AbNumCAN2->setObjectName("AbNumCAN2");

    const int rows[] = {168, 208, 248, 288};
    const int serialTops[] = {166, 208, 248, 288};
    for (int i = 0; i < 4; ++i) {
        label(("CH" + std::to_string(i + 1)).c_str(), 112, rows[i] + 4);
        AbNumEdits[static_cast<size_t>(i)] = AddNumEdit(152, rows[i], 65, kCalibrationMin, kCalibrationMax);
        AbNumEdits[static_cast<size_t>(i)]->setObjectName(QString("AbNumEdit%1").arg(i + 1));
        auto* serial = new QLineEdit("*****", this);
        serial->setObjectName(QString("SensorSN_Edit%1").arg(i + 1));
        // Wider than its classic 45 px: five characters of this machine's font need it.
        serial->setGeometry(250, serialTops[i], 58, 24);
        serial->setMaxLength(5);
        serial->setFont(WindowFont("MS Sans Serif", 13));
        SensorSN_Edits[static_cast<size_t>(i)] = serial;
    }

    Button1 = new QPushButton("Read Configuration from KORVANT", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(100, 398, 245, 41);
    Button1->setFont(WindowFont("MS Sans Serif", 13, true));

    // Tab order: AbNumEdit3, AbNumEdit1, AbNumEdit2, AbNumEdit4, the button, the CAN
    // address, the four serial numbers, the slave CAN address.
    QWidget* order[] = {AbNumEdits[2], AbNumEdits[0], AbNumEdits[1], AbNumEdits[3], Button1, AbNumCAN1,
                        SensorSN_Edits[0], SensorSN_Edits[1], SensorSN_Edits[2], SensorSN_Edits[3], AbNumCAN2};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // The handlers are wired after the fields got their first contents.
    for (int i = 0; i < 4; ++i) {
        const int channel = i + 1;
        TAbNumEdit* edit = AbNumEdits[static_cast<size_t>(i)];
        edit->OnValueChanged = [this, edit, channel](TObject*) {
            GuardedCall([&] { FWriter->CalibrationChanged(channel, edit->ValueAsInt()); });
        };
        QLineEdit* serial = SensorSN_Edits[static_cast<size_t>(i)];
        connect(serial, &QLineEdit::textChanged, this, [this, channel](const QString& text) {
            GuardedCall([&] { FWriter->SerialNumberChanged(channel, text); });
        });
    }
    AbNumCAN1->OnValueChanged = [this](TObject*) {
        GuardedCall([this] { FWriter->CanAddressChanged(AbNumCAN1->ValueAsInt()); });
    };
    AbNumCAN2->OnValueChanged = [this](TObject*) {
        GuardedCall([this] { FWriter->SlaveCanAddressChanged(AbNumCAN2->ValueAsInt()); });
    };
    connect(Button1, &QPushButton::clicked, this, [this] { GuardedCall([this] { Button1Click(); }); });
}

TConfigForm::~TConfigForm() = default;

TAbNumEdit* TConfigForm::AddNumEdit(int left, int top, int width, double minValue, double maxValue)
{
    auto* edit = new TAbNumEdit(nullptr, this);  // the window frees it
    edit->setGeometry(left, top, width, 24);
    edit->setFont(WindowFont("MS Sans Serif", 13));
    edit->BeginLoading();
    edit->SetFormatStr("#0.#");
    edit->SetIncrement(1);
    edit->SetMinValue(minValue);
    edit->SetMaxValue(maxValue);
    edit->SetOptions({eoLimitMin, eoLimitMax});
    edit->ShowValue(0);  // nothing read yet
    edit->EndLoading();
    return edit;
}

void TConfigForm::ShowWindow()
{
    if (!FPlaced) {
        FPlaced = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
    AbNumEdits[2]->setFocus();
}

void TConfigForm::Button1Click()
{
    FSequence->Start();
}

void TConfigForm::Timer1Timer()
{
    FSequence->Timer1Timer();
}

void TConfigForm::closeEvent(QCloseEvent* event)
{
    GuardedCall([this] { FSequence->WindowClosed(); });
    QWidget::closeEvent(event);
}

void TConfigForm::SetCalibration(int channel, double value)
{
    AbNumEdits.at(static_cast<size_t>(channel - 1))->ShowValue(value);
}

void TConfigForm::SetSerialNumber(int channel, const QString& text)
{
    SensorSN_Edits.at(static_cast<size_t>(channel - 1))->setText(text);
}

void TConfigForm::SetCanAddress(double value)
{
    AbNumCAN1->ShowValue(value);
}

void TConfigForm::SetSlaveCanAddress(double value)
{
    AbNumCAN2->ShowValue(value);
}

void TConfigForm::SetVersionCaption(const QString& text)
{
    VersionLabel1->setText(text);
    VersionLabel1->adjustSize();
}
