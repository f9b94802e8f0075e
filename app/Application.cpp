// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Application.h"

#include <QApplication>

#include "app/AppInfo.h"

#include "app/Unit1NC.h"
#include "app/Unit2.h"
#include "app/Unit4.h"
#include "app/Unit7.h"
#include "charts/TrendWindow.h"
#include "widgets/AbFlashT.h"

TKorvantApplication::TKorvantApplication() : FForm1(std::make_unique<TForm1>())
{
    FConfigForm = new TConfigForm(*FForm1);     // the main window frees it
    FAboutForm = new TAboutForm(FForm1.get());  // likewise
    FComPortForm = new TComPortForm(*FForm1);   // likewise
    FTrendForm = new TTrendWindow(FForm1->History(), FForm1.get());  // likewise
    FForm1->ConfigForm = FConfigForm;
    FForm1->AboutForm = FAboutForm;
    FForm1->ComPortForm = FComPortForm;
    FForm1->TrendForm = FTrendForm;
}

TKorvantApplication::~TKorvantApplication() = default;

int RunKorvant(int argc, char** argv, const std::function<void(TKorvantApplication&)>& Prepare)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("korvant");
    QApplication::setApplicationDisplayName(kProgramName);

    int result = 0;
    {
        TKorvantApplication windows;
        if (Prepare)
            Prepare(windows);
        windows.Form1().show();
        result = QApplication::exec();
    }
    ShutdownFlashTimer();
    return result;
}
