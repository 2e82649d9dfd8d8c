// The main window as a user drives it: keys, the name box, the command buttons.
#include "app/ui/main_window.h"
#include "app/ui/qt_interaction.h"
#include "support/session_fixture.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
    EXPECT_EQ(list->currentIndex(), 2);
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
