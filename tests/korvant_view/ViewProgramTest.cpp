// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <string>
#include <vector>

#include "history/LogData.h"
#include "packaging/Version.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"

using namespace std::string_literals;

namespace {

constexpr int kTimeoutMs = 60000;

struct Finished {
    int ExitCode = -1;
    std::string Out, Err;
};

// A program with no display at all: were it to open a window, it would fail.
Finished RunProgram(const char* program, const std::vector<std::string>& args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("LC_ALL", "de_DE.UTF-8");
    process.setProcessEnvironment(environment);
    QStringList arguments;
    for (const std::string& a : args)
        arguments << QString::fromStdString(a);
    process.start(program, arguments);
    Finished run;
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.Err = "(did not finish)";
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput().toStdString();
    run.Err = process.readAllStandardError().toStdString();
    return run;
}

const std::string kHeader = "KORVANT Log V1.0  10/12/2026\r\nTime, CH1, CH2, CH3, CH4\r\n";

// column: name, arguments ("FILE" stands for the file), the file, exit code, standard
// output, what standard error holds
struct ViewRun {
    const char* name;
    std::vector<std::string> args;
    std::string file;
    int exitCode;
    std::string out;
    std::string err;
};

void PrintTo(const ViewRun& r, std::ostream* out)
{
    *out << r.name;
}

const ViewRun kRuns[] = {
    {"Version", {"--version"}, "", 0, "korvant-view " + std::string(kKorvantVersion) + "\n", ""},
    {"Summary", {"--summary", "FILE"},
     kHeader + "23:59:59, 0.998, 1.020, 0.987, 1.000\r\n23:59:59, 1.002, 1.024, 0.991, 1.004\r\n"
               "00:00:00, 0.900, 1.100, 0.800, 1.200\r\n00:00:00, 1.0\r\n00:00:01, 1.100, 1.000, 1.300, 0.700\r\n",
     0,
     "readings 4 skipped 1 span 2.0 s\n"
     "CH1 min 0.900 mean 1.000 max 1.100\n"
     "CH2 min 1.000 mean 1.036 max 1.100\n"
     "CH3 min 0.800 mean 1.020 max 1.300\n"
     "CH4 min 0.700 mean 0.976 max 1.200\n",
     ""},
    {"SummaryOfTwelveHours", {"--summary", "FILE"},
     kHeader + "11:59:59 AM, 1.000, 1.000, 1.000, 1.000\n12:00:00 PM, 1.000, 1.000, 1.000, 1.000\n"
               "12:00:00 PM, 1.000, 1.000, 1.000, 1.000\n",
     0,
     "readings 3 skipped 0 span 1.5 s\nCH1 min 1.000 mean 1.000 max 1.000\nCH2 min 1.000 mean 1.000 max 1.000\n"
     "CH3 min 1.000 mean 1.000 max 1.000\nCH4 min 1.000 mean 1.000 max 1.000\n",
     ""},
    {"SummaryOfTheHeaderOnly", {"--summary", "FILE"}, kHeader, 0,
     "readings 0 skipped 0 span 0.0 s\nCH1 min - mean - max -\nCH2 min - mean - max -\n"
     "CH3 min - mean - max -\nCH4 min - mean - max -\n",
     ""},
    {"SummaryOfABinaryFile", {"--summary", "FILE"}, "\x1f\x8b\x08\0\0\0\0\0\0\x03"s + std::string(2000, '\xee'), 1, "",
     " is not a KORVANT log: line 1 does not begin with \"KORVANT Log V1.0  \": \"?????????"},
    {"SummaryOfAnEmptyFile", {"--summary", "FILE"}, "", 1, "", " is not a KORVANT log: the file is empty\n"},
    {"SummaryOfNoFile", {"--summary", "/nonexistent/x.csv"}, "", 1, "",
     "korvant-view: Cannot open log file /nonexistent/x.csv: No such file or directory\n"},
    {"SummaryWithoutAFile", {"--summary"}, "", 2, "", "korvant-view: --summary needs the log's file name\n"},
    {"TwoFiles", {"--summary", "a.csv", "b.csv"}, "", 2, "", "korvant-view: one log at a time: a.csv or b.csv\n"},
    {"UnknownOption", {"--summery", "FILE"}, "", 2, "", "korvant-view: unknown option --summery\n"},
};

class ViewProgram : public testing::TestWithParam<ViewRun> {};

}  // namespace

TEST_P(ViewProgram, AnswersWithoutAWindow)
{
    const ViewRun& run = GetParam();
    QTemporaryDir dir;
    const std::string path = dir.filePath("log.csv").toStdString();
    std::vector<std::string> args = run.args;
    for (std::string& a : args) {
        if (a == "FILE")
            a = path;
    }
    if (!run.file.empty() || run.name == std::string("SummaryOfAnEmptyFile")) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(run.file.data(), static_cast<qint64>(run.file.size()));
    }
    const Finished result = RunProgram(KORVANT_VIEW_PATH, args);
    EXPECT_EQ(result.ExitCode, run.exitCode) << result.Err;
    EXPECT_EQ(result.Out, run.out);
    if (run.err.empty()) {
        EXPECT_EQ(result.Err, "");
    } else {
        EXPECT_NE(result.Err.find(run.err), std::string::npos) << result.Err;
    }
    if (run.exitCode == 1 && std::find(run.args.begin(), run.args.end(), "FILE") != run.args.end()) {
        EXPECT_NE(result.Err.find(path), std::string::npos) << "the message names the file";
    }
}

INSTANTIATE_TEST_SUITE_P(KorvantView, ViewProgram, testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KorvantView, HelpTellsHowToUseIt)
{
    const Finished run = RunProgram(KORVANT_VIEW_PATH, {"--help"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out.rfind("Usage: korvant-view [FILE.csv]\n       korvant-view --summary FILE.csv\n", 0), 0u) << run.Out;
    for (const char* part : {"--summary", "--version", "Save as PNG", "Exit status"})
        EXPECT_NE(run.Out.find(part), std::string::npos) << part;
    EXPECT_EQ(run.Err, "");
}

// The logger's own file, from a real run against the stand-in, read back whole.
TEST(KorvantView, SummarisesALogThatKorvantLogWrote)
{
    ScopedConfigHome home;
    SimProcess sim({"--com", "9", "--lambda", "1=1.000", "--lambda", "2=0.900", "--lambda", "3=1.100", "--lambda",
                    "4=0.800"});
    QTemporaryDir dir;
    const std::string path = dir.filePath("drive.csv").toStdString();
    const Finished logged = RunProgram(KORVANT_LOG_PATH, {"--port", "COM9", "--duration", "2", "--out", path});
    ASSERT_EQ(logged.ExitCode, 0) << logged.Err;

    const TLogData data = LoadLog(path);
    ASSERT_GE(data.Readings.size(), 5u);
    EXPECT_EQ(data.Skipped, 0u);
    for (size_t i = 1; i < data.Readings.size(); ++i)
        EXPECT_GT(data.Readings[i].Time, data.Readings[i - 1].Time);

    const Finished summary = RunProgram(KORVANT_VIEW_PATH, {"--summary", path});
    ASSERT_EQ(summary.ExitCode, 0) << summary.Err;
    const std::string readings = "readings " + std::to_string(data.Readings.size()) + " skipped 0 span ";
    EXPECT_EQ(summary.Out.rfind(readings, 0), 0u) << summary.Out;
    EXPECT_NE(summary.Out.find("\nCH1 min 1.000 mean 1.000 max 1.000\nCH2 min 0.900 mean 0.900 max 0.900\n"
                               "CH3 min 1.100 mean 1.100 max 1.100\nCH4 min 0.800 mean 0.800 max 0.800\n"),
              std::string::npos)
        << summary.Out;
    const double span = std::stod(summary.Out.substr(readings.size()));
    EXPECT_GT(span, 0.5);
    EXPECT_LT(span, 3.0);
}
