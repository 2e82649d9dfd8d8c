#pragma once
// Running a program of the build (orvantis-cli above all) the way a script would, with its
// settings, data, runtime and temporary folders kept inside one test folder.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace orv::test {

struct ToolRun {
    int status = -1; // -1: the program crashed or never ended
    QString out;
    QString err;
    QString firstErrLine() const { return err.section('\n', 0, 0); }
};

// The environment of a program run for a test: offscreen, and every folder it may write
// below home.
inline QProcessEnvironment toolEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("ORVANTIS_HOME", home + "/home");
    env.insert("XDG_RUNTIME_DIR", home);
    env.insert("TMPDIR", home);
    return env;
}

// Runs program (a name of the build's output folder, or an absolute path) to its end.
// prepare may set more on the process before it starts (a working folder, limits).
inline ToolRun runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                       const std::function<void(QProcess&)>& prepare = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (prepare) prepare(p);
    const QString exe = program.startsWith('/') ? program : QString(ORV_BINARY_DIR) + "/" + program;
    p.start(exe, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << exe.toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

inline ToolRun runCli(const QString& home, const QStringList& args)
{
    return runTool("orvantis-cli", args, toolEnvironment(home));
}

} // namespace orv::test
