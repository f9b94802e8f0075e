// SPDX-FileCopyrightText: The korvant developers
// SPDX-License-Identifier: GPL-3.0-or-later

// korvant-log as a user runs it: the executable against the controller stand-in on a
// pseudo-terminal, its log file, its status lines, its exit codes and messages.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/PseudoTerminal.h"
#include "tests/support/ScopedConfigHome.h"
#include "tests/support/SimProcess.h"

namespace {

constexpr int kTimeoutMs = 30000;

std::string ReadFile(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(unreadable)");
}

void WriteFile(const std::string& path, const std::string& text)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

// Lines ended by CR LF; an unterminated rest is marked so that a check on it fails.
std::vector<std::string> CsvLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back("(unterminated) " + text.substr(start));
    return lines;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// One run of korvant-log. The C locale pins the time format; the rest of the environment
// (the config home of the test) is inherited.
class LoggerProcess {
public:
    struct Result {
        int ExitCode = -1;
        std::string Out, Err;
    };

    explicit LoggerProcess(const std::vector<std::string>& args, std::function<void()> childSetup = {})
    {
        QStringList arguments;
        for (const std::string& a : args)
            arguments << QString::fromStdString(a);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");
        environment.insert("LANG", "C");
        FProcess.setProcessEnvironment(environment);
        if (childSetup)
            FProcess.setChildProcessModifier(childSetup);
        FProcess.start(KORVANT_LOG_PATH, arguments);
        FStarted = FProcess.waitForStarted(kTimeoutMs);
    }

    ~LoggerProcess()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(kTimeoutMs);
        }
    }

    bool Started() const { return FStarted; }

    // Reads standard output until it holds a line for which done is true.
    bool WaitForStatus(const std::function<bool(const std::string& line)>& done)
    {
        const QDeadlineTimer deadline(kTimeoutMs);
        for (;;) {
            FOut += FProcess.readAllStandardOutput().toStdString();
            size_t start = 0;
            for (size_t end; (end = FOut.find('\n', start)) != std::string::npos; start = end + 1) {
                if (done(FOut.substr(start, end - start)))
                    return true;
            }
            if (deadline.hasExpired() || FProcess.state() == QProcess::NotRunning)
                return false;
            FProcess.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000)));
        }
    }

    void Signal(int signal) const { ::kill(static_cast<pid_t>(FProcess.processId()), signal); }

    Result Finish()
    {
        Result result;
        if (!FProcess.waitForFinished(kTimeoutMs)) {
            result.Err = "(still running)";
            return result;
        }
        result.ExitCode = FProcess.exitStatus() == QProcess::NormalExit ? FProcess.exitCode() : -1;
        result.Out = FOut + FProcess.readAllStandardOutput().toStdString();
        result.Err = FProcess.readAllStandardError().toStdString();
        return result;
    }

private:
    QProcess FProcess;
    bool FStarted = false;
    std::string FOut;
};

LoggerProcess::Result RunLogger(const std::vector<std::string>& args)
{
    LoggerProcess process(args);
    EXPECT_TRUE(process.Started());
    return process.Finish();
}

// The number of lines a status line reports, or -1.
int StatusLines(const std::string& line)
{
    static const QRegularExpression pattern(" (\\d+) lines?$");
    const auto match = pattern.match(QString::fromStdString(line));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

class LoggerRun : public testing::Test {
protected:
    std::string OutPath(const char* name = "run.csv") const { return dir.filePath(name).toStdString(); }

    void StartSim(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--com", "9"});
        sim = std::make_unique<SimProcess>(args);
    }

    // Header, column line, then every line a data line with the given values.
    static void ExpectLog(const std::vector<std::string>& lines, const std::string& values)
    {
        ASSERT_GE(lines.size(), 2u);
        EXPECT_TRUE(lines[0].starts_with("KORVANT Log V1.0  ") && lines[0].size() > 18) << lines[0];
        EXPECT_EQ(lines[1], "Time, CH1, CH2, CH3, CH4");
        const QRegularExpression data("^\\d\\d?:\\d\\d:\\d\\d, " + QRegularExpression::escape(QString::fromStdString(values)) + "$");
        for (size_t i = 2; i < lines.size(); ++i)
            EXPECT_TRUE(data.match(QString::fromStdString(lines[i])).hasMatch()) << "line " << i + 1 << ": " << lines[i];
    }

    ScopedConfigHome home;
    QTemporaryDir dir;
    std::unique_ptr<SimProcess> sim;
};

}  // namespace

TEST_F(LoggerRun, LogsTheStandInsReadingsForTheDuration)
{
    StartSim({"--lambda", "1=1.000", "--lambda", "2=0.900", "--lambda", "3=1.100", "--lambda", "4=0.800",
              "--volts", "13.8"});
    const auto result = RunLogger({"--port", "COM9", "--duration", "3", "--out", OutPath()});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;

    const std::vector<std::string> lines = CsvLines(ReadFile(OutPath()));
    ExpectLog(lines, "1.000, 0.900, 1.100, 0.800");
    // Ten ticks a second for three seconds; the first has no reply to show yet.
    const long long dataLines = static_cast<long long>(lines.size()) - 2;
    EXPECT_GE(dataLines, 20);
    EXPECT_LE(dataLines, 31);
    // One line per valid reply at most: no reading is logged twice.
    EXPECT_LE(dataLines, sim->Stats().at("live_valid"));

    EXPECT_TRUE(Contains(result.Out, "lambda 1.000 0.900 1.100 0.800  13.8 V  online  warm-up off  ")) << result.Out;
    EXPECT_TRUE(Contains(result.Err, sim->DevicePath())) << result.Err;
    EXPECT_TRUE(Contains(result.Err, std::to_string(dataLines) + " lines written to " + OutPath())) << result.Err;
}

struct NoReadingCase {
    const char* name;
    std::vector<std::string> simArgs;
    std::string status;  // part of the status lines
};

void PrintTo(const NoReadingCase& c, std::ostream* os)
{
    *os << c.name;
}

class LoggerWithoutReadings : public LoggerRun, public testing::WithParamInterface<NoReadingCase> {};

TEST_P(LoggerWithoutReadings, WritesTheHeaderAndNoDataLine)
{
    StartSim(GetParam().simArgs);
    const auto result = RunLogger({"--port", "COM9", "--duration", "2", "--out", OutPath()});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::vector<std::string> lines = CsvLines(ReadFile(OutPath()));
    ExpectLog(lines, "");
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(Contains(result.Out, GetParam().status)) << result.Out;
    EXPECT_TRUE(Contains(result.Err, "0 lines written")) << result.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Logger, LoggerWithoutReadings,
    testing::Values(
        NoReadingCase{"Silent", {"--fault", "silence"}, "lambda ----- ----- ----- -----  --.- V  offline  warm-up off  0 lines"},
        NoReadingCase{"WarmingUp", {"--warmup", "3600"}, "lambda 1.000 1.000 1.000 1.000  13.8 V  online  warm-up on  0 lines"},
        NoReadingCase{"BadChecksums", {"--fault", "checksum:1"}, "lambda ----- ----- ----- -----  --.- V  online"}),
    [](const testing::TestParamInfo<NoReadingCase>& info) { return std::string(info.param.name); });

class LoggerStopSignal : public LoggerRun, public testing::WithParamInterface<int> {};

TEST_P(LoggerStopSignal, EndsCleanlyWithACompleteFile)
{
    StartSim({"--lambda", "all=0.987"});
    LoggerProcess logger({"--port", "COM9", "--out", OutPath()});
    ASSERT_TRUE(logger.Started());
    ASSERT_TRUE(logger.WaitForStatus([](const std::string& line) { return StatusLines(line) >= 3; }));
    logger.Signal(GetParam());
    const auto result = logger.Finish();
    ASSERT_EQ(result.ExitCode, 0) << result.Err;

    const std::vector<std::string> lines = CsvLines(ReadFile(OutPath()));
    ExpectLog(lines, "0.987, 0.987, 0.987, 0.987");
    EXPECT_GE(lines.size(), 5u);
    EXPECT_TRUE(Contains(result.Err, "stopping")) << result.Err;
    EXPECT_TRUE(Contains(result.Err, std::to_string(lines.size() - 2) + " lines written")) << result.Err;
    // The port is free again.
    const auto again = RunLogger({"--port", "COM9", "--duration", "0.3"});
    EXPECT_EQ(again.ExitCode, 0) << again.Err;
}

INSTANTIATE_TEST_SUITE_P(Logger, LoggerStopSignal, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

// Killed without a chance to clean up: every line it had reported is in the file, whole.
TEST_F(LoggerRun, KilledLoggerLosesNoReportedLine)
{
    StartSim({"--lambda", "all=0.987"});
    LoggerProcess logger({"--port", "COM9", "--out", OutPath()});
    ASSERT_TRUE(logger.Started());
    int reported = 0;
    ASSERT_TRUE(logger.WaitForStatus([&](const std::string& line) { return (reported = StatusLines(line)) >= 5; }));
    logger.Signal(SIGKILL);
    logger.Finish();
    const std::vector<std::string> lines = CsvLines(ReadFile(OutPath()));
    ExpectLog(lines, "0.987, 0.987, 0.987, 0.987");
    EXPECT_GE(lines.size(), static_cast<size_t>(reported) + 2);
}

TEST_F(LoggerRun, LostDeviceEndsWithItsNameAndKeepsEveryLine)
{
    StartSim({"--lambda", "all=1.050"});
    LoggerProcess logger({"--port", "COM9", "--out", OutPath()});
    ASSERT_TRUE(logger.Started());
    ASSERT_TRUE(logger.WaitForStatus([](const std::string& line) { return StatusLines(line) >= 3; }));
    const std::string device = sim->DevicePath();
    ASSERT_EQ(sim->Command("hangup").rfind("ok", 0), 0u);
    const auto result = logger.Finish();
    EXPECT_EQ(result.ExitCode, 1) << result.Err;
    EXPECT_TRUE(Contains(result.Err, "The serial device " + device + " stopped working")) << result.Err;
    const std::vector<std::string> lines = CsvLines(ReadFile(OutPath()));
    ExpectLog(lines, "1.050, 1.050, 1.050, 1.050");
    EXPECT_GE(lines.size(), 5u);
}

// A failure to start: the exit code, the message, and an existing log file left as it was
// when the port is at fault.
struct StartFailure {
    const char* name;
    std::string port;  // "SIM": the stand-in's device
    bool holdDevice;   // another program holds the port
    std::string out;   // "KEEP": an existing file that must survive
    int exitCode;
    std::vector<std::string> messages;
};

void PrintTo(const StartFailure& c, std::ostream* os)
{
    *os << c.name;
}

class LoggerStartFailure : public LoggerRun, public testing::WithParamInterface<StartFailure> {};

TEST_P(LoggerStartFailure, ExitsWithAClearMessage)
{
    const StartFailure& c = GetParam();
    StartSim({});
    const std::string port = c.port == "SIM" ? sim->DevicePath() : c.port;
    int holder = -1;
    if (c.holdDevice) {
        holder = ::open(sim->DevicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    }
    std::string out = c.out;
    if (out == "KEEP") {
        out = OutPath("precious.csv");
        WriteFile(out, "yesterday's drive\r\n");
    }
    const auto result = RunLogger({"--port", port, "--duration", "1", "--out", out});
    if (holder >= 0)
        ::close(holder);
    EXPECT_EQ(result.ExitCode, c.exitCode) << result.Err;
    for (std::string message : c.messages) {
        if (const size_t at = message.find("SIM"); at != std::string::npos)
            message.replace(at, 3, sim->DevicePath());
        EXPECT_TRUE(Contains(result.Err, message)) << message << " in\n" << result.Err;
    }
    if (c.out == "KEEP") {
        EXPECT_EQ(ReadFile(out), "yesterday's drive\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logger, LoggerStartFailure,
    testing::Values(
        StartFailure{"MissingPortName", "COM77", false, "KEEP", 1,
                     {"korvant-log: Specified device not found (/dev/ttyACM12).", "~/.config/korvant/ports/"}},
        StartFailure{"MissingPath", "/dev/korvant-nothing", false, "KEEP", 1,
                     {"Specified device not found (/dev/korvant-nothing)."}},
        StartFailure{"BusyPort", "SIM", true, "KEEP", 1,
                     {"Can't open specified device SIM (Error 16, Device or resource busy)", "Another program holds SIM"}},
        StartFailure{"NoTerminal", "/dev/null", false, "KEEP", 1,
                     {"Can't open specified device /dev/null (Error 25, Inappropriate ioctl for device)"}},
        StartFailure{"LogFolderMissing", "SIM", false, "/nonexistent-korvant/x.csv", 3,
                     {"Cannot create log file /nonexistent-korvant/x.csv: No such file or directory"}},
        StartFailure{"DiskFull", "SIM", false, "/dev/full", 3,
                     {"Cannot write log file /dev/full: No space left on device"}}),
    [](const testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.name); });

namespace {

// Whether a user without privileges could run the program at path: every folder on the way
// searchable and the file executable by others.
bool ReachableByOthers(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        struct stat st{};
        if (::stat(path.substr(0, slash).c_str(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
    }
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXOTH);
}

}  // namespace

TEST_F(LoggerRun, PermissionProblemNamesDialoutAndTheUdevRule)
{
    PseudoTerminal terminal;
    std::function<void()> asOtherUser;
    if (::geteuid() == 0) {
        // Root opens any device: run the logger as an unprivileged user instead.
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            GTEST_SKIP() << "running as root and there is no user \"nobody\" to drop to";
        if (!ReachableByOthers(KORVANT_LOG_PATH))
            GTEST_SKIP() << "running as root in a folder other users cannot enter (" << KORVANT_LOG_PATH << ")";
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        asOtherUser = [uid, gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(126);
        };
        ASSERT_EQ(::chmod(terminal.SlavePath().c_str(), 0600), 0);
    } else {
        ASSERT_EQ(::chmod(terminal.SlavePath().c_str(), 0), 0);
    }
    LoggerProcess logger({"--port", terminal.SlavePath(), "--duration", "1"}, asOtherUser);
    ASSERT_TRUE(logger.Started());
    const auto result = logger.Finish();
    EXPECT_EQ(result.ExitCode, 1) << result.Err;
    for (const std::string& part : {"Can't open specified device " + terminal.SlavePath() + " (Error 13, Permission denied)",
                                   std::string("dialout"), std::string("udev rule"), std::string("uaccess")})
        EXPECT_TRUE(Contains(result.Err, part)) << part << " in\n" << result.Err;
}

TEST(LoggerCommandLine, HelpAndBadUsage)
{
    const auto help = RunLogger({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Out.starts_with("Usage: korvant-log --port PORT")) << help.Out;
    for (const char* part : {"--out", "--duration", "--version", "Exit codes:"})
        EXPECT_TRUE(Contains(help.Out, part)) << part;

    const auto bad = RunLogger({"--port", "COM9", "--duration", "soon"});
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_TRUE(Contains(bad.Err, "korvant-log: --duration needs a number of seconds")) << bad.Err;
    EXPECT_TRUE(Contains(bad.Err, "--help")) << bad.Err;
}
