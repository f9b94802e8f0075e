// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "config/ConfigFields.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TAbNumEdit;
class TConfigSequence;
class TConfigWriter;
class TForm1;

// The configuration window: the CAN addresses and, per channel, the sensor calibration value
// and serial number, filled by "Read Configuration from KORVANT" and written to the
// controller field by field as the user changes them. A read shows every value as the
// controller sent it; what the user enters in a numeric field is kept to its range at both
// ends (an entry beyond it becomes the nearest end, shown and written), so no out-of-range
// value is ever sent.
class TConfigForm : public QWidget, public IConfigFields {
public:
    explicit TConfigForm(TForm1& Form1);
    ~TConfigForm() override;

    std::array<TAbNumEdit*, 4> AbNumEdits{};        // AbNumEdit1..4: calibration
    std::array<QLineEdit*, 4> SensorSN_Edits{};     // SensorSN_Edit1..4: serial number
    TAbNumEdit* AbNumCAN1 = nullptr;
    TAbNumEdit* AbNumCAN2 = nullptr;
    QLabel* VersionLabel1 = nullptr;
    QPushButton* Button1 = nullptr;

    TConfigSequence& Sequence() { return *FSequence; }

    // Shows the window (or brings it forward), the focus on AbNumEdit3.
    void ShowWindow();
    void Button1Click();
    void Timer1Timer();

    // IConfigFields
    void SetCalibration(int channel, double value) override;
    void SetSerialNumber(int channel, const QString& text) override;
    void SetCanAddress(double value) override;
    void SetSlaveCanAddress(double value) override;
    void SetVersionCaption(const QString& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TAbNumEdit* AddNumEdit(int left, int top, int width, double minValue, double maxValue);

    TForm1& FForm1;
    std::unique_ptr<TConfigSequence> FSequence;
    std::unique_ptr<TConfigWriter> FWriter;
    bool FPlaced = false;
};
