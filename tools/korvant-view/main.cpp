// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-view: the log viewer as a program of its own, and the log's figures for a
// terminal or a script.
#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "charts/LogWindow.h"
#include "history/LogSummary.h"
#include "platform/framework/ErrorDialog.h"
#include "tools/korvant-view/ViewOptions.h"

namespace {

int PrintSummary(const std::string& path)
{
    try {
        std::cout << SummaryText(SummariseLog(path));
        return korvantview::kExitOk;
    } catch (const std::exception& e) {
        std::cerr << "korvant-view: " << e.what() << "\n";
        return korvantview::kExitFile;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace korvantview;
    Options options;
    try {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "korvant-view: " << e.what() << "\nTry 'korvant-view --help' for more information.\n";
        return kExitUsage;
    }
    // These need no window and no display.
    if (options.Help) {
        std::cout << HelpText();
        return kExitOk;
    }
    if (options.Version) {
        std::cout << VersionText();
        return kExitOk;
    }
    if (options.Summary)
        return PrintSummary(*options.File);

    QApplication application(argc, argv);
    QApplication::setApplicationName("korvant-view");
    QApplication::setApplicationDisplayName("KORVANT Log Viewer");
    TErrorDialog errors;
    errors.Install();
    TLogWindow window;
    if (options.File) {
        try {
            window.Open(QString::fromStdString(*options.File));
        } catch (const std::exception& e) {
            // A file that is no log: its message, and nothing else.
            TErrorDialog::MessageBox(e.what());
            return kExitFile;
        }
    }
    window.show();
    return QApplication::exec();
}
