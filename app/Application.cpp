#include "app/Application.h"

#include "app/Unit1NC.h"
#include "app/Unit4.h"
#include "app/Unit7.h"

TKorvantApplication::TKorvantApplication() : FForm1(std::make_unique<TForm1>())
{
    FAboutForm = new TAboutForm(FForm1.get());  // the main window frees it
    FComPortForm = new TComPortForm(*FForm1);   // likewise
    FForm1->AboutForm = FAboutForm;
    FForm1->ComPortForm = FComPortForm;
}

TKorvantApplication::~TKorvantApplication() = default;
