// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-log: the live poll and CSV log of the program, without a window.
#include <signal.h>

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "packaging/Version.h"
#include "tools/korvant-log/Logger.h"
#include "tools/korvant-log/Options.h"
#include "tools/korvant-log/StopSignals.h"

namespace {

// The udev rule example where the package installs it, relative to this executable.
std::optional<std::string> InstalledRuleFile()
{
    const QFileInfo rule(QCoreApplication::applicationDirPath() + "/" KORVANT_RULE_FROM_BIN);
    if (!rule.exists())
        return std::nullopt;
    return rule.canonicalFilePath().toStdString();
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace korvantlog;
    // Before any thread exists, so that every thread inherits the blocked signals.
    BlockStopSignals();
    signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    try {
        options = ParseOptions(args);
    } catch (const std::exception& e) {
        std::cerr << "korvant-log: " << e.what() << "\nTry 'korvant-log --help' for more information.\n";
        return kExitUsage;
    }
    if (options.Help) {
        std::cout << HelpText();
        return kExitOk;
    }
    if (options.Version) {
        std::cout << "korvant-log " << kKorvantVersion << "\n";
        return kExitOk;
    }

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("korvant-log");
    try {
        TKorvantLogger logger(std::move(options), InstalledRuleFile());
        const TStopSignals stops([&logger](int signal) {
            logger.RequestStop(signal == SIGINT ? "interrupted" : "terminated");
        });
        return logger.Run();
    } catch (const std::exception& e) {
        std::cerr << "korvant-log: " << e.what() << "\n";
        return kExitPort;
    }
}
