// Undo and redo of every kind of change: the theme and the preview come back exactly, a
// drag or a typed name is one step, and the unchanged point follows open, new and save.
#include "app/theme_snapshot.h"
#include "support/session_fixture.h"

#include <QUndoStack>
#include <functional>

namespace orv::test {

namespace {

struct Change {
    const char* kind;
    std::function<void(EditorSession&, ScriptedInteraction&)> make;
};

QImage preview(const EditorSession& s) { return s.canvas.oPicBuf.image().copy(); }

} // namespace

class UndoTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        photo = home.path() + "/photo.png";
        QImage img(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        ASSERT_TRUE(img.save(photo));
    }
    // A package with a theme of its own, written without touching the session's state.
    QString otherPackage()
    {
        const ThemeSnapshot kept = takeSnapshot(*session);
        session->setThemeName("Other");
        session->theme.setElement(0, rgbColour(1, 2, 3));
        const QString path = home.path() + "/other.tsk";
        EXPECT_TRUE(session->SaveTheme(path));
        restoreSnapshot(*session, kept);
        return path;
    }
    void slide(Slider which, std::initializer_list<int> values)
    {
        for (int v : values)
            session->edit("Slider", [&] { session->sliderChanged(which, v); }, EditorSession::kMergeSlider);
        session->endBurst();
    }
    QString photo;
};

TEST_F(UndoTest, EveryKindOfChangeIsOneStepUndoneAndRedoneExactly)
{
    const QString other = otherPackage();
    const std::vector<Change> changes = {
        {"colour from the dialog",
         [](EditorSession& s, ScriptedInteraction& ui) {
             ui.colourAnswers.push_back(rgbColour(9, 99, 199));
             s.GetColor();
         }},
        {"reset colours", [](EditorSession& s, ScriptedInteraction&) { s.resetColours(); }},
        {"typed name",
         [](EditorSession& s, ScriptedInteraction&) {
             for (const char* typed : {"D", "Du", "Dus", "Dusk"}) s.typeThemeName(typed);
         }},
        {"slider drag", [this](EditorSession&, ScriptedInteraction&) { slide(Slider::Gamma, {520, 610, 700}); }},
        {"reset sliders", [](EditorSession& s, ScriptedInteraction&) { s.edit("Reset Sliders", [&] { s.resetSlidersCommand(); }); }},
        {"placed background",
         [this](EditorSession& s, ScriptedInteraction& ui) {
             ui.fileAnswers.push_back(photo);
             ui.fitAnswers.push_back(FitChoice::Place);
             ui.placementAnswers.push_back(Placement{0.3, 0.6, 2.0});
             s.edit("Main Image", [&] { s.LoadMainImage(); });
         }},
        {"colour depth", [](EditorSession& s, ScriptedInteraction&) { s.edit("Color Depth", [&] { s.toggleColourDepth(); }); }},
        {"dither", [](EditorSession& s, ScriptedInteraction&) { s.edit("Dither Menu", [&] { s.toggleDitherMenu(); }); }},
        {"open another package", [other](EditorSession& s, ScriptedInteraction&) { EXPECT_TRUE(s.openTheme(other)); }},
        {"new theme", [](EditorSession& s, ScriptedInteraction&) { s.newTheme(); }},
    };
    // Colours and sliders away from their defaults, so the resets have something to undo.
    session->theme.setElement(2, rgbColour(250, 0, 0));
    slide(Slider::Brightness, {800});
    // The element list shows the screen first; the colour dialog's change is the step.
    session->cmbElements_Click(8);

    for (const Change& c : changes) {
        SCOPED_TRACE(c.kind);
        const int steps = session->undoStack().count();
        const ThemeSnapshot before = takeSnapshot(*session);
        const QImage shownBefore = preview(*session);
        c.make(*session, ui);
        const ThemeSnapshot after = takeSnapshot(*session);
        const QImage shownAfter = preview(*session);
        ASSERT_FALSE(after.sameContent(before));
        EXPECT_EQ(session->undoStack().count(), steps + 1);

        session->undo();
        EXPECT_TRUE(takeSnapshot(*session).sameContent(before));
        EXPECT_EQ(preview(*session), shownBefore);
        session->redo();
        EXPECT_TRUE(takeSnapshot(*session).sameContent(after));
        EXPECT_EQ(preview(*session), shownAfter);
    }
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxTexts().join('\n').toStdString();
}

TEST_F(UndoTest, TwoDragsAreTwoStepsAndADragBackToTheStartLeavesNone)
{
    slide(Slider::Contrast, {550, 600});
    slide(Slider::Contrast, {650, 700});
    EXPECT_EQ(session->undoStack().count(), 2);
    slide(Slider::Gamma, {560, 500});
    EXPECT_EQ(session->undoStack().count(), 2);
    session->undo();
    EXPECT_EQ(session->sliders.contrast, 600);
}

TEST_F(UndoTest, AFailedRoutineLeavesItsHalfDoneChangeUndoable)
{
    const ThemeSnapshot before = takeSnapshot(*session);
    EXPECT_THROW(session->edit("Broken", [&] {
        session->theme.setElement(1, rgbColour(7, 7, 7));
        throw AppError(5, "Orvantis", "half way");
    }), AppError);
    ASSERT_EQ(session->undoStack().count(), 1);
    session->undo();
    EXPECT_TRUE(takeSnapshot(*session).sameContent(before));
}

TEST_F(UndoTest, HundredsOfStepsAreKept)
{
    for (int i = 0; i < 150; ++i) session->typeThemeName(QString("name %1").arg(i)), session->endBurst();
    for (int i = 0; i < 150; ++i) session->undo();
    EXPECT_EQ(session->theme.name, "");
}

TEST_F(UndoTest, OpeningStartingAndSavingAreTheUnchangedPoint)
{
    const QString other = otherPackage();
    std::vector<bool> told;
    QObject::connect(session.get(), &EditorSession::modifiedChanged, [&](bool m) { told.push_back(m); });
    EXPECT_FALSE(session->isModified());
    session->typeThemeName("Mine");
    EXPECT_TRUE(session->isModified());

    EXPECT_TRUE(session->openTheme(other));
    EXPECT_FALSE(session->isModified());
    session->undo(); // the replaced theme comes back whole, and it was never saved
    EXPECT_EQ(session->theme.name, "Mine");
    EXPECT_TRUE(session->isModified());
    session->redo();
    EXPECT_FALSE(session->isModified());

    session->newTheme();
    EXPECT_FALSE(session->isModified());
    session->typeThemeName("Saved");
    ASSERT_TRUE(session->SaveTheme(home.path() + "/saved.tsk"));
    session->themeSaved();
    EXPECT_FALSE(session->isModified());
    session->undo();
    EXPECT_TRUE(session->isModified());
    EXPECT_EQ(told, (std::vector<bool>{true, false, true, false, true, false, true, false, true}));

    // A package that cannot be opened is no unchanged point.
    session->typeThemeName("Kept");
    EXPECT_FALSE(session->openTheme(home.path() + "/missing.tsk"));
    EXPECT_TRUE(session->isModified());
    EXPECT_EQ(session->theme.name, "Kept");
}

} // namespace orv::test
