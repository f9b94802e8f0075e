#pragma once

#include <memory>

class TAboutForm;
class TComPortForm;
class TConfigForm;
class TForm1;

// The program's windows, created in start-up order: the main window first, then the
// configuration, About and COM port windows, which stay hidden until the menu shows them. The main window
// frees the others.
class TKorvantApplication {
public:
    TKorvantApplication();
    ~TKorvantApplication();

    TForm1& Form1() { return *FForm1; }
    TConfigForm& ConfigForm() { return *FConfigForm; }
    TAboutForm& AboutForm() { return *FAboutForm; }
    TComPortForm& ComPortForm() { return *FComPortForm; }

private:
    std::unique_ptr<TForm1> FForm1;
    TConfigForm* FConfigForm = nullptr;
    TAboutForm* FAboutForm = nullptr;
    TComPortForm* FComPortForm = nullptr;
};
