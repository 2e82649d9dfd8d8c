// Waiting in the editor for work on another thread (a large photo read whole): the window
// keeps drawing, a long wait says what it waits for, a short one shows nothing.
#include "app/ui/qt_interaction.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace orv::test {
namespace {

// The progress notes on screen now, by their texts.
QStringList notesShown()
{
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* note = qobject_cast<QProgressDialog*>(w); note && note->isVisible())
            texts << note->labelText();
    return texts;
}

TEST(WaitingForWork, ALongWaitSaysWhatItWaitsForWhileTheWindowKeepsDrawing)
{
    QWidget window;
    window.show();
    QtInteraction ui(&window);

    std::promise<void> finished;
    std::future<void> work = finished.get_future();
    std::thread worker([&finished] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        finished.set_value();
    });
    // Timers stand for the window's drawing: they must run during the wait.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);
    QStringList seenDuring;
    bool modal = false;
    QTimer::singleShot(550, [&] {
        seenDuring = notesShown();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* note = qobject_cast<QProgressDialog*>(w); note && note->isVisible())
                modal = note->windowModality() == Qt::ApplicationModal;
    });

    ui.waitFor("Reading photo.jpg", work);
    worker.join();

    EXPECT_EQ(work.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_GE(ticks, 10);
    EXPECT_EQ(seenDuring, QStringList{"Reading photo.jpg"});
    EXPECT_TRUE(modal);
    EXPECT_TRUE(notesShown().isEmpty()); // gone once the work is done
}

TEST(WaitingForWork, AShortOrFinishedWaitShowsNothing)
{
    QWidget window;
    window.show();
    QtInteraction ui(&window);

    std::future<void> done = std::async(std::launch::deferred, [] {});
    done.wait();
    ui.waitFor("Reading small.png", done);

    std::promise<void> finished;
    std::future<void> work = finished.get_future();
    std::thread worker([&finished] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        finished.set_value();
    });
    bool shown = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] { shown = shown || !notesShown().isEmpty(); });
    look.start(5);
    ui.waitFor("Reading small.png", work);
    worker.join();
    EXPECT_FALSE(shown);
}

} // namespace
} // namespace orv::test
