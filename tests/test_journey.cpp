// The editor as it ships, driven as a user drives it: the window that main() builds, its
// buttons, menu entries, drops and preview clicks, with the real dialogs answered on screen.
#include "support/journey_fixture.h"

#include <QUndoStack>

namespace orv::test {

TEST_F(JourneyTest, PlaceFromTheImageMenuMakesTheFramedPartTheBackground)
{
    const Placement lowerRight{0.75, 0.75, 4.0};
    answers.then(chooseFile(photo));
    answers.then(chooseFit(2));
    answers.then(placeFrame(lowerRight));
    release("lblLoadMain");
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(answers.seen, (std::vector<QString>{"QFileDialog", "frmProcessImage", "frmPlaceImage"}));

    const QImage expected = placePicture(quarters(800, 600), QSize(240, 293),
                                         clampedPlacement(QSize(800, 600), QSize(240, 293), lowerRight))
                                .convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(today(), expected);
    EXPECT_TRUE(allOf(today(), kBottomRight));
    // The Today screen shows it below the title bar.
    EXPECT_EQ(shown().pixel(200, 27 + 200), kBottomRight);
}

TEST_F(JourneyTest, PlacedBackgroundUndoneAndRedoneByKeysAndThePreviewMenu)
{
    const QImage blank = today();
    const QImage blankShown = shown();
    const QString caption = editor->window->windowTitle();
    answers.then(chooseFile(photo));
    answers.then(chooseFit(2));
    answers.then(placeFrame({0.75, 0.25, 4.0}));
    release("lblLoadMain");
    ASSERT_TRUE(allOf(today(), kTopRight));
    const QImage placedShown = shown();
    EXPECT_EQ(editor->window->windowTitle(), "*" + caption);

    editor->window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor->window.get()));
    QTest::keyClick(editor->window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(today(), blank);
    EXPECT_EQ(shown(), blankShown);
    EXPECT_EQ(editor->window->windowTitle(), caption);
    QTest::keyClick(editor->window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(allOf(today(), kTopRight));
    EXPECT_EQ(shown(), placedShown);
    QTest::keyClick(editor->window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(editor->window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(shown(), placedShown);

    // The preview's own menu: Undo, beside Double Size.
    auto* view = child<PreviewView>("oPicBuf");
    QStringList entries;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        // Whether Double Size fits depends on the test's screen; the rest does not.
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->text().startsWith("Double Size"))
                entries << a->text() + (a->isEnabled() ? "" : " (off)");
        for (QAction* a : menu->actions())
            if (a->text() == "Undo") menu->setActiveAction(a);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(120, 150), view->mapToGlobal(QPoint(120, 150)));
    QCoreApplication::sendEvent(view, &menuEvent);
    EXPECT_EQ(entries, (QStringList{"Actual Size (240 x 320)", "Undo", "Redo (off)", "Edit Color Here"}));
    EXPECT_EQ(today(), blank);
}

TEST_F(JourneyTest, CropAndResizeFromTheButtonsFitTheWholePictureOrItsCorner)
{
    answers.then(chooseFile(photo));
    answers.then(chooseFit(0));
    press(1);
    EXPECT_TRUE(allOf(today(), kTopLeft));

    answers.then(chooseFile(photo));
    answers.then(chooseFit(1));
    press(1);
    const QImage resized = today();
    EXPECT_EQ(resized.pixel(60, 70), kTopLeft);
    EXPECT_EQ(resized.pixel(180, 70), kTopRight);
    EXPECT_EQ(resized.pixel(60, 220), kBottomLeft);
    EXPECT_EQ(resized.pixel(180, 220), kBottomRight);
    EXPECT_FALSE(answers.pending());
}

TEST_F(JourneyTest, DroppedPictureOnTheStartMenuIsPlacedThroughTheDialogs)
{
    clickScreen(QPoint(5, 5)); // the Start flag opens the menu
    ASSERT_TRUE(session().theme.menuEditing);
    const QImage todayBefore = today();
    answers.then(chooseFit(2));
    answers.then(placeFrame({0.25, 0.75, 3.0}));
    drop(child<PreviewView>("oPicBuf"), photo);
    EXPECT_EQ(answers.seen, (std::vector<QString>{"frmProcessImage", "frmPlaceImage"}));
    EXPECT_TRUE(allOf(session().canvas.oPicBufMenu.image().convertToFormat(QImage::Format_RGB32), kBottomLeft));
    EXPECT_EQ(today(), todayBefore) << "the Today picture stays as it was";

    clickScreen(QPoint(5, 5)); // and closes it again
    EXPECT_FALSE(session().theme.menuEditing);
}

TEST_F(JourneyTest, ColourEntrySavedPackageAndItsDropBringTheThemeBack)
{
    QString title;
    answers.then(chooseColour(QColor(10, 200, 90), &title));
    release("lblColors4"); // Today Screen Text
    EXPECT_EQ(session().theme.element(3), rgbColour(10, 200, 90));
    EXPECT_EQ(title, "Select Color: Today Screen Text");

    QTest::keyClicks(child<QLineEdit>("txtThemeName"), "Meadow");
    const QString saved = home.path() + "/meadow.tsk";
    answers.then(chooseFile(saved));
    press(6);
    ASSERT_TRUE(QFileInfo(saved).isFile());

    press(5); // Start New Theme
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "");
    EXPECT_NE(session().theme.element(3), rgbColour(10, 200, 90));

    drop(editor->window.get(), saved);
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "Meadow");
    EXPECT_EQ(session().theme.element(3), rgbColour(10, 200, 90));
    EXPECT_FALSE(answers.pending());
}

} // namespace orv::test

namespace orv::test {

// What a user sees at both preview sizes: every control of the face whole inside the window
// and none under the preview.
class FaceLayoutJourney : public JourneyTest {
protected:
    PreviewView* view() { return child<PreviewView>("oPicBuf"); }
    // From the preview's menu; the test screen may be too small to offer it, so the request
    // is made as the entry makes it.
    void showAtScale(int scale)
    {
        emit view()->scaleRequested(scale);
        ASSERT_EQ(editor->window->previewScale(), scale);
    }
    // Each shown control of the face that lies outside the window or under the preview.
    QStringList coveredOrCut()
    {
        QStringList out;
        const QRect inside = editor->window->rect();
        const QRect preview = view()->geometry();
        for (QWidget* w : editor->window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w == view() || !w->isVisible()) continue;
            const QString name = w->objectName();
            if (!inside.contains(w->geometry())) out << name + " cut off";
            if (w->geometry().intersects(preview)) out << name + " under the preview";
        }
        return out;
    }
};

TEST_F(FaceLayoutJourney, EveryControlStaysClearOfThePreviewAtBothSizes)
{
    for (int scale : {2, 1, 2}) {
        SCOPED_TRACE(scale);
        showAtScale(scale);
        EXPECT_EQ(view()->size(), QSize(240 * scale + 2 * PreviewView::kBorder, 320 * scale + 2 * PreviewView::kBorder));
        EXPECT_EQ(coveredOrCut(), QStringList());
        for (const char* name : {"lblCaption", "txtThemeName", "cmbElements", "sldGamma", "btnButtons9", "Xlabel"})
            EXPECT_TRUE(child<QWidget>(name)->isVisible()) << name;
        EXPECT_FALSE(child<QLabel>("lblCaption")->text().isEmpty());
    }
}

TEST_F(FaceLayoutJourney, KeptThemeAndUnreadableTextLinesBothReadAtBothSizes)
{
    // A name as long as the box takes: the line shortens it, the tip keeps it whole.
    const QString longName = "Dusk over the long grey river at evening";
    QTest::keyClicks(child<QLineEdit>("txtThemeName"), longName);
    editor->window->close();
    startEditor();
    auto* kept = child<QWidget>("lblRecovery");
    ASSERT_TRUE(kept->isVisible());
    EXPECT_TRUE(kept->toolTip().contains(longName));

    // Today text in the colour of the background under it.
    answers.then(chooseFile(photo));
    answers.then(chooseFit(0));
    press(1);
    answers.then(chooseColour(QColor(kTopLeft)));
    release("lblColors4");
    auto* unreadable = child<QWidget>("lblLegibility");
    ASSERT_TRUE(unreadable->isVisible());
    ASSERT_TRUE(kept->isVisible());

    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        showAtScale(scale);
        EXPECT_FALSE(kept->geometry().intersects(unreadable->geometry()));
        EXPECT_EQ(coveredOrCut(), QStringList());
        // The kept theme's line is tall enough for its words.
        auto* line = static_cast<QLabel*>(kept);
        EXPECT_GE(line->height(), line->heightForWidth(line->width()));
    }
}

} // namespace orv::test

namespace orv::test {

TEST_F(JourneyTest, APackageNamedAtStartOpensUnchangedAndIsNoUndoStep)
{
    answers.then(chooseColour(QColor(10, 200, 90)));
    release("lblColors4");
    QTest::keyClicks(child<QLineEdit>("txtThemeName"), "Meadow");
    const QString saved = home.path() + "/meadow.tsk";
    answers.then(chooseFile(saved));
    press(6);
    ASSERT_TRUE(QFileInfo(saved).isFile());

    Folders f = session().folders();
    editor.reset();
    editor = composeEditor(f);
    editor->window->start(saved);
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "Meadow");
    EXPECT_EQ(session().theme.element(3), rgbColour(10, 200, 90));
    EXPECT_FALSE(editor->window->windowTitle().startsWith('*'));
    EXPECT_FALSE(session().undoStack().canUndo()) << "the theme the editor started with";
    EXPECT_FALSE(session().theme.menuFollowsMain);
}

} // namespace orv::test
