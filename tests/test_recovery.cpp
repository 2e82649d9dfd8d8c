// Unsaved work kept at close by every way out, offered back by a line at the next start:
// Restore as one undo step, Discard (or a save) removing the kept copy.
#include "app/recovery.h"
#include "app/theme_snapshot.h"
#include "app/ui/editor_composition.h"
#include "app/ui/hover_menu.h"
#include "app/ui/recovery_line.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace orv::test {

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    std::unique_ptr<ComposedEditor> startEditor()
    {
        Folders f;
        f.programDir = QString(ORV_BINARY_DIR);
        f.dataDir = home.path();
        auto editor = composeEditor(f);
        editor->session->clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(9, 5)); };
        editor->window->start(QString());
        return editor;
    }
    static RecoveryLine* line(ComposedEditor& e) { return e.window->findChild<RecoveryLine*>("lblRecovery"); }
    QStringList kept() const
    {
        return QDir(recoveryFolder(home.path())).entryList(QDir::Files, QDir::Name);
    }
    // A change of each kind the kept copy must carry: name, colour, a background, a slider.
    static void change(ComposedEditor& e)
    {
        QTest::keyClicks(e.window->findChild<QLineEdit*>("txtThemeName"), "Dusk");
        EditorSession& s = *e.session;
        s.edit("Color", [&] { s.theme.setElement(5, rgbColour(12, 34, 56)); });
        s.edit("Main Image", [&] {
            QImage pic(240, 293, QImage::Format_RGB32);
            for (int y = 0; y < 293; ++y)
                for (int x = 0; x < 240; ++x) pic.setPixel(x, y, qRgb(x, y % 256, 77));
            s.canvas.oPicBufToday.setPicture(pic);
        });
        s.edit("Slider", [&] { s.sliderChanged(Slider::Contrast, 720); }, EditorSession::kMergeSlider);
        s.endBurst();
    }

    QTemporaryDir home;
};

TEST_F(RecoveryTest, EveryWayOutKeepsUnsavedWorkAndNoneKeepsAnUnchangedTheme)
{
    const std::vector<std::pair<const char*, std::function<void(ComposedEditor&)>>> ways = {
        {"Exit", [](ComposedEditor& e) { e.window->findChild<QPushButton*>("btnButtons8")->click(); }},
        {"window close", [](ComposedEditor& e) { e.window->close(); }},
        {"Xlabel", [](ComposedEditor& e) { QTest::mouseClick(e.window->findChild<HoverLabel*>("Xlabel"), Qt::LeftButton); }},
        {"Ctrl+Q",
         [](ComposedEditor& e) {
             e.window->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(e.window.get()));
             QTest::keyClick(e.window.get(), Qt::Key_Q, Qt::ControlModifier);
         }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        discardKeptTheme(home.path());
        {
            auto editor = startEditor();
            close(*editor);
            EXPECT_FALSE(editor->window->isVisible());
        }
        EXPECT_TRUE(kept().isEmpty()) << kept().join(' ').toStdString();
        {
            auto editor = startEditor();
            change(*editor);
            close(*editor);
            EXPECT_FALSE(editor->window->isVisible());
        }
        EXPECT_EQ(kept(), (QStringList{"menu.png", "today.png", "unsaved.json", "unsaved.tsk"}));
        const std::optional<KeptTheme> k = keptTheme(home.path());
        ASSERT_TRUE(k);
        EXPECT_EQ(keptThemeLine(*k), "The unsaved theme Dusk from 2026-03-14 09:05 is kept: Restore | Discard");
    }
}

TEST_F(RecoveryTest, RestoreBringsTheKeptThemeBackWholeAsOneUndoStep)
{
    ThemeSnapshot closed;
    {
        auto editor = startEditor();
        change(*editor);
        closed = takeSnapshot(*editor->session);
        editor->window->close();
    }
    auto editor = startEditor();
    RecoveryLine* offer = line(*editor);
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(offer->isVisible());
    EXPECT_EQ(offer->toolTip(), "The unsaved theme Dusk from 2026-03-14 09:05 is kept: Restore | Discard");
    const ThemeSnapshot fresh = takeSnapshot(*editor->session);

    offer->restore();
    EXPECT_FALSE(offer->isVisible());
    EXPECT_TRUE(takeSnapshot(*editor->session).sameContent(closed));
    EXPECT_EQ(editor->window->findChild<QLineEdit*>("txtThemeName")->text(), "Dusk");
    EXPECT_TRUE(editor->session->isModified()) << "restored work is still unsaved";
    EXPECT_TRUE(editor->window->windowTitle().startsWith('*'));
    EXPECT_EQ(editor->session->undoStack().count(), 1);
    editor->session->undo();
    EXPECT_TRUE(takeSnapshot(*editor->session).sameContent(fresh));
}

TEST_F(RecoveryTest, DiscardOrASaveRemovesTheKeptCopy)
{
    {
        auto editor = startEditor();
        change(*editor);
        editor->window->close();
    }
    {
        auto editor = startEditor();
        line(*editor)->discard();
        EXPECT_FALSE(line(*editor)->isVisible());
        EXPECT_TRUE(kept().isEmpty());
        change(*editor);
        editor->window->close();
    }
    auto editor = startEditor();
    EXPECT_TRUE(line(*editor)->isVisible());
    ASSERT_TRUE(editor->session->SaveTheme(home.path() + "/mine.tsk"));
    editor->session->themeSaved();
    EXPECT_TRUE(kept().isEmpty());
    editor->window->close();
    EXPECT_TRUE(kept().isEmpty()) << "a saved theme is nothing to keep";
}

TEST_F(RecoveryTest, AHalfWrittenCopyIsNeverOffered)
{
    {
        auto editor = startEditor();
        change(*editor);
        editor->window->close();
    }
    ASSERT_TRUE(QFile::remove(recoveryFolder(home.path()) + "/unsaved.json"));
    auto editor = startEditor();
    EXPECT_FALSE(line(*editor)->isVisible());
    EXPECT_FALSE(keptTheme(home.path()));
}

} // namespace orv::test
