// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/faults/ProgramRig.h"

#include <QPushButton>
#include <QSpinBox>

#include <fstream>
#include <regex>

#include "app/Unit1NC.h"
#include "app/Unit7.h"
#include "serial/VaComm.h"

ProgramRig::ProgramRig(const std::vector<std::string>& simArguments)
    : FLocale(QLocale(QLocale::English, QLocale::UnitedKingdom))
{
    std::vector<std::string> arguments{"--com", "1"};
    arguments.insert(arguments.end(), simArguments.begin(), simArguments.end());
    FSim = std::make_unique<SimProcess>(arguments);
    FLogPath = FDir.filePath("readings.csv");
    Form().Errors().SetShowBox([this](const std::string& message) { FMessages.push_back(message); });
    Form().AskLogFileName = [this] { return FLogPath; };
}

// The program closes its port before the stand-in goes, as when a user quits first.
ProgramRig::~ProgramRig()
{
    Form().close();
}

bool ProgramRig::OpenPort()
{
    TComPortForm& comPort = *Form().ComPortForm;
    comPort.ComPortEdit1->setValue(1);
    comPort.Button1->click();
    return Form().VaComm().Active();
}

void ProgramRig::StartLog()
{
    Form().LogStartButton->click();
}

ProgramRig::LogContents ProgramRig::ReadLog() const
{
    // Line by line, so that reading a long log does not itself grow the process.
    std::ifstream file(FLogPath.toStdString(), std::ios::binary);
    LogContents contents;
    if (!file) {
        contents.BadLines.push_back("(no log file)");
        return contents;
    }
    // Time of day, then four values with three decimals.
    static const std::regex reading(R"(\d{1,2}:\d\d:\d\d( [AP]M)?(, \d+\.\d{3}){4})");
    int lineNumber = 0;
    for (std::string line; std::getline(file, line);) {
        if (file.eof()) {
            contents.BadLines.push_back("(unterminated) " + line);
            break;
        }
        if (line.empty() || line.back() != '\r') {
            contents.BadLines.push_back(line);
            continue;
        }
        line.pop_back();
        if (++lineNumber <= 2)
            continue;  // the header
        if (std::regex_match(line, reading))
            ++contents.Readings;
        else
            contents.BadLines.push_back(line);
    }
    return contents;
}

long ProgramRig::ResidentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}
