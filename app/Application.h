#pragma once

#include <memory>

class TAboutForm;
class TComPortForm;
class TForm1;

// The program's windows, created in start-up order: the main window first, then the
// About and COM port windows, which stay hidden until the menu shows them. The main window
// frees the others.
class TKorvantApplication {
public:
    TKorvantApplication();
    ~TKorvantApplication();

    TForm1& Form1() { return *FForm1; }
    TAboutForm& AboutForm() { return *FAboutForm; }
    TComPortForm& ComPortForm() { return *FComPortForm; }

private:
    std::unique_ptr<TForm1> FForm1;
    TAboutForm* FAboutForm = nullptr;
    TComPortForm* FComPortForm = nullptr;
};
