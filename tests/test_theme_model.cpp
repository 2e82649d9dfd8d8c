// The theme model's commands: which screen an element shows, colour picking and resets.
#include "support/session_fixture.h"


namespace orv::test {

using ThemeModelTest = SessionTest;

TEST_F(ThemeModelTest, DefaultsFollowStorageOrderWithElementlessSlotsBetweenSixAndSeven)
{
    Theme t;
    EXPECT_EQ(t.element(0), 0xFF8000);
    EXPECT_EQ(t.element(6), 0x0000FF);
    EXPECT_EQ(t.colours[7], 0xC0C0C0);
    EXPECT_EQ(t.colours[8], 0x808080);
    EXPECT_EQ(t.element(7), 0xA00000);
    EXPECT_EQ(t.element(10), 0x4080FF);
    EXPECT_EQ(slotOfValueName("11"), 7);
    EXPECT_EQ(slotOfValueName("26"), 12);
    EXPECT_EQ(slotOfValueName("42"), -1);
}

TEST_F(ThemeModelTest, SelectingElementsSwitchesScreenFlags)
{
    EditorSession& s = *session;
    s.cmbElements_Click(6);
    EXPECT_TRUE(s.theme.navigationScreen);
    EXPECT_FALSE(s.theme.messageScreen);

    s.cmbElements_Click(8);
    EXPECT_TRUE(s.theme.messageScreen);
    EXPECT_FALSE(s.theme.navigationScreen);

    s.cmbElements_Click(10);
    EXPECT_TRUE(s.theme.importantScreen);
    EXPECT_FALSE(s.theme.messageScreen);

    s.cmbElements_Click(2);
    EXPECT_FALSE(s.theme.anyScreenFlag());
    s.cmbElements_Click(3);
    EXPECT_FALSE(s.theme.anyScreenFlag());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ThemeModelTest, CancelledColourDialogChangesNothingAndShowsNothing)
{
    EditorSession& s = *session;
    s.selectedElement = 1;
    const auto before = s.theme.colours;
    s.GetColor();
    ASSERT_EQ(ui.colourRequests.size(), 1u);
    EXPECT_EQ(ui.colourRequests[0], 0xA00000); // the dialog starts from the element's colour
    EXPECT_EQ(s.theme.colours, before);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ThemeModelTest, ChosenColourLandsInTheSelectedElementsSlot)
{
    EditorSession& s = *session;
    s.selectedElement = 7; // stored after the two element-less slots
    ui.colourAnswers.push_back(0x123456);
    s.GetColor();
    EXPECT_EQ(s.theme.colours[9], 0x123456);
    EXPECT_EQ(s.theme.colours[7], 0xC0C0C0);
    EXPECT_EQ(s.theme.colours[8], 0x808080);
}

TEST_F(ThemeModelTest, NoSelectedElementStartsBlackAndStoresNothing)
{
    EditorSession& s = *session;
    s.selectedElement = -1;
    ui.colourAnswers.push_back(0x00FF00);
    const auto before = s.theme.colours;
    s.GetColor();
    ASSERT_EQ(ui.colourRequests.size(), 1u);
    EXPECT_EQ(ui.colourRequests[0], kBlack);
    EXPECT_EQ(s.theme.colours, before);
}

TEST_F(ThemeModelTest, ResetColoursRestoresDefaultsButKeepsNameAndElementlessDefaults)
{
    EditorSession& s = *session;
    s.setThemeName("Ocean");
    for (Colour& c : s.theme.colours) c = 0x010203;
    s.resetColours();
    EXPECT_EQ(s.theme.name, "Ocean");
    const Theme fresh;
    EXPECT_EQ(s.theme.colours, fresh.colours);
}

TEST_F(ThemeModelTest, ErrorBoxNamesTheRoutine)
{
    session->ShowErrorBox("GetColor", AppError(5, "x", "Invalid procedure call or argument"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error: Invalid procedure call or argument (GetColor)");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
}

TEST_F(ThemeModelTest, TrapIsSilentForTheCancelError)
{
    EXPECT_FALSE(session->trap("LoadTheme", [] { throw AppError::cancelled(); }));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(session->trap("LoadTheme", [] { throw AppError(53, "x", "File not found"); }));
    EXPECT_EQ(ui.boxTexts(), QStringList{"Error: File not found (LoadTheme)"});
}

} // namespace orv::test
