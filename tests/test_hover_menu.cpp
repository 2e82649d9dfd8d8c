// The hover menus as a user works them: pointer moves open and close panels, a release on an
// entry acts, some entries keep their panel open.
#include "app/ui/about_window.h"
#include "app/ui/hover_menu.h"
#include "app/ui/main_window.h"
#include "support/session_fixture.h"

#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace orv::test {
namespace {

class HoverMenuTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        // A program folder without the device link library.
        Folders bare{home.path() + "/program", home.path()};
        session = std::make_unique<EditorSession>(ui, bare);
        session->state.Skin = "NAKED-XP";
        window = std::make_unique<MainWindow>(*session);
        window->start(QString());
        crossBackground(); // the pointer starts from the background, not where a test left it
    }
    HoverMenus& menus() { return window->menus(); }
    QFrame* panel(MenuPanel p) { return menus().panel(p); }
    void hover(QWidget* w) { QTest::mouseMove(w, w->rect().center()); }
    void hoverTitle(MenuPanel p) { hover(menus().title(p)); }
    void crossBackground() { QTest::mouseMove(window.get(), QPoint(280, 300)); }
    HoverLabel* entry(const char* name) { return window->findChild<HoverLabel*>(name); }
    void release(const char* name)
    {
        HoverLabel* e = entry(name);
        ASSERT_NE(e, nullptr) << name;
        QTest::mouseClick(e, Qt::LeftButton, {}, e->rect().center());
    }
    static QColor back(QLabel* l) { return l->palette().color(QPalette::Window); }

    std::unique_ptr<MainWindow> window;
};

TEST_F(HoverMenuTest, TitlesShowTheirPanelAndHideOnlyTheirNeighbours)
{
    EXPECT_FALSE(menus().isOpen());
    hoverTitle(MenuPanel::Theme);
    EXPECT_TRUE(menus().isOpen());
    EXPECT_TRUE(panel(MenuPanel::Theme)->isVisible());

    hoverTitle(MenuPanel::Color);
    EXPECT_TRUE(panel(MenuPanel::Color)->isVisible());
    EXPECT_TRUE(panel(MenuPanel::Theme)->isVisible()); // Color hides only Image and Help

    hoverTitle(MenuPanel::Help);
    EXPECT_FALSE(panel(MenuPanel::Color)->isVisible());
    EXPECT_TRUE(panel(MenuPanel::Help)->isVisible());
    hoverTitle(MenuPanel::Image);
    EXPECT_FALSE(panel(MenuPanel::Theme)->isVisible());
    EXPECT_TRUE(panel(MenuPanel::Help)->isVisible());

    crossBackground();
    EXPECT_FALSE(menus().isOpen());
    for (MenuPanel p : {MenuPanel::Theme, MenuPanel::Image, MenuPanel::Color, MenuPanel::Help})
        EXPECT_FALSE(panel(p)->isVisible());
}

TEST_F(HoverMenuTest, PanelsHoldEveryCaptionInOrder)
{
    auto captions = [this](MenuPanel p) {
        QStringList out;
        for (HoverLabel* e : menus().entries(p)) out << e->text();
        return out;
    };
    EXPECT_EQ(captions(MenuPanel::Theme),
              QStringList({" Open Theme", " Start  New Theme", " Save Theme 256", " Theme Transfer", " EXIT"}));
    EXPECT_EQ(captions(MenuPanel::Image),
              QStringList({" Load Main Image", " Load Menu Image", " Save Main Image", " Save Menu Image",
                           " Screen Capture", " X Dither Main", " X Dither Menu"}));
    const QStringList colours = captions(MenuPanel::Color);
    ASSERT_EQ(colours.size(), 15);
    EXPECT_EQ(colours[0], " Reset Colors");
    EXPECT_EQ(colours[8], " Message Bar Left");
    EXPECT_EQ(colours[11], " Important Message Bar Right");
    EXPECT_EQ(colours[12], " Reset Sliders");
    EXPECT_EQ(colours[14], " Match Colors to Picture");
    EXPECT_EQ(captions(MenuPanel::Help), QStringList({" Contents & Index", " About"}));
    EXPECT_EQ(menus().title(MenuPanel::Help)->text(), "Help");
}

TEST_F(HoverMenuTest, HoveredEntryAloneTakesTheHighlightColour)
{
    const QColor rest(128, 128, 255), lit(192, 192, 255); // 0xFF8080 and 0xFFC0C0, red low
    hoverTitle(MenuPanel::Color);
    hover(entry("lblColors3"));
    hover(entry("lblColors5"));
    for (HoverLabel* e : menus().entries(MenuPanel::Color))
        EXPECT_EQ(back(e), e->objectName() == "lblColors5" ? lit : rest) << e->objectName().toStdString();
    hoverTitle(MenuPanel::Color);
    EXPECT_EQ(back(entry("lblColors5")), rest);
}

TEST_F(HoverMenuTest, ResetColorsAndSwitchesKeepTheirPanelOpen)
{
    hoverTitle(MenuPanel::Color);
    session->theme.setElement(0, 0x123456);
    release("lblColors0");
    EXPECT_EQ(session->theme.element(0), 0xFF8000);
    EXPECT_TRUE(panel(MenuPanel::Color)->isVisible());

    release("lblColors13");
    EXPECT_EQ(entry("lblColors13")->text(), " 16M Colors (click for 256)");
    EXPECT_EQ(entry("lblSave")->text(), " Save Theme 16M");
    release("lblColors13");
    EXPECT_EQ(entry("lblColors13")->text(), " 256 Colors (click for 16M)");
    EXPECT_EQ(entry("lblSave")->text(), " Save Theme 256");
    EXPECT_TRUE(panel(MenuPanel::Color)->isVisible());
    EXPECT_TRUE(menus().isOpen());

    hoverTitle(MenuPanel::Image);
    release("lblDitherMain");
    EXPECT_EQ(entry("lblDitherMain")->text(), " _ Dither Main");
    EXPECT_TRUE(panel(MenuPanel::Image)->isVisible());
}

TEST_F(HoverMenuTest, ColourEntryClosesThePanelAndShowsItsScreenBeforeTheDialog)
{
    bool messageShownFirst = false;
    ui.onAsk = [&] { messageShownFirst = session->theme.messageScreen; };
    hoverTitle(MenuPanel::Color);
    release("lblColors8");
    EXPECT_TRUE(messageShownFirst);
    EXPECT_EQ(ui.colourRequests, std::vector<Colour>{session->theme.element(7)});
    EXPECT_FALSE(panel(MenuPanel::Color)->isVisible());
    EXPECT_FALSE(menus().isOpen());
    EXPECT_EQ(window->findChild<QComboBox*>("cmbElements")->currentIndex(), 7);
}

TEST_F(HoverMenuTest, HelpEntriesHidePanelButLeaveTheFlagForTheBackground)
{
    hoverTitle(MenuPanel::Help);
    release("lblHelp"); // this program folder holds no help file
    EXPECT_EQ(ui.boxTexts(), QStringList{"Unable to display Help due to lack of a help file!"});
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Exclamation);
    hoverTitle(MenuPanel::Help);
    bool aboutShown = false; // the about window is modal: close it once it is up
    QTimer::singleShot(0, [&aboutShown] {
        if (frmAbout* about = frmAbout::current()) {
            aboutShown = true;
            about->btnButton->click();
        }
    });
    release("lblAbout");
    EXPECT_TRUE(aboutShown);
    EXPECT_FALSE(panel(MenuPanel::Help)->isVisible());
    EXPECT_TRUE(menus().isOpen());
    crossBackground();
    EXPECT_FALSE(menus().isOpen());
}

TEST_F(HoverMenuTest, ThemeTransferWithoutTheDeviceLinkSaysSo)
{
    hoverTitle(MenuPanel::Theme);
    release("lblFileManager");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "ActiveSync not installed or corrupted!");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(panel(MenuPanel::Theme)->isVisible());

    session->state.commandLine = "qzv";
    release("lblFileManager");
    // Past the check; this program folder holds no transfer control either, so the window's
    // load says so and closes.
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Error in FileManager Load: ActiveX component can't create object");
    EXPECT_FALSE(panel(MenuPanel::Theme)->isVisible());
    EXPECT_EQ(back(entry("lblFileManager")), QColor(192, 192, 255));
}

} // namespace
} // namespace orv::test
