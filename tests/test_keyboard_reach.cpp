// The editor from the keyboard alone: the panels on Alt and F10, the element cursor on the
// simulated screen, Return on the buttons and in the dialogs, and the focus ring.
#include "app/settings_store.h"
#include "app/ui/about_window.h"
#include "app/ui/element_cursor.h"
#include "app/ui/fit_dialog.h"
#include "app/ui/focus_ring.h"
#include "app/ui/help_viewer.h"
#include "app/ui/hover_menu.h"
#include "app/ui/main_window.h"
#include "app/ui/preview_view.h"
#include "app/ui/settings_dialog.h"
#include "preview/hit_regions.h"
#include "support/session_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace orv::test {
namespace {

const QColor kRestColour(128, 128, 255), kLitColour(192, 192, 255); // 0xFF8080, 0xFFC0C0

class KeyboardTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        // A program folder without the device link library or the help file.
        Folders bare{home.path() + "/program", home.path()};
        session = std::make_unique<EditorSession>(ui, bare);
        session->state.Skin = "NAKED-XP";
        window = std::make_unique<MainWindow>(*session);
        window->start(QString());
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { window.reset(); }

    // A key goes where the keyboard focus is, as a real key press does.
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* to = QApplication::focusWidget();
        QTest::keyClick(to ? to : window.get(), key, mods);
    }
    HoverMenus& menus() { return window->menus(); }
    QString focusedName() const
    {
        QWidget* f = QApplication::focusWidget();
        return f ? f->objectName() : QString();
    }
    template <class W> W* child(const char* name) { return window->findChild<W*>(name); }
    static QColor back(QLabel* l) { return l->palette().color(QPalette::Window); }
    PreviewView* preview() { return child<PreviewView>("oPicBuf"); }
    ElementCursor* cursor() { return child<ElementCursor>("elementCursor"); }

    std::unique_ptr<MainWindow> window;
};

TEST_F(KeyboardTest, AltHThenDownAndReturnOpensTheAboutWindow)
{
    press(Qt::Key_H, Qt::AltModifier);
    EXPECT_TRUE(menus().panel(MenuPanel::Help)->isVisible());
    EXPECT_TRUE(menus().isOpen());
    EXPECT_EQ(focusedName(), "lblHelp");
    EXPECT_EQ(back(child<QLabel>("lblHelp")), kLitColour);

    press(Qt::Key_Down);
    EXPECT_EQ(focusedName(), "lblAbout");
    EXPECT_EQ(back(child<QLabel>("lblAbout")), kLitColour);
    EXPECT_EQ(back(child<QLabel>("lblHelp")), kRestColour);

    bool aboutShown = false;
    QTimer::singleShot(0, [&aboutShown] {
        if (frmAbout* about = frmAbout::current()) {
            aboutShown = true;
            about->btnButton->click();
        }
    });
    press(Qt::Key_Return);
    EXPECT_TRUE(aboutShown);
    EXPECT_FALSE(menus().panel(MenuPanel::Help)->isVisible());
}

TEST_F(KeyboardTest, AltTReachesThemeTransferAndItsPanelStays)
{
    press(Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(focusedName(), "lblOpen");
    for (int i = 0; i < 3; ++i) press(Qt::Key_Down);
    EXPECT_EQ(focusedName(), "lblFileManager");
    press(Qt::Key_Space);
    EXPECT_EQ(ui.boxTexts(), QStringList{"ActiveSync not installed or corrupted!"});
    EXPECT_TRUE(menus().panel(MenuPanel::Theme)->isVisible());
    EXPECT_EQ(focusedName(), "lblFileManager");
}

TEST_F(KeyboardTest, ArrowsWalkEntriesAndPanelsAndEscapeGivesTheFocusBack)
{
    auto* name = child<QLineEdit>("txtThemeName");
    name->setFocus();
    press(Qt::Key_F10);
    EXPECT_EQ(focusedName(), "lblOpen");
    press(Qt::Key_Up); // wraps to the last entry
    EXPECT_EQ(focusedName(), "lblExit");

    press(Qt::Key_Left); // Theme's left neighbour is Help, round the bar
    EXPECT_TRUE(menus().panel(MenuPanel::Help)->isVisible());
    EXPECT_FALSE(menus().panel(MenuPanel::Theme)->isVisible());
    EXPECT_EQ(focusedName(), "lblHelp");
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_TRUE(menus().panel(MenuPanel::Image)->isVisible());
    EXPECT_FALSE(menus().panel(MenuPanel::Theme)->isVisible());
    EXPECT_EQ(focusedName(), "lblLoadMain");

    // A switch keeps its panel and the focus, as the mouse's release does.
    press(Qt::Key_End);
    EXPECT_EQ(focusedName(), "lblDitherMenu");
    const QString before = child<QLabel>("lblDitherMenu")->text();
    press(Qt::Key_Return);
    EXPECT_NE(child<QLabel>("lblDitherMenu")->text(), before);
    EXPECT_EQ(focusedName(), "lblDitherMenu");

    press(Qt::Key_Escape);
    EXPECT_FALSE(menus().isOpen());
    for (MenuPanel p : {MenuPanel::Theme, MenuPanel::Image, MenuPanel::Color, MenuPanel::Help})
        EXPECT_FALSE(menus().panel(p)->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), name);
}

TEST_F(KeyboardTest, EntryThatClosesItsPanelReturnsTheFocusBeforeItsDialog)
{
    auto* list = child<QComboBox>("cmbElements");
    list->setFocus();
    QWidget* focusAtDialog = nullptr;
    ui.onAsk = [&] { focusAtDialog = QApplication::focusWidget(); };
    press(Qt::Key_C, Qt::AltModifier);
    for (int i = 0; i < 8; ++i) press(Qt::Key_Down);
    EXPECT_EQ(focusedName(), "lblColors8");
    press(Qt::Key_Return);
    EXPECT_EQ(focusAtDialog, list);
    EXPECT_TRUE(session->theme.messageScreen); // " Message Bar Left" shows its screen
    EXPECT_EQ(ui.colourRequests, std::vector<Colour>{session->theme.element(7)});
    EXPECT_FALSE(menus().isOpen());
    EXPECT_EQ(QApplication::focusWidget(), list);
}

TEST_F(KeyboardTest, CommandButtonsPressOnReturn)
{
    child<QComboBox>("cmbElements")->setCurrentIndex(2);
    auto* getColour = child<QPushButton>("btnButtonsXP3");
    getColour->setFocus();
    press(Qt::Key_Return);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(ui.colourRequests.size(), 2u);
    window->UseSkinButtons();
    child<QPushButton>("btnButtons3")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(ui.colourRequests.size(), 3u);
}

TEST_F(KeyboardTest, ElementCursorOnTheStartFlagOpensTheStartMenu)
{
    child<QLineEdit>("txtThemeName")->setFocus();
    press(Qt::Key_Tab, Qt::ShiftModifier); // the screen sits before the name box
    ASSERT_EQ(QApplication::focusWidget(), preview());
    ASSERT_TRUE(cursor()->isVisible());
    EXPECT_EQ(cursor()->region().hit.kind, HitKind::StartFlag);
    const int m = kFocusRingMargin, b = PreviewView::kBorder;
    EXPECT_EQ(cursor()->geometry(), QRect(b, b, 28, 26).adjusted(-m, -m, m, m).intersected(preview()->rect()));

    press(Qt::Key_Return);
    EXPECT_TRUE(session->theme.menuEditing);
    press(Qt::Key_Space);
    EXPECT_FALSE(session->theme.menuEditing);

    // The next region is "Start" in the title bar: Return picks its colour as a click does.
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    EXPECT_EQ(session->selectedElement, 2);
    EXPECT_EQ(ui.colourRequests, std::vector<Colour>{session->theme.element(2)});

    // At twice the size the frame stands on the same region, twice as large.
    window->setPreviewScale(2);
    EXPECT_EQ(cursor()->geometry(),
              QRect(b + 29 * 2, b, 27 * 2, 26 * 2).adjusted(-m, -m, m, m).intersected(preview()->rect()));
    press(Qt::Key_Tab);
    EXPECT_FALSE(cursor()->isVisible());
}

TEST_F(KeyboardTest, ElementCursorVisitsEveryRegionTheScreenShowsOnce)
{
    preview()->setFocus(Qt::TabFocusReason);
    auto visit = [this] {
        QList<QRect> seen;
        for (int i = 0; i < 40; ++i) {
            const HitRegion r = cursor()->region();
            if (seen.contains(r.area)) break;
            seen << r.area;
            // The key click lands where a mouse click meets the same region.
            const PreviewHit hit = hitTest(cursor()->clickPixel().x(), cursor()->clickPixel().y(), session->theme);
            EXPECT_EQ(hit.kind, r.hit.kind);
            EXPECT_EQ(hit.element, r.hit.element);
            press(Qt::Key_Down);
        }
        return seen;
    };
    EXPECT_EQ(visit().size(), static_cast<qsizetype>(liveRegions(session->theme).size()));

    // The speaker icon opens the message pop-up: its two bands join, the Today text leaves.
    press(Qt::Key_Home);
    while (cursor()->region().hit.kind != HitKind::MessageToggle) press(Qt::Key_Right);
    press(Qt::Key_Return);
    ASSERT_TRUE(session->theme.messageScreen);
    QList<int> elements;
    for (const QRect& area : visit())
        elements << hitTest(area.center().x(), area.center().y(), session->theme).element;
    EXPECT_TRUE(elements.contains(7));
    EXPECT_TRUE(elements.contains(8));
    EXPECT_FALSE(elements.contains(3));
    EXPECT_FALSE(elements.contains(4));
}

TEST_F(KeyboardTest, ContextMenuKeyOpensThePreviewsMenu)
{
    preview()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), preview());
    QStringList shown;
    auto closeMenu = [&shown] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible()) {
                for (QAction* a : menu->actions()) shown << a->text();
                menu->close();
            }
    };
    QTimer::singleShot(0, closeMenu);
    press(Qt::Key_Menu);
    EXPECT_TRUE(shown.contains("Actual Size (240 x 320)"));
    shown.clear();
    QApplication::setActiveWindow(window.get()); // the closed pop-up took the activation
    preview()->setFocus(Qt::TabFocusReason);
    QTimer::singleShot(0, closeMenu);
    press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(shown.contains("Actual Size (240 x 320)"));
    EXPECT_FALSE(menus().isOpen()); // Shift+F10 is the preview's, not the Theme panel's
}

TEST_F(KeyboardTest, FocusedControlsWearARingTwoPixelsWide)
{
    for (const char* name : {"cmbElements", "sldGamma", "txtThemeName", "btnButtonsXP0"}) {
        auto* control = child<QWidget>(name);
        control->setFocus();
        FocusRing* ring = FocusRing::shown();
        ASSERT_NE(ring, nullptr) << name;
        EXPECT_EQ(ring->target(), control);
        const int m = kFocusRingMargin;
        EXPECT_EQ(ring->geometry(), control->geometry().adjusted(-m, -m, m, m)) << name;
        const QImage drawn = ring->grab().toImage();
        const int y = drawn.height() / 2;
        EXPECT_EQ(drawn.pixelColor(0, y), QColor(Qt::white)) << name;
        for (int x = 1; x <= kFocusRingWidth; ++x) {
            EXPECT_EQ(drawn.pixelColor(x, y), QColor(Qt::black)) << name << " " << x;
            EXPECT_EQ(drawn.pixelColor(drawn.width() - 1 - x, y), QColor(Qt::black)) << name;
        }
    }
    EXPECT_GE(kFocusRingWidth, 2);
    press(Qt::Key_H, Qt::AltModifier); // a menu entry draws its own ring inside
    EXPECT_EQ(FocusRing::shown(), nullptr);
}

// --- the dialogs ---------------------------------------------------------------------------

TEST_F(KeyboardTest, ReturnInTheSettingsDialogAcceptsAndOnCancelCancels)
{
    SaveSetting("Orvantis", "Startup", "Name1", "before");
    for (bool onCancel : {true, false}) {
        frmSettings dialog(*session, SkinHost{});
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(dialog.btnButtons[1]->isDefault());
        for (int k = 0; k < 3; ++k) dialog.txtName[k]->setText(QString("Name %1").arg(k));
        (onCancel ? static_cast<QWidget*>(dialog.btnButtons[0]) : dialog.txtName[0])->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), onCancel ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_EQ(GetSetting("Orvantis", "Startup", "Name1", ""), onCancel ? "before" : "Name 0");
    }
}

TEST_F(KeyboardTest, HelpWindowClosesOnEscape)
{
    const QString file = home.path() + "/Orvantis.HLP";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<h1>Help</h1>");
    f.close();
    HelpViewer help(file);
    help.show();
    QTest::keyClick(&help, Qt::Key_Down); // other keys still scroll and move
    EXPECT_TRUE(help.isVisible());
    QTest::keyClick(&help, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

TEST(FitDialogKeys, ArrowsChooseAsTheyMoveAndReturnTakesTheChoice)
{
    FitDialog dialog;
    bool noneBeforeTheFirstKey = false;
    QTimer::singleShot(0, &dialog, [&] {
        QApplication::setActiveWindow(&dialog);
        auto* crop = dialog.findChild<QRadioButton*>("radMode0");
        auto* place = dialog.findChild<QRadioButton*>("radMode2");
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab); // from OK to the options
        noneBeforeTheFirstKey = dialog.focusWidget() == crop && !crop->isChecked();
        QTest::keyClick(crop, Qt::Key_Right);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Right);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Right); // stays on the last
        EXPECT_EQ(dialog.focusWidget(), place);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.ask(), FitChoice::Place);
    EXPECT_TRUE(noneBeforeTheFirstKey);

    FitDialog back;
    QTimer::singleShot(0, &back, [&] {
        QApplication::setActiveWindow(&back);
        auto* resize = back.findChild<QRadioButton*>("radMode1");
        resize->setFocus();
        QTest::keyClick(resize, Qt::Key_Up);
        QTest::keyClick(back.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_EQ(back.ask(), FitChoice::Crop);
}

// --- the regions the cursor steps through ---------------------------------------------------

TEST(HitRegionTable, RegionsLiveTogetherNeverOverlapAndAnswerAtTheirMiddle)
{
    for (int flags = 0; flags < 16; ++flags) {
        Theme theme;
        theme.messageScreen = flags & 1;
        theme.importantScreen = flags & 2;
        theme.navigationScreen = flags & 4;
        theme.menuEditing = flags & 8;
        if (theme.messageScreen && theme.importantScreen) continue; // each pop-up closes the other
        const std::vector<HitRegion> live = liveRegions(theme);
        ASSERT_FALSE(live.empty());
        EXPECT_EQ(live.front().hit.kind, HitKind::StartFlag);
        for (size_t i = 0; i < live.size(); ++i) {
            EXPECT_TRUE(QRect(0, 0, 240, 320).contains(live[i].area)) << i;
            for (size_t j = i + 1; j < live.size(); ++j)
                EXPECT_FALSE(live[i].area.intersects(live[j].area)) << flags << ": " << i << " and " << j;
            const QPoint mid = live[i].area.center();
            EXPECT_EQ(hitTest(mid.x(), mid.y(), theme).kind, live[i].hit.kind);
        }
    }
}

} // namespace
} // namespace orv::test
