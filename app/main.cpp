#include <QApplication>

#include "app/AppInfo.h"
#include "app/Application.h"
#include "app/Unit1NC.h"
#include "widgets/AbFlashT.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("korvant");
    QApplication::setApplicationDisplayName(kProgramName);

    int result = 0;
    {
        TKorvantApplication windows;
        windows.Form1().show();
        result = QApplication::exec();
    }
    ShutdownFlashTimer();
    return result;
}
