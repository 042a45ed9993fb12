// The program around the window: the command line, the crash report, the termination signals, the
// new-device sound's choice, and the whole program run offscreen on a scenario.
#include "ProgramRun.h"
#include "app/CommandLine.h"
#include "app/CrashHandler.h"
#include "app/FoundSound.h"
#include "app/TerminationSignals.h"
#include "inventory/SessionState.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace orvelle::test {
namespace {

TEST(CommandLineTest, ParsesTheProgramsOptionsAndLeavesTheRestToTheToolkit) {
    struct TCase {
        std::vector<std::string> Arguments;
        bool Simulate;
        std::optional<std::string> Scenario;
        std::optional<std::string> Session;
        bool Help;
        bool Version;
        bool Error;
        std::vector<std::string> Remaining;
    };
    const TCase cases[] = {
        {{"orvelle"}, false, {}, {}, false, false, false, {"orvelle"}},
        {{"orvelle", "--simulate"}, true, {}, {}, false, false, false, {"orvelle"}},
        {{"orvelle", "--simulate=a b.json"}, true, "a b.json", {}, false, false, false, {"orvelle"}},
        {{"orvelle", "--session=/tmp/x.dat", "-platform", "offscreen"},
         false,
         {},
         "/tmp/x.dat",
         false,
         false,
         false,
         {"orvelle", "-platform", "offscreen"}},
        {{"orvelle", "--help"}, false, {}, {}, true, false, false, {"orvelle"}},
        {{"orvelle", "--version"}, false, {}, {}, false, true, false, {"orvelle"}},
        {{"orvelle", "--simulate="}, true, "", {}, false, false, true, {"orvelle"}},
        {{"orvelle", "--session="}, false, {}, "", false, false, true, {"orvelle"}},
        {{"orvelle", "--session", "x.dat"}, false, {}, {}, false, false, true, {"orvelle"}},
        {{"orvelle", "--simulated"}, false, {}, {}, false, false, true, {"orvelle"}},
    };
    for (const TCase& c : cases) {
        const TCommandLine parsed = ParseCommandLine(c.Arguments);
        const std::string what = c.Arguments.size() > 1 ? c.Arguments[1] : "(none)";
        EXPECT_EQ(parsed.Simulate, c.Simulate) << what;
        EXPECT_EQ(parsed.ScenarioFile, c.Scenario) << what;
        EXPECT_EQ(parsed.SessionFile, c.Session) << what;
        EXPECT_EQ(parsed.Help, c.Help) << what;
        EXPECT_EQ(parsed.Version, c.Version) << what;
        EXPECT_EQ(!parsed.Error.empty(), c.Error) << what << ": " << parsed.Error;
        if (!c.Error) {
            EXPECT_EQ(parsed.Remaining, c.Remaining) << what;
        }
    }
    EXPECT_NE(UsageText().find("--simulate=FILE"), std::string::npos);
    EXPECT_EQ(VersionText(), "orvelle 1.1.1\n");
}

TEST(CommandLineTest, InquirySecondsTakesOnlyAWholeNumberInRange) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"--inquiry-seconds=1", 1},
        {"--inquiry-seconds=12", 12},
        {"--inquiry-seconds=3600", 3600},
        {"--inquiry-seconds=0", {}},
        {"--inquiry-seconds=-3", {}},
        {"--inquiry-seconds=+3", {}},
        {"--inquiry-seconds=3601", {}},
        {"--inquiry-seconds=1.5", {}},
        {"--inquiry-seconds=12s", {}},
        {"--inquiry-seconds= 5", {}},
        {"--inquiry-seconds=", {}},
        {"--inquiry-seconds", {}},
        {"--inquiry-seconds=99999999999999999999", {}},
    };
    for (const auto& [argument, seconds] : cases) {
        const TCommandLine parsed = ParseCommandLine({"orvelle", argument, "--session=x.dat"});
        EXPECT_EQ(parsed.InquirySeconds, seconds) << argument;
        if (seconds) {
            EXPECT_EQ(parsed.Error, "") << argument;
            EXPECT_EQ(parsed.SessionFile, "x.dat") << argument;
        } else {
            EXPECT_NE(parsed.Error.find("--inquiry-seconds=N"), std::string::npos)
                << argument << ": " << parsed.Error;
        }
    }
    EXPECT_EQ(ParseCommandLine({"orvelle"}).InquirySeconds, std::nullopt) << "the backend's default";
    EXPECT_NE(UsageText().find("--inquiry-seconds=N"), std::string::npos);
}

TEST(FoundSoundTest, EmptyPlaysNothingAMissingFileTheDesktopDefault) {
    QTemporaryDir directory;
    const std::string existing = directory.filePath(QStringLiteral("found.wav")).toStdString();
    QFile file(QString::fromStdString(existing));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(FoundSoundSource(""), ssNothing);
    EXPECT_EQ(FoundSoundSource(existing), ssFile);
    EXPECT_EQ(FoundSoundSource(DefaultFoundSound), ssDefaultEvent);
    EXPECT_EQ(FoundSoundSource(directory.path().toStdString()), ssDefaultEvent) << "a directory is no sound";
    // Without a sound device these return at once and do nothing.
    PlayFoundSound("");
    PlayFoundSound(DefaultFoundSound);
}

TEST(CrashHandlerTest, ReportIsWrittenBesideTheSessionFileAndTheProcessDiesOfTheSignal) {
    EXPECT_EQ(CrashReportPath("/var/lib/orvelle/Orvelle.dat"), "/var/lib/orvelle/Orvelle.crash.txt");
    EXPECT_EQ(CrashReportPath("Orvelle.dat"), "Orvelle.crash.txt");

    for (int signal : {SIGSEGV, SIGABRT}) {
        QTemporaryDir directory;
        const std::string report =
            CrashReportPath(directory.filePath(QStringLiteral("Orvelle.dat")).toStdString());
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            InstallCrashHandler(report);
            std::raise(signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        QFile file(QString::fromStdString(report));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << report;
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains("ended by signal " + QByteArray::number(signal))) << text.toStdString();
        EXPECT_TRUE(text.contains("Stack trace:")) << text.toStdString();
    }
}

TEST(TerminationSignalsTest, EachSignalRunsTheHandlerOnTheEventLoop) {
    for (int signal : {SIGTERM, SIGINT}) {
        int calls = 0;
        {
            TTerminationSignals handler([&calls] { ++calls; });
            std::raise(signal);
            EXPECT_EQ(calls, 0) << "not inside the signal handler";
            for (int i = 0; i < 50 && calls == 0; ++i)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_EQ(calls, 1) << "signal " << signal;
    }
}

TEST_F(ProgramRunTest, ScansAScenarioAndSavesEverythingWhenTerminated) {
    {
        TSessionState stored;
        stored.SetLocation("Lab");
        stored.HideInactive = true;
        SetSessionFileName(SessionFile().toStdString());
        SaveSession(stored);
    }
    WriteFile(QStringLiteral("scenario.json"), R"({
        "radios": [{ "name": "Lab radio", "address": "00:1A:7D:DA:71:13", "classOfDevice": 260,
                     "manufacturer": 10, "lmpSubversion": 8891, "discoverable": true, "connectable": true }],
        "devices": [
            { "address": "00:0A:3A:54:12:34", "name": "Organizer", "classOfDevice": 276, "inRange": [[0, 1000]],
              "sdp": ["35 0E 09 01 00 25 09 4F 42 45 58 20 50 75 73 68"] },
            { "address": "00:0A:3A:54:12:35", "name": "Phone", "classOfDevice": 524, "inRange": [[0, 1000]] }
        ]
    })");
    QProcess process;
    Start(process, {QStringLiteral("--simulate=") + FDirectory.filePath(QStringLiteral("scenario.json")),
                    QStringLiteral("--session=") + SessionFile()});
    QThread::sleep(3);
    Terminate(process);

    const std::unique_ptr<TSessionState> saved = SavedSession();
    {
        TDeviceListLock lock(saved->DeviceList());
        ASSERT_EQ(saved->DeviceList().Count(), 2);
        const TBTDevice* organizer = saved->DeviceList().FindDevice("(00:0A:3A:54:12:34)");
        ASSERT_NE(organizer, nullptr);
        EXPECT_EQ(organizer->Name, "Organizer");
        EXPECT_EQ(organizer->Location, "Lab");
        EXPECT_GE(organizer->SeenCount, 2);
        EXPECT_EQ(organizer->RawSDPRecords.size(), 1u);
    }
    const std::vector<std::string>& log = saved->Log;
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(LogText(log[0]), "Scan finished");
    EXPECT_EQ(LogText(log[1]), "Found new device: (00:0A:3A:54:12:35)");
    EXPECT_EQ(LogText(log[2]), "Found new device: (00:0A:3A:54:12:34)");
    EXPECT_EQ(LogText(log[3]), "Scan started in location Lab");
    EXPECT_TRUE(saved->HideInactive);
    EXPECT_EQ(saved->Location(), "Lab");
    EXPECT_EQ(saved->LocationList, std::vector<std::string>{"Lab"});
}

TEST_F(ProgramRunTest, BadInquirySecondsStopsTheProgramWithStatusTwoAndWritesNothing) {
    QProcess process;
    Start(process, {QStringLiteral("--inquiry-seconds=0"), QStringLiteral("--session=") + SessionFile()});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 2);
    const QByteArray error = process.readAllStandardError();
    EXPECT_TRUE(error.startsWith("orvelle: --inquiry-seconds needs a whole number")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(SessionFile()));

    QProcess help;
    Start(help, {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(20000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("--inquiry-seconds=N"));
}

TEST_F(ProgramRunTest, BadScenarioStopsTheProgramWithStatusTwoAndWritesNothing) {
    WriteFile(QStringLiteral("malformed.json"),
              R"({"devices": [{"address": "00:0A:3A:54:12:34", "colour": 1}]})");
    WriteFile(QStringLiteral("broken.json"), "{ not json");
    for (const QString& scenario :
         {QStringLiteral("missing.json"), QStringLiteral("malformed.json"), QStringLiteral("broken.json")}) {
        QProcess process;
        Start(process, {QStringLiteral("--simulate=") + FDirectory.filePath(scenario),
                        QStringLiteral("--session=") + SessionFile()});
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 2) << scenario.toStdString();
        const QByteArray error = process.readAllStandardError();
        EXPECT_TRUE(error.startsWith("orvelle: ")) << error.toStdString();
        EXPECT_FALSE(QFile::exists(SessionFile())) << scenario.toStdString();
    }
}

} // namespace
} // namespace orvelle::test
