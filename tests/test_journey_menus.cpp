// The editor as it ships, every menu entry and button a user can reach: what each one writes,
// the screen it leaves shown, the captions and the boxes it shows.
#include "app/recovery.h"
#include "app/settings_store.h"
#include "app/ui/about_window.h"
#include "app/ui/help_viewer.h"
#include "app/ui/recovery_line.h"
#include "support/journey_fixture.h"
#include "theme/cab_file.h"
#include "theme/package_files.h"

#include <QComboBox>
#include <QImageReader>
#include <QSlider>
#include <QSet>
#include <cmath>

namespace orv::test {

namespace {

// A photo of smooth ramps: reduced to 256 colours, dithering shows in every row.
QImage ramps(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) * 127 / (width + height) + 60));
    return img;
}

// The mean difference per channel over the picture's inside (a capture draws a frame round it).
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    int n = 0;
    for (int y = 1; y < a.height() - 1; ++y)
        for (int x = 1; x < a.width() - 1; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    return n ? sum / n : 0;
}

int distinctColours(const QImage& img)
{
    QSet<QRgb> seen;
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) seen.insert(rgb.pixel(x, y));
    return int(seen.size());
}

} // namespace

class MenuJourneyTest : public JourneyTest {
protected:
    QString caption(const QString& entry) { return child<QLabel>(entry)->text(); }
    void keys(QKeySequence k)
    {
        editor->window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor->window.get()));
        QTest::keySequence(editor->window.get(), k);
    }
    // The Today picture of a saved package, unpacked.
    QString todayMemberOf(const QString& package)
    {
        const QString dir = home.path() + "/unpacked-" + QFileInfo(package).baseName();
        CCabFile cab;
        cab.setCabName(package);
        EXPECT_TRUE(cab.Extract(QString(), dir, QString()));
        return dir + "/" + kTodayMember;
    }
    void saveAs(const QString& path, const QString& entry = {})
    {
        answers.then(chooseFile(path));
        if (entry.isEmpty()) press(6);
        else release(entry);
        EXPECT_FALSE(answers.pending());
        ASSERT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    }
};

TEST_F(MenuJourneyTest, EveryEntryAndButtonShowsItsCaption)
{
    const std::vector<std::pair<const char*, const char*>> entries = {
        {"lblOpen", " Open Theme"}, {"lblNew", " Start  New Theme"}, {"lblSave", " Save Theme 256"},
        {"lblFileManager", " Theme Transfer"}, {"lblExit", " EXIT"},
        {"lblLoadMain", " Load Main Image"}, {"lblLoadMenu", " Load Menu Image"},
        {"lblMain", " Save Main Image"}, {"lblMenu", " Save Menu Image"}, {"lblCapture2", " Screen Capture"},
        {"lblDitherMain", " X Dither Main"}, {"lblDitherMenu", " X Dither Menu"},
        {"lblColors0", " Reset Colors"}, {"lblColors1", " Upper Left Titlebar"},
        {"lblColors11", " Important Message Bar Right"}, {"lblColors12", " Reset Sliders"},
        {"lblColors13", " 256 Colors (click for 16M)"}, {"lblColors14", " Match Colors to Picture"},
        {"lblHelp", " Contents & Index"}, {"lblAbout", " About"}};
    for (const auto& [name, text] : entries) EXPECT_EQ(caption(name), text) << name;

    const QStringList buttons = {"Open Existing Theme", "Main Image", "Menu Image", "Get Color", "Reset Colors",
                                 "Start New Theme", "Save Theme", "Screen Capture", "Exit", "Settings"};
    for (int i = 0; i < 10; ++i) {
        auto* b = child<QPushButton>(QString("btnButtons%1").arg(i));
        EXPECT_TRUE(b->isVisible()) << i;
        EXPECT_EQ(b->toolTip(), buttons[i]);
    }
    // The window's own corner links show; Help and About are reached from the Help menu.
    EXPECT_TRUE(child<QLabel>("Xlabel")->isVisible());
    EXPECT_TRUE(child<QLabel>("lblMin")->isVisible());
    EXPECT_FALSE(child<QLabel>("HelpLabel")->isVisible());
    EXPECT_FALSE(child<QLabel>("AboutLabel")->isVisible());
}

TEST_F(MenuJourneyTest, SavingEachBackgroundWritesThePictureAsHeldAtItsSize)
{
    answers.then(chooseFile(photo));
    answers.then(chooseFit(1));
    release("lblLoadMain");
    answers.then(chooseFile(photo));
    answers.then(chooseFit(0));
    release("lblLoadMenu");

    const QString mainOut = home.path() + "/main.png", menuOut = home.path() + "/menu.png";
    QString mainTitle, menuTitle;
    answers.then(chooseFile(mainOut, &mainTitle));
    release("lblMain");
    answers.then(chooseFile(menuOut, &menuTitle));
    release("lblMenu");
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(mainTitle, "Save Main Background Image");
    EXPECT_EQ(menuTitle, "Save Menu Background Image");

    const QImage main(mainOut), menu(menuOut);
    EXPECT_EQ(main.size(), QSize(240, 293));
    EXPECT_EQ(main.convertToFormat(QImage::Format_RGB32), today());
    EXPECT_EQ(menu.size(), QSize(150, 293));
    EXPECT_EQ(menu.convertToFormat(QImage::Format_RGB32),
              session().canvas.oPicBufMenu.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(allOf(menu.convertToFormat(QImage::Format_RGB32), kTopLeft)) << "the cropped corner";
}

TEST_F(MenuJourneyTest, ScreenCaptureWritesTheScreenShownAndSaysWhere)
{
    // From the button, on the Today screen.
    const QString todayOut = home.path() + "/today.jpg";
    QString said;
    answers.then(chooseFile(todayOut));
    answers.then(readBox(&said));
    press(7);
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(said, "Image " + todayOut + " is saved.");
    const QImage todayScreen = shown();
    QImage written(todayOut);
    ASSERT_EQ(written.size(), QSize(240, 320));
    EXPECT_LT(meanDifference(written.convertToFormat(QImage::Format_RGB32), todayScreen), 4.0);

    // From the Image menu, with the Start menu open: the capture is that screen.
    clickScreen(QPoint(5, 5));
    ASSERT_TRUE(session().theme.menuEditing);
    const QString menuOut = home.path() + "/start.jpg";
    answers.then(chooseFile(menuOut));
    answers.then(readBox(&said));
    release("lblCapture2");
    EXPECT_EQ(said, "Image " + menuOut + " is saved.");
    written = QImage(menuOut).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), QSize(240, 320));
    EXPECT_LT(meanDifference(written, shown()), 4.0);
    EXPECT_GT(meanDifference(written, todayScreen), 4.0) << "the Start menu, not the Today screen";
}

TEST_F(MenuJourneyTest, ThemeTransferWithoutAHandheldOpensItsWindowAndSaysSo)
{
    qputenv("ORVANTIS_DEVICE_ROOT", (home.path() + "/unplugged").toUtf8());
    QString windowTitle, said, title;
    QStringList offered;
    answers.then([&](QWidget* w) { windowTitle = w->windowTitle(); }); // it stays open
    answers.then(readBox(&said, &title));
    // Back at the window after the box: only Exit is left to press.
    answers.then([&](QWidget* w) {
        for (int i = 1; i <= 5; ++i)
            if (auto* b = w->findChild<QPushButton*>(QString("btnButtons%1").arg(i)); b && b->isEnabled())
                offered << b->text();
        w->findChild<QPushButton*>("btnButtons3")->click();
    });
    release("lblFileManager");
    QTRY_VERIFY_WITH_TIMEOUT(!answers.pending(), 5000);
    qunsetenv("ORVANTIS_DEVICE_ROOT");
    EXPECT_EQ(answers.seen, (std::vector<QString>{"frmFileManager", "QMessageBox", "frmFileManager"}));
    EXPECT_EQ(windowTitle, "Orvantis Theme Transfer");
    EXPECT_EQ(said, "Unable to connect! Make sure ActiveSync is working!");
    EXPECT_EQ(title, "Orvantis by Zephrin");
    EXPECT_EQ(offered, QStringList{"Exit"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MenuJourneyTest, SettingsAcceptedAreStoredAndShowOnTheTodayScreen)
{
    const QString nameBefore = session().state.Name1, todayTextBefore = session().state.TodayText;
    struct Restore {
        QString name, todayText;
        ~Restore()
        {
            SaveSetting("Orvantis", "Startup", "Name1", name);
            SaveSetting("Orvantis", "Startup", "TodayText", todayText);
        }
    } restore{nameBefore, todayTextBefore};
    ASSERT_EQ(todayTextBefore, "all") << "the owner's name shows on the Today screen";

    const QImage before = shown();
    QString title;
    answers.then([&](QWidget* w) {
        title = w->windowTitle();
        w->findChild<QLineEdit*>("txtName1")->setText("Ada Lark");
        w->findChild<QPushButton*>("btnButtons1")->click(); // Accept Changes
    });
    press(9);
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(title, "Orvantis by Zephrin Settings");
    EXPECT_EQ(session().state.Name1, "Ada Lark");
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "Name1", ""), "Ada Lark");
    const QImage renamed = shown();
    EXPECT_NE(renamed, before) << "the Today screen names the new owner";

    // Today Text "None": the lines under the date go.
    answers.then([&](QWidget* w) {
        w->findChild<QRadioButton*>("radTodayText3")->click();
        w->findChild<QPushButton*>("btnButtons1")->click();
    });
    press(9);
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "TodayText", ""), "none");
    EXPECT_NE(shown(), renamed);

    // Cancel keeps everything as it was.
    answers.then([&](QWidget* w) {
        w->findChild<QLineEdit*>("txtName1")->setText("Nobody");
        w->findChild<QPushButton*>("btnButtons0")->click();
    });
    const QImage settled = shown();
    press(9);
    EXPECT_EQ(session().state.Name1, "Ada Lark");
    EXPECT_EQ(shown(), settled);
    EXPECT_FALSE(session().isModified()) << "settings are not part of the theme";
}

TEST_F(MenuJourneyTest, DitherAndColourDepthSwitchesChangeTheirCaptionsAndThePackage)
{
    const QString smooth = home.path() + "/ramps.png";
    ASSERT_TRUE(ramps(480, 586).save(smooth));
    answers.then(chooseFile(smooth));
    answers.then(chooseFit(1));
    press(1);
    QTest::keyClicks(child<QLineEdit>("txtThemeName"), "Grain");

    const QString dithered = home.path() + "/dithered.tsk";
    saveAs(dithered, "lblSave");

    release("lblDitherMain");
    EXPECT_EQ(caption("lblDitherMain"), " _ Dither Main");
    EXPECT_EQ(caption("lblDitherMenu"), " X Dither Menu");
    release("lblDitherMenu");
    EXPECT_EQ(caption("lblDitherMenu"), " _ Dither Menu");
    const QString plain = home.path() + "/plain.tsk";
    saveAs(plain);

    release("lblColors13");
    EXPECT_EQ(caption("lblColors13"), " 16M Colors (click for 256)");
    EXPECT_EQ(caption("lblSave"), " Save Theme 16M");
    const QString full = home.path() + "/full.tsk";
    saveAs(full);

    const QImage a(todayMemberOf(dithered)), b(todayMemberOf(plain));
    ASSERT_EQ(a.size(), QSize(240, 320 - 27));
    EXPECT_LE(distinctColours(a), 256);
    EXPECT_LE(distinctColours(b), 256);
    EXPECT_NE(a.convertToFormat(QImage::Format_RGB32), b.convertToFormat(QImage::Format_RGB32))
        << "dithering on and off save different pictures";
    QImageReader fullReader(todayMemberOf(full));
    EXPECT_EQ(fullReader.format(), "jpeg");
    EXPECT_GT(distinctColours(fullReader.read()), 256);

    // Each switch is one undo step, captions and all.
    keys(QKeySequence::Undo);
    EXPECT_EQ(caption("lblColors13"), " 256 Colors (click for 16M)");
    EXPECT_EQ(caption("lblSave"), " Save Theme 256");
    keys(QKeySequence::Undo);
    EXPECT_EQ(caption("lblDitherMenu"), " X Dither Menu");
}

TEST_F(MenuJourneyTest, ResetSlidersPutsTheSliderAndTheScreenBack)
{
    answers.then(chooseFile(photo));
    answers.then(chooseFit(1));
    press(1);
    const QImage plain = shown();
    auto* brightness = child<QSlider>("sldBrightness");
    brightness->setValue(800);
    session().endBurst();
    const QImage brighter = shown();
    ASSERT_NE(brighter, plain);

    release("lblColors12");
    EXPECT_EQ(brightness->value(), 500);
    EXPECT_EQ(shown(), plain);
    keys(QKeySequence::Undo);
    EXPECT_EQ(brightness->value(), 800);
    EXPECT_EQ(shown(), brighter);
}

TEST_F(MenuJourneyTest, ResetColorsAndGetColorFromTheButtons)
{
    const Colour navigationBefore = session().theme.element(6);
    // The list names the element; Get Color shows its screen and asks for it by name.
    auto* list = child<QComboBox>("cmbElements");
    list->setCurrentIndex(6);
    QString title;
    answers.then(chooseColour(QColor(90, 20, 140), &title));
    press(3);
    EXPECT_EQ(title, "Select Color: Navigation Tray");
    EXPECT_EQ(session().theme.element(6), rgbColour(90, 20, 140));
    EXPECT_TRUE(session().theme.navigationScreen);
    EXPECT_EQ(editor->window->windowTitle().left(1), "*");

    press(4); // Reset Colors
    EXPECT_EQ(session().theme.element(6), navigationBefore);
    keys(QKeySequence::Undo);
    EXPECT_EQ(session().theme.element(6), rgbColour(90, 20, 140));
    EXPECT_FALSE(answers.pending());
}

TEST_F(MenuJourneyTest, StartNewThemeAndOpenThemeThroughTheDialog)
{
    answers.then(chooseColour(QColor(10, 200, 90)));
    release("lblColors4");
    QTest::keyClicks(child<QLineEdit>("txtThemeName"), "Meadow");
    const QString saved = home.path() + "/meadow.tsk";
    saveAs(saved);
    const QString clean = editor->window->windowTitle();
    EXPECT_FALSE(clean.startsWith('*'));

    release("lblNew");
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "");
    EXPECT_NE(session().theme.element(3), rgbColour(10, 200, 90));
    EXPECT_EQ(editor->window->windowTitle(), clean) << "a new theme is unchanged";
    keys(QKeySequence::Undo);
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "Meadow");
    EXPECT_EQ(session().theme.element(3), rgbColour(10, 200, 90));
    keys(QKeySequence::Redo);
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "");

    // The button's dialog cancelled: nothing changes, no box.
    answers.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    press(0);
    EXPECT_EQ(answers.seen.back(), "QFileDialog");
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "");

    QString title;
    answers.then(chooseFile(saved, &title));
    release("lblOpen");
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(title, "Select TSK File");
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "Meadow");
    EXPECT_EQ(session().theme.element(3), rgbColour(10, 200, 90));
    EXPECT_EQ(editor->window->windowTitle(), clean);
    EXPECT_EQ(answers.seen.back(), "QFileDialog") << "no box after a good open";
}

TEST_F(MenuJourneyTest, ExitFromTheThemeMenuKeepsTheWorkAndTheNextStartOffersIt)
{
    QTest::keyClicks(child<QLineEdit>("txtThemeName"), "Dusk");
    answers.then(chooseColour(QColor(12, 34, 56)));
    release("lblColors6"); // Command Bar
    release("lblExit");
    EXPECT_FALSE(editor->window->isVisible());
    ASSERT_TRUE(keptTheme(home.path() + "/data").has_value());

    startEditor();
    auto* line = child<RecoveryLine>("lblRecovery");
    ASSERT_TRUE(line->isVisible());
    EXPECT_EQ(line->toolTip(), "The unsaved theme Dusk from 2026-03-14 09:05 is kept: Restore | Discard");
    EXPECT_FALSE(editor->window->windowTitle().startsWith('*'));
    emit line->linkActivated("restore");
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(child<QLineEdit>("txtThemeName")->text(), "Dusk");
    EXPECT_EQ(session().theme.element(5), rgbColour(12, 34, 56));
    EXPECT_TRUE(editor->window->windowTitle().startsWith('*'));
}

TEST_F(MenuJourneyTest, HelpAndAboutFromTheHelpMenu)
{
    release("lblHelp");
    auto* help = editor->window->findChild<HelpViewer*>("help");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->toPlainText().contains("Contents"));
    help->close();

    QString title, shownText;
    answers.then([&](QWidget* w) {
        title = w->windowTitle();
        if (auto* about = qobject_cast<frmAbout*>(w)) {
            shownText = about->Label1->text();
            about->btnButton->click();
        } else {
            ADD_FAILURE() << "expected the about window";
            static_cast<QDialog*>(w)->reject();
        }
    });
    release("lblAbout");
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(answers.seen, (std::vector<QString>{"frmAbout"}));
    EXPECT_EQ(title, "Orvantis by Zephrin  Version " + kVersion);
    EXPECT_TRUE(shownText.contains(kVersion)) << shownText.toStdString();
    EXPECT_EQ(frmAbout::current(), nullptr) << "closed";
}

} // namespace orv::test

namespace orv::test {

class PreviewMenuJourney : public MenuJourneyTest {
protected:
    // Right-click at a screen pixel and choose the entry named; the entries the menu showed.
    QStringList choose(QPoint pixel, const QString& entry)
    {
        auto* view = child<PreviewView>("oPicBuf");
        const QPoint at = QPoint(PreviewView::kBorder, PreviewView::kBorder) + pixel * view->scale();
        QStringList entries;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator()) continue;
                entries << a->text();
                if (a->text() == entry) menu->setActiveAction(a);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
        QCoreApplication::sendEvent(view, &event);
        return entries;
    }
};

TEST_F(PreviewMenuJourney, EditColorHereAndActualSizeDoWhatTheySay)
{
    QString title;
    answers.then(chooseColour(QColor(70, 80, 90), &title));
    const QStringList entries = choose(QPoint(120, 310), "Edit Color Here"); // the command bar
    EXPECT_TRUE(entries.contains("Edit Color Here"));
    EXPECT_FALSE(answers.pending());
    EXPECT_EQ(title, "Select Color: Lower Command Bar");
    EXPECT_EQ(session().theme.element(5), rgbColour(70, 80, 90));
    EXPECT_EQ(child<QComboBox>("cmbElements")->currentIndex(), 5) << "the list names what was edited";

    emit child<PreviewView>("oPicBuf")->scaleRequested(2);
    ASSERT_EQ(editor->window->previewScale(), 2);
    const int wide = editor->window->width();
    choose(QPoint(120, 150), "Actual Size (240 x 320)");
    EXPECT_EQ(editor->window->previewScale(), 1);
    EXPECT_EQ(editor->window->width(), wide - 240) << "the window shrinks back with the preview";
}

TEST_F(PreviewMenuJourney, MatchColorsToPictureIsOneStep)
{
    answers.then(chooseFile(photo));
    answers.then(chooseFit(1));
    press(1);
    const Theme before = session().theme;
    release("lblColors14");
    EXPECT_NE(session().theme.colours, before.colours);
    keys(QKeySequence::Undo);
    EXPECT_EQ(session().theme.colours, before.colours);
    EXPECT_TRUE(allOf(today().copy(0, 0, 120, 146), kTopLeft)) << "the background stays";
}

} // namespace orv::test

namespace orv::test {

TEST_F(PreviewMenuJourney, MenuImageButtonThenUndoAndRedoFromThePreviewMenu)
{
    clickScreen(QPoint(5, 5)); // the Start menu, whose picture the button loads
    ASSERT_TRUE(session().theme.menuEditing);
    const QImage menuBefore = session().canvas.oPicBufMenu.image().convertToFormat(QImage::Format_RGB32);
    answers.then(chooseFile(photo));
    answers.then(chooseFit(0));
    press(2);
    auto menuPicture = [this] { return session().canvas.oPicBufMenu.image().convertToFormat(QImage::Format_RGB32); };
    EXPECT_TRUE(allOf(menuPicture(), kTopLeft));
    const QImage withPicture = shown();

    choose(QPoint(200, 200), "Undo");
    EXPECT_EQ(menuPicture(), menuBefore);
    EXPECT_TRUE(session().theme.menuEditing) << "the screen the user was on stays";
    const QStringList entries = choose(QPoint(200, 200), "Redo");
    EXPECT_TRUE(entries.contains("Redo"));
    EXPECT_TRUE(allOf(menuPicture(), kTopLeft));
    EXPECT_EQ(shown(), withPicture);
}

TEST_F(PreviewMenuJourney, UnreadableTextFixedFromTheLineUnderThePreview)
{
    answers.then(chooseFile(photo));
    answers.then(chooseFit(0));
    press(1);
    answers.then(chooseColour(QColor(kTopLeft)));
    release("lblColors4");
    auto* line = child<QWidget>("lblLegibility");
    ASSERT_TRUE(line->isVisible());
    EXPECT_TRUE(child<QLabel>("lblLegibilityText")->text().startsWith("Today Screen Text"));

    child<QPushButton>("btnLegibilityFix")->click();
    EXPECT_FALSE(line->isVisible());
    EXPECT_NE(session().theme.element(3), rgbColour(qRed(kTopLeft), qGreen(kTopLeft), qBlue(kTopLeft)));
    keys(QKeySequence::Undo);
    EXPECT_TRUE(line->isVisible()) << "the fix is one step";
}

TEST_F(PreviewMenuJourney, TheMinimiseLinkMinimisesTheWindow)
{
    release("lblMin");
    EXPECT_TRUE(editor->window->isMinimized());
}

} // namespace orv::test
