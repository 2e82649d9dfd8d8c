// One editor per user session: a second start with a package hands it to the running
// editor (a real second process of the shipped program), which opens it once idle.
#include "app/handover.h"
#include "app/startup.h"
#include "app/ui/editor_composition.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalServer>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace orv::test {

namespace {

void processEventsUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

class HandoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid() && runtime.isValid() && config.isValid());
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        socket = handoverSocketPath(home.path());
        lock = acquireSingleInstance(home.path());
        ASSERT_EQ(lock.state, InstanceLock::State::Held);
    }
    void TearDown() override
    {
        editor.reset();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    }
    void startEditor()
    {
        Folders f;
        f.programDir = QString(ORV_BINARY_DIR);
        f.dataDir = home.path();
        editor = composeEditor(f, socket);
        editor->window->start(QString());
    }
    // The shipped program started again, as a file manager would start it.
    int secondStart(const QStringList& args, qint64* tookMs = nullptr)
    {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORVANTIS_HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("XDG_DATA_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        second.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        second.start(QString(ORV_BINARY_DIR) + "/orvantis", args);
        EXPECT_TRUE(second.waitForStarted(5000));
        processEventsUntil([&] { return second.state() == QProcess::NotRunning; }, 15000);
        if (tookMs) *tookMs = clock.elapsed();
        if (second.state() != QProcess::NotRunning) {
            second.kill();
            second.waitForFinished();
            ADD_FAILURE() << "the second start did not end";
        }
        return second.exitCode();
    }
    QString package(const QString& name)
    {
        const QString path = home.path() + "/" + name + ".tsk";
        EditorSession& s = *editor->session;
        s.setThemeName(name);
        s.theme.setElement(2, rgbColour(90, 80, 70));
        EXPECT_TRUE(s.SaveTheme(path));
        s.newTheme();
        s.undoStack().clear();
        return path;
    }

    QTemporaryDir home, runtime, config;
    QByteArray savedRuntime;
    QString socket;
    InstanceLock lock;
    std::unique_ptr<ComposedEditor> editor;
};

TEST_F(HandoverTest, ASecondStartHandsItsPackageOverAndTheEditorOpensItAsOneStep)
{
    startEditor();
    const QString path = package("Handed");
    EXPECT_EQ(secondStart({path}), 0);
    processEventsUntil([&] { return editor->session->theme.name == "Handed"; }, 5000);
    EXPECT_EQ(editor->session->theme.name, "Handed");
    EXPECT_EQ(editor->session->theme.element(2), rgbColour(90, 80, 70));
    ASSERT_EQ(editor->session->undoStack().count(), 1);
    EXPECT_EQ(editor->session->undoStack().text(0), "Open Theme");
    editor->session->undo();
    EXPECT_EQ(editor->session->theme.name, "");
}

TEST_F(HandoverTest, AHandedPackageWaitsUntilNoDialogIsOpen)
{
    startEditor();
    const QString path = package("Later");
    bool openedDuringBox = false;
    QTimer::singleShot(0, [&] {
        QMessageBox box(QMessageBox::Information, "t", "a box is open", QMessageBox::Ok, editor->window.get());
        QTimer::singleShot(0, [&] { editor->handovers->enqueue(path); });
        QTimer::singleShot(600, &box, [&] {
            openedDuringBox = editor->session->theme.name == "Later";
            box.accept();
        });
        box.exec();
    });
    processEventsUntil([&] { return editor->session->theme.name == "Later"; }, 5000);
    EXPECT_FALSE(openedDuringBox);
    EXPECT_EQ(editor->session->theme.name, "Later");
    EXPECT_EQ(editor->handovers->pending(), 0);
}

TEST_F(HandoverTest, AnEditorThatDoesNotAnswerOrNoPackageEndsTheSecondStartQuietly)
{
    // Someone holds the socket and never answers.
    QLocalServer mute;
    QLocalServer::removeServer(socket);
    ASSERT_TRUE(mute.listen(socket));
    qint64 took = 0;
    EXPECT_EQ(secondStart({home.path() + "/any.tsk"}, &took), 0);
    EXPECT_GE(took, 2000);
    EXPECT_LT(took, 12000);
    EXPECT_EQ(secondStart({}), 0);
}

} // namespace orv::test
