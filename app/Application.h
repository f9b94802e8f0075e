// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>

class TAboutForm;
class TComPortForm;
class TConfigForm;
class TForm1;
class TTrendWindow;

// The program's windows, created in start-up order: the main window first, then the
// configuration, About and COM port windows, which stay hidden until the menu shows them,
// and the trend window of "Chart". The main window frees the others.
class TKorvantApplication {
public:
    TKorvantApplication();
    ~TKorvantApplication();

    TForm1& Form1() { return *FForm1; }
    TConfigForm& ConfigForm() { return *FConfigForm; }
    TAboutForm& AboutForm() { return *FAboutForm; }
    TComPortForm& ComPortForm() { return *FComPortForm; }
    TTrendWindow& TrendForm() { return *FTrendForm; }

private:
    std::unique_ptr<TForm1> FForm1;
    TConfigForm* FConfigForm = nullptr;
    TAboutForm* FAboutForm = nullptr;
    TComPortForm* FComPortForm = nullptr;
    TTrendWindow* FTrendForm = nullptr;
};

// The program's run: Qt's application object and names, the windows, the main window shown
// and the event loop until it ends. Prepare runs on the windows just before the main window
// is shown. Returns the event loop's exit code.
int RunKorvant(int argc, char** argv, const std::function<void(TKorvantApplication&)>& Prepare = {});
