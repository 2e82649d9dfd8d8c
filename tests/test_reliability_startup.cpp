// Starts that find a lock file or a data folder they did not expect: only a live instance
// on this machine ends a start quietly, anything else is taken over or told.
#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv {
namespace {

void writeLock(const QString& dir, const QByteArray& bytes)
{
    QFile f(dir + "/orvantis.lock");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(StartLock, OnlyALiveInstanceHereEndsAStartQuietly)
{
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                            QCoreApplication::applicationName().toUtf8() + '\n';
    const struct {
        const char* what;
        QByteArray lock;
        InstanceLock::State state;
        const char* message; // %1 the data folder
    } cases[] = {
        {"empty lock file", "", InstanceLock::State::Held, ""},
        {"garbage", "\x01\x02 not a lock\n", InstanceLock::State::Held, ""},
        {"a process that is gone", "999999999\norvantis\n" + QSysInfo::machineHostName().toUtf8() + "\n",
         InstanceLock::State::Held, ""},
        {"a live instance here", self + QSysInfo::machineHostName().toUtf8() + '\n',
         InstanceLock::State::OtherInstance, ""},
        {"another machine", self + "elsewhere.example\n", InstanceLock::State::Failed,
         "Orvantis seems to be running on elsewhere.example with this data folder. If it is "
         "not, delete %1/orvantis.lock and start Orvantis again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        writeLock(dir.path(), c.lock);
        const InstanceLock got = acquireSingleInstance(dir.path());
        EXPECT_EQ(got.state, c.state);
        EXPECT_EQ(got.message, *c.message ? QString(c.message).arg(dir.path()) : QString());
        EXPECT_EQ(got.lock != nullptr, c.state == InstanceLock::State::Held);
    }
}

TEST(StartLock, ADataFolderThatCannotBeWrittenIsTold)
{
    QTemporaryDir tmp;
    QFile(tmp.path() + "/file").open(QIODevice::WriteOnly);
    const QString data = tmp.path() + "/file/Orvantis";
    const InstanceLock got = acquireSingleInstance(data);
    EXPECT_EQ(got.state, InstanceLock::State::Failed);
    EXPECT_EQ(got.message, "The data folder " + data +
                               " cannot be written. Orvantis keeps its working files there.");
}

} // namespace
} // namespace orv
