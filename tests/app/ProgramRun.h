// The program itself, started as a person would start it: offscreen, in a temporary directory, with
// its session file there; and the saved session read back.
#pragma once

#include "inventory/SessionState.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orvelle::test {

class ProgramRunTest : public ::testing::Test {
protected:
    QString Program() const { return QStringLiteral(ORVELLE_BINARY_DIR "/app/orvelle"); }
    QString SessionFile() const { return FDirectory.filePath(QStringLiteral("Orvelle.dat")); }

    void WriteFile(const QString& name, const QByteArray& text) {
        QFile file(FDirectory.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // Starts the program with this process's environment (a bus address the test set among it) and
    // the variables of CHANGED.
    void Start(QProcess& process, const QStringList& arguments,
               const std::vector<std::pair<QString, QString>>& changed = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const auto& [name, value] : changed)
            environment.insert(name, value);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(FDirectory.path());
        process.start(Program(), arguments);
        ASSERT_TRUE(process.waitForStarted()) << Program().toStdString();
    }

    // Sends SIGTERM, which closes the program as Exit does, and expects a normal end with status 0.
    static void Terminate(QProcess& process) {
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << process.readAllStandardError().toStdString();
        EXPECT_EQ(process.exitCode(), 0);
    }

    // The session file as the program last saved it.
    std::unique_ptr<TSessionState> SavedSession() const {
        SetSessionFileName(SessionFile().toStdString());
        return std::unique_ptr<TSessionState>(LoadSession());
    }

    // A log line without its time stamp.
    static std::string LogText(const std::string& line) { return line.substr(line.find(": ") + 2); }

    QTemporaryDir FDirectory;
};

} // namespace orvelle::test
