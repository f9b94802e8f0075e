// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-widgets: the instrument widgets as the main window sets them up.
//
//   korvant-widgets              show the window
//   korvant-widgets --png FILE   write a picture of the window to FILE and exit
//                                (works with QT_QPA_PLATFORM=offscreen)

#include <cstdio>
#include <cstring>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "app/DesignSettings.h"
#include "widgets/AbFlashT.h"
#include "widgets/AbLED.h"
#include "widgets/AbNumEdit.h"
#include "widgets/AbRMeter.h"
#include "widgets/AbVInd.h"

namespace {

// The widgets as the main window has them, showing a reading.
void AddMeter(QWidget* Form, int Left, int Top, const std::string& Name, const std::string& Format, float Value)
{
    auto* m = new TAb270Meter(nullptr, Form);  // the form frees it
    SetUpLambdaMeter(*m, Left, Top, Name, Format);
    m->SetValue(Value);
}

void AddReadout(QWidget* Form, int Left, int Top, const std::string& Name, float Value)
{
    auto* v = new TAbValueInd(nullptr, Form);
    SetUpLambdaReadout(*v, Left, Top, Name);
    v->SetValue(Value);
}

void AddLamp(QWidget* Form, int Left, int Top, int Width, const std::string& Caption, int LampSize,
             const std::string& FontName, int FontHeight, TColor On, TColor Off, bool Checked)
{
    auto* l = new TAbLED(nullptr, Form);
    SetUpLamp(*l, Left, Top, Width, Caption, LampSize, FontName, FontHeight, true, On, Off);
    l->SetChecked(Checked);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::string png;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
            png = argv[++i];
        } else {
            std::fprintf(stderr, "usage: korvant-widgets [--png FILE]\n");
            return 2;
        }
    }

    QWidget form;
    form.setWindowTitle(QStringLiteral("KORVANT widgets"));
    form.setFixedSize(894, 529);
    QPalette pal = form.palette();
    pal.setColor(QPalette::Window, ToQColor(clBtnFace));
    form.setPalette(pal);
    form.setAutoFillBackground(true);

    AddMeter(&form, 17, 9, "LAMBDA CH1", "#0.000", 1.0f);
    AddMeter(&form, 296, 8, "LAMBDA CH2", "#0.0", 0.9f);
    AddMeter(&form, 16, 256, "LAMBDA CH3", "#0.0", 1.2f);
    AddMeter(&form, 296, 256, "LAMBDA CH4", "#0.0", -92.9f);  // the start-up state

    AddReadout(&form, 584, 8, "CH1 LAMBDA", 1.0f);
    AddReadout(&form, 736, 8, "CH2 LAMBDA", 0.9f);
    AddReadout(&form, 584, 96, "CH3 LAMBDA", 1.2f);
    AddReadout(&form, 738, 96, "CH4 LAMBDA", 0.65f);

    auto* volts = new TAbValueInd(nullptr, &form);
    SetUpVoltsReadout(*volts, 621, 182);
    volts->SetValue(13.8f);

    AddLamp(&form, 761, 174, 97, "Log to Disk", 15, "MS Sans Serif", 11, clLime, clBtnFace, false);
    AddLamp(&form, 624, 304, 217, "LAMBDA DATA ONLINE", 18, "Arial", 16, clRed, clAppWorkSpace, true);
    AddLamp(&form, 624, 330, 217, "SENSOR WARMUP", 18, "Arial", 16, clRed, clAppWorkSpace, false);

    // A calibration field of the configuration window.
    auto* label = new QLabel(QStringLiteral("Sensor calibration"), &form);
    label->move(624, 392);
    auto* edit = new TAbNumEdit(nullptr, &form);
    edit->move(624, 410);
    edit->BeginLoading();
    edit->SetFormatStr("#0.#");
    edit->SetIncrement(1);
    edit->SetMinValue(1);
    edit->SetMaxValue(40000);
    edit->SetOptions({eoLimitMax});
    edit->EndLoading();
    edit->SetValue(27315);

    form.show();
    if (png.empty()) {
        const int rc = QApplication::exec();
        ShutdownFlashTimer();
        return rc;
    }
    QApplication::processEvents();
    edit->clearFocus();  // the picture shows the field at rest, not selected for typing
    const QPixmap picture = form.grab();
    if (!picture.save(QString::fromStdString(png), "PNG")) {
        std::fprintf(stderr, "korvant-widgets: cannot write %s\n", png.c_str());
        return 1;
    }
    ShutdownFlashTimer();
    return 0;
}
