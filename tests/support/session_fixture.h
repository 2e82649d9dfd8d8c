#pragma once
// A session on a private data folder with a scripted user and a fixed clock.

#include "app/editor_session.h"
#include "support/scripted_interaction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace orv::test {

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        Folders f;
        f.programDir = QString(ORV_BINARY_DIR);
        f.dataDir = home.path();
        session = std::make_unique<EditorSession>(ui, f);
        session->clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(9, 5)); };
    }

    // Runs the start-up of the main window with a command line.
    void start(const QString& commandLine = {}) { session->formLoad(commandLine); }

    QTemporaryDir home;
    ScriptedInteraction ui;
    std::unique_ptr<EditorSession> session;
};

} // namespace orv::test
