// The editor as it ships, driven as a user drives it: the window that main() builds, its
// buttons, menu entries, drops and preview clicks, with the real dialogs answered on screen.
#include "app/ui/editor_composition.h"
#include "app/ui/hover_menu.h"
#include "app/ui/placement_dialog.h"
#include "app/ui/preview_view.h"
#include "imaging/placement.h"
#include "support/modal_answers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace orv::test {

namespace {

const QRgb kTopLeft = qRgb(200, 30, 30);
const QRgb kTopRight = qRgb(20, 160, 60);
const QRgb kBottomLeft = qRgb(30, 40, 210);
const QRgb kBottomRight = qRgb(240, 230, 20);

// A photo in four flat quarters, so where a background came from shows in its colours.
QImage quarters(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, low = y >= height / 2;
            img.setPixel(x, y, low ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft));
        }
    return img;
}

ModalAnswers::Step chooseFile(const QString& path)
{
    return [path](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "expected a file dialog, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        d->selectFile(path);
        static_cast<QDialog*>(d)->accept(); // the file dialog's own accept checks the choice
    };
}

ModalAnswers::Step chooseFit(int mode)
{
    return [mode](QWidget* w) {
        EXPECT_EQ(w->objectName(), "frmProcessImage");
        if (auto* option = w->findChild<QRadioButton*>(QString("radMode%1").arg(mode))) option->click();
        if (auto* ok = w->findChild<QPushButton*>("Command1")) ok->click();
    };
}

ModalAnswers::Step placeFrame(Placement at, QSize* askedFor = nullptr)
{
    return [at, askedFor](QWidget* w) {
        auto* d = qobject_cast<PlacementDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "expected the placement dialog, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        d->setPlacement(at);
        if (askedFor) *askedFor = d->thumbnail().size();
        d->findChild<QPushButton*>("btnOK")->click();
    };
}

ModalAnswers::Step chooseColour(QColor colour, QString* title = nullptr)
{
    return [colour, title](QWidget* w) {
        auto* d = qobject_cast<QColorDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "expected the colour dialog, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        if (title) *title = d->windowTitle();
        d->setCurrentColor(colour);
        d->accept();
    };
}

} // namespace

class JourneyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        Folders f;
        f.programDir = QString(ORV_BINARY_DIR);
        f.dataDir = home.path() + "/data";
        editor = composeEditor(f);
        editor->window->start(QString());
        photo = home.path() + "/photo.png";
        ASSERT_TRUE(quarters(800, 600).save(photo));
    }
    void TearDown() override { editor.reset(); }

    EditorSession& session() { return *editor->session; }
    template <class W> W* child(const QString& name)
    {
        W* w = editor->window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // A hover entry acts when the button is released on it.
    void release(const QString& entry) { QTest::mouseClick(child<HoverLabel>(entry), Qt::LeftButton); }
    void press(int button) { child<QPushButton>(QString("btnButtons%1").arg(button))->click(); }
    void clickScreen(QPoint pixel)
    {
        auto* view = child<PreviewView>("oPicBuf");
        QTest::mouseClick(view, Qt::LeftButton, {},
                          QPoint(PreviewView::kBorder, PreviewView::kBorder) + pixel * view->scale());
    }
    void drop(QWidget* on, const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = on->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &dropped);
    }
    QImage today() { return session().canvas.oPicBufToday.image().convertToFormat(QImage::Format_RGB32); }
    // The screen the preview shows, at the handheld's own size.
    QImage shown() { return child<PreviewView>("oPicBuf")->screen().convertToFormat(QImage::Format_RGB32); }
    static bool allOf(const QImage& img, QRgb colour)
    {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != colour) return false;
        return true;
    }

    QTemporaryDir home;
    std::unique_ptr<ComposedEditor> editor;
    QString photo;
    ModalAnswers answers;
};

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
