// The main window as a user drives it: keys, the name box, the command buttons, clicks and
// drops on the preview, the window drag and the face's looks.
#include "app/ui/main_window.h"
#include "app/preset_answer.h"
#include "app/ui/face_contrast.h"
#include "app/ui/preview_view.h"
#include "app/ui/qt_interaction.h"
#include "support/session_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace orv::test {

class MainWindowTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        session->state.Skin = "NAKED-XP";
        window = std::make_unique<MainWindow>(*session);
    }
    template <class W> W* child(const char* name) { return window->findChild<W*>(name); }

    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ElementListDiscardsTypedKeys)
{
    auto* list = child<QComboBox>("cmbElements");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 11);
    EXPECT_EQ(list->itemText(10), "Important Message Bar Right Color");
    list->setCurrentIndex(2);
    QTest::keyClicks(list, "Upper");
    QTest::keyClick(list, Qt::Key_Space);
    QTest::keyClick(list, Qt::Key_F4);
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_FALSE(list->view()->isVisible());
    QTest::keyClick(list, Qt::Key_Down); // arrows still move through the list
    EXPECT_EQ(list->currentIndex(), 3);
}

TEST_F(MainWindowTest, NameBoxTakesAtMostFortyCharacters)
{
    auto* name = child<QLineEdit>("txtThemeName");
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, QString(50, 'x'));
    EXPECT_EQ(name->text().size(), 40);
    EXPECT_EQ(session->theme.name.size(), 40);
}

TEST_F(MainWindowTest, SavingWithABlankNameAsksForOne)
{
    auto* name = child<QLineEdit>("txtThemeName");
    QTest::keyClicks(name, "   ");
    window->btnButtons_Click(6);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Please Provide a Name for the Theme!");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Exclamation);
}

TEST_F(MainWindowTest, PlainAndSkinButtonSetsSwap)
{
    window->UsePlainButtons();
    EXPECT_TRUE(child<QPushButton>("btnButtons3")->isHidden());
    EXPECT_FALSE(child<QPushButton>("btnButtonsXP3")->isHidden());
    EXPECT_EQ(child<QPushButton>("btnButtonsXP3")->text(), "Get Color");
    window->UseSkinButtons();
    EXPECT_FALSE(child<QPushButton>("btnButtons3")->isHidden());
    EXPECT_TRUE(child<QPushButton>("btnButtonsXP3")->isHidden());
}

TEST_F(MainWindowTest, GetColorNeedsAnElementInTheList)
{
    window->btnButtons_Click(3);
    EXPECT_TRUE(ui.colourRequests.empty());
    child<QComboBox>("cmbElements")->setCurrentIndex(4);
    window->btnButtons_Click(3);
    ASSERT_EQ(ui.colourRequests.size(), 1u);
    EXPECT_EQ(ui.colourRequests[0], 0x000000);
}

} // namespace orv::test

namespace orv::test {

// The dialogs' filters, as the file dialog shows and applies them: one bracket of patterns
// that Qt can split, whether or not the description already shows its patterns.
TEST(FileDialogFilters, DescriptionsKeepOneBracketOfBlankSeparatedPatterns)
{
    EXPECT_EQ(qtFilterOf("Save Theme (*.tsk)|*.tsk"), "Save Theme (*.tsk)");
    EXPECT_EQ(qtFilterOf("Main Image (*.bmp;*.png;*.jpg;*.pcx;*.tga)|*.bmp;*.png;*.jpg;*.pcx;*.tga"),
              "Main Image (*.bmp *.png *.jpg *.pcx *.tga)");
    EXPECT_EQ(qtFilterOf("Pictures|*.png;*.jpg|All|*.*"), "Pictures (*.png *.jpg);;All (*.*)");

    QFileDialog d(nullptr, QString(), QString(),
                  qtFilterOf("Main Image (*.bmp;*.png)|*.bmp;*.png"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(d.nameFilters(), QStringList{"Main Image (*.bmp *.png)"});
}

} // namespace orv::test

namespace orv::test {
namespace {

const QString kMissingPackageBox =
    QStringLiteral("Error: The system cannot find the file specified. (LoadTheme)");

// A started window whose session takes dropped files through the preset answer.
class FaceTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        preset = std::make_unique<PresetOpenAnswer>(ui);
        session = std::make_unique<EditorSession>(*preset, session->folders());
        session->clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(9, 5)); };
        session->state.Skin = "NAKED-XP";
        window = std::make_unique<MainWindow>(*session);
    }
    void TearDown() override { window.reset(); }
    PreviewView* preview() { return window->findChild<PreviewView*>("oPicBuf"); }
    QImage shown() const { return session->canvas.oPicBuf.image().copy(); }
    void drop(QWidget* on, const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = on->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &enter);
        ASSERT_TRUE(enter.isAccepted()) << path.toStdString();
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &dropped);
    }

    std::unique_ptr<PresetOpenAnswer> preset;
    std::unique_ptr<MainWindow> window;
};

TEST_F(FaceTest, NameBoxDropsTheFilteredCharacters)
{
    window->start(QString());
    auto* name = window->findChild<QLineEdit*>("txtThemeName");
    QTest::keyClicks(name, "a:b?c/d_e-f.g~h{i[j@k!l m");
    EXPECT_EQ(name->text(), "ab?cd_e-f.g~hijkl m");
    EXPECT_EQ(session->theme.name, "ab?cd_e-f.g~hijkl m");
}

TEST_F(FaceTest, NameReadFromAPackageIsKeptWholeAndSaved)
{
    window->start(QString());
    const QString longName = QString("Fifty-two characters of a theme name read whole").leftJustified(52, 'x');
    session->setThemeName(longName);
    auto* name = window->findChild<QLineEdit*>("txtThemeName");
    EXPECT_EQ(name->text(), longName);
    QTest::keyClick(name, Qt::Key_A);
    EXPECT_EQ(name->text(), longName); // typing stays capped at 40
    window->btnButtons_Click(6);       // the save dialog is cancelled
    EXPECT_EQ(session->theme.name, longName);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
}

TEST_F(FaceTest, PressOnThePreviewOrAQuickClickNeverMovesTheWindow)
{
    window->start(QString());
    const QPoint where = window->pos();
    QTest::mousePress(preview(), Qt::LeftButton, {}, QPoint(150, 200));
    QTest::mouseMove(preview(), QPoint(190, 260));
    QTest::mouseRelease(preview(), Qt::LeftButton, {}, QPoint(190, 260));
    EXPECT_EQ(window->pos(), where);

    const QPoint face(280, 300);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, face);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, face, 5);
    QTest::mouseMove(window.get(), face + QPoint(40, 30));
    EXPECT_EQ(window->pos(), where);

    // Dragging the face does move it.
    QTest::mousePress(window.get(), Qt::LeftButton, {}, face);
    QTest::mouseMove(window.get(), face + QPoint(20, 15));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, face + QPoint(20, 15));
    EXPECT_EQ(window->pos(), where + QPoint(20, 15));
}

TEST_F(FaceTest, PreviewClicksHitTheSameScreenPixelsAtBothSizes)
{
    window->start(QString());
    for (int scale : {1, 2}) {
        window->setPreviewScale(scale);
        ASSERT_EQ(preview()->width(), 240 * scale + 2);
        const int before = static_cast<int>(ui.colourRequests.size());
        auto at = [scale](int c, int r) {
            return QPoint(PreviewView::kBorder + c * scale, PreviewView::kBorder + r * scale);
        };
        QTest::mouseClick(preview(), Qt::LeftButton, {}, at(120, 47));
        EXPECT_EQ(session->selectedElement, 4);
        QTest::mouseClick(preview(), Qt::LeftButton, {}, at(120, 49));
        QTest::mouseClick(preview(), Qt::LeftButton, {}, at(31, 35));
        EXPECT_EQ(session->selectedElement, 3);
        EXPECT_EQ(static_cast<int>(ui.colourRequests.size()), before + 2) << "scale " << scale;
        QTest::mouseClick(preview(), Qt::LeftButton, {}, at(5, 5));
        EXPECT_TRUE(session->theme.menuEditing);
        QTest::mouseClick(preview(), Qt::LeftButton, {}, at(5, 5));
        EXPECT_FALSE(session->theme.menuEditing);
    }
    EXPECT_EQ(window->width(), 640 + 240);
}

TEST_F(FaceTest, DroppedPictureLoadsTheBackgroundNowShownWithTheFitChoice)
{
    window->start(QString());
    QImage red(240, 293, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString path = home.path() + "/red.png";
    ASSERT_TRUE(red.save(path));

    for (int scale : {1, 2}) {
        window->setPreviewScale(scale);
        const int fits = ui.fitRequests;
        drop(preview(), path);
        EXPECT_EQ(ui.fitRequests, fits + 1);
        EXPECT_TRUE(ui.fileRequests.empty());
        EXPECT_EQ(session->canvas.oPicBufToday.image().pixelColor(10, 10), QColor(Qt::red));
    }
    session->theme.menuEditing = true;
    drop(preview(), path);
    EXPECT_EQ(session->canvas.oPicBufMenu.image().pixelColor(10, 10), QColor(Qt::red));
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_EQ(session->state.ImagesPath, home.path() + "/");
}

TEST_F(FaceTest, DroppedPackageOpensWhereverItLands)
{
    window->start(QString());
    drop(window.get(), home.path() + "/gone.tsk");
    drop(preview(), home.path() + "/gone.TSK");
    EXPECT_EQ(ui.boxTexts(), QStringList({kMissingPackageBox, kMissingPackageBox}));
    EXPECT_TRUE(ui.fileRequests.empty());
}

TEST_F(FaceTest, CommandLinePackageThatFailsShowsItsBoxOverTheDrawnWindow)
{
    bool visible = false;
    ui.onAsk = [&] { visible = window->isVisible() && !shown().isNull(); };
    window->start(home.path() + "/missing.tsk");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(visible);
    EXPECT_EQ(ui.boxes[0].text, kMissingPackageBox);
    const QImage after = shown();
    session->DoScreenMain();
    EXPECT_EQ(after, shown());
}

TEST_F(FaceTest, PlainButtonsShowTheirWholeCaptionsAndAllTakeTheTabKey)
{
    window->start("NOSKIN");
    QList<QPushButton*> reached;
    QWidget* w = window.get();
    do {
        w = w->nextInFocusChain();
        if (auto* b = qobject_cast<QPushButton*>(w); b && b->isVisible() && (b->focusPolicy() & Qt::TabFocus))
            reached << b;
    } while (w != window.get());
    ASSERT_EQ(reached.size(), 10);
    for (QPushButton* b : reached) {
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        EXPECT_GE(b->height(), b->sizeHint().height() - 4) << b->text().toStdString();
        EXPECT_LE(b->geometry().right(), window->width());
    }
}

TEST_F(FaceTest, ShortcutsRunTheirCommands)
{
    window->start(QString());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Select TSK File");
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.boxTexts(), QStringList{"Please Provide a Name for the Theme!"});
    session->setThemeName("x");
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(session->theme.name, "");
    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* help = window->findChild<QWidget*>("help");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FaceTest, CaptionAndMenuTitlesReadOnEverySkin)
{
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0, 0, 128), QColor(20, 20, 20)), 1.15, 0.01); // navy on near-black
    const char* const skins[] = {"Y", "SKIN-BLUEGREEN", "SKIN-CAMOUFLAGE", "SKIN-GLASS-BLUE",
                                 "SKIN-GLASS-GREEN", "SKIN-GLASS-PURPLE", "SKIN-GREEN",
                                 "SKIN-GREENBLUE", "SKIN-MARBLE", "SKIN-METAL", "SKIN-WOOD"};
    for (const char* skin : skins) {
        session->state.Skin = skin;
        window = std::make_unique<MainWindow>(*session);
        window->start(QString());
        const QImage face = window->palette().brush(QPalette::Window).textureImage();
        ASSERT_EQ(face.size(), window->size()) << skin;
        QList<QLabel*> labels = {window->findChild<QLabel*>("lblCaption")};
        for (const char* title : {"lblFile", "lblImage", "lblColor", "lblHelp1"})
            labels << window->findChild<QLabel*>(title);
        for (QLabel* l : labels) {
            const ReadableText look{l->property("textColour").value<QColor>(),
                                    l->property("plateColour").value<QColor>()};
            EXPECT_GE(worstContrast(face, l->geometry(), look), 4.5)
                << skin << " " << l->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace orv::test
