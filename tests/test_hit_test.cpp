// Clicks on the preview: the regions of the simulated screen, and what a click there does to
// the element list, the colour dialog, the screen shown and the two slider sets.
#include "preview/hit_test.h"
#include "support/session_fixture.h"

#include <QSignalSpy>

namespace orv::test {
namespace {

struct RegionCase {
    int c, r;
    bool message, important, menu;
    HitKind kind;
    int element;
};

TEST(PreviewRegions, EachPointMeetsTheRegionDrawnThere)
{
    using K = HitKind;
    const RegionCase cases[] = {
        {0, 0, false, false, false, K::StartFlag, -1},   {27, 25, false, false, false, K::StartFlag, -1},
        {28, 10, false, false, false, K::None, -1},      {29, 10, false, false, false, K::Element, 2},
        {56, 10, false, false, false, K::None, -1},      {57, 10, false, false, false, K::Element, 0},
        {119, 25, false, false, false, K::Element, 0},   {120, 10, false, false, false, K::None, -1},
        {121, 10, false, false, false, K::Element, 1},   {140, 10, false, false, false, K::None, -1},
        {141, 10, false, false, false, K::ImportantToggle, -1},
        {160, 10, false, false, false, K::None, -1},     {186, 10, false, false, false, K::MessageToggle, -1},
        {187, 10, false, false, false, K::Element, 2},   {214, 0, false, false, false, K::Element, 1},
        {0, 294, false, false, false, K::Element, 5},    {239, 319, true, false, true, K::Element, 5},
        {5, 47, false, false, false, K::Element, 4},     {100, 49, false, false, false, K::None, -1},
        {30, 35, false, false, false, K::None, -1},      {31, 35, false, false, false, K::Element, 3},
        {129, 60, false, false, false, K::Element, 3},   {130, 60, false, false, false, K::None, -1},
        {190, 100, false, false, false, K::None, -1},    {209, 145, false, false, false, K::Element, 3},
        {119, 189, false, false, false, K::Element, 3},  {120, 170, false, false, false, K::None, -1},
        {100, 47, false, false, true, K::None, -1},      {100, 47, true, false, false, K::None, -1},
        {115, 39, true, false, false, K::Element, 7},    {149, 81, true, false, false, K::Element, 7},
        {150, 50, true, false, false, K::Element, 8},    {185, 50, true, false, false, K::None, -1},
        {150, 50, false, false, false, K::None, -1},     {11, 41, false, true, false, K::Element, 9},
        {109, 59, false, true, false, K::Element, 10},   {228, 50, false, true, false, K::None, -1},
        {240, 10, false, false, false, K::None, -1},     {-1, 10, false, false, false, K::None, -1},
        {10, 320, false, false, false, K::None, -1},
    };
    for (const RegionCase& t : cases) {
        Theme theme;
        theme.messageScreen = t.message;
        theme.importantScreen = t.important;
        theme.menuEditing = t.menu;
        const PreviewHit hit = hitTest(t.c, t.r, theme);
        EXPECT_EQ(hit.kind, t.kind) << "column " << t.c << " row " << t.r;
        if (t.kind == K::Element) {
            EXPECT_EQ(hit.element, t.element) << t.c << "," << t.r;
        }
    }
}

class PreviewClickTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
    }
    void click(int c, int r) { session->PicBufMouseUP(1, 0, c, r); }
    QImage shown() const { return session->canvas.oPicBuf.image().copy(); }
    QImage drawn(void (EditorSession::*composer)())
    {
        const QImage before = shown();
        (session.get()->*composer)();
        QImage out = shown();
        session->canvas.oPicBuf.setPicture(before);
        return out;
    }
};

TEST_F(PreviewClickTest, ElementClickSelectsTheElementThenAsksForItsColour)
{
    QSignalSpy selected(session.get(), &EditorSession::elementSelected);
    ui.colourAnswers.push_back(rgbColour(10, 200, 30));
    click(100, 47);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].toInt(), 4);
    EXPECT_EQ(session->selectedElement, 4);
    EXPECT_EQ(ui.colourRequests, std::vector<Colour>{0});
    EXPECT_EQ(session->theme.element(4), rgbColour(10, 200, 30));
    EXPECT_EQ(shown(), drawn(&EditorSession::DoScreenMain));

    click(100, 49);
    click(30, 35);
    EXPECT_EQ(ui.colourRequests.size(), 1u);
    click(31, 35);
    EXPECT_EQ(session->selectedElement, 3);
    EXPECT_EQ(ui.colourRequests.size(), 2u);
}

TEST_F(PreviewClickTest, MessageBarClickShowsTheMessageScreenBeforeTheColourDialog)
{
    click(170, 10);
    ASSERT_TRUE(session->theme.messageScreen);
    click(160, 50); // cancelled dialog
    EXPECT_EQ(session->selectedElement, 8);
    EXPECT_EQ(ui.colourRequests, std::vector<Colour>{session->theme.element(8)});
    EXPECT_TRUE(session->theme.messageScreen);
    EXPECT_EQ(shown(), drawn(&EditorSession::DoScreenMessage));
}

TEST_F(PreviewClickTest, PopUpIconsToggleTheirScreenAndClearTheOther)
{
    struct Case {
        int column;
        bool Theme::*flag;
        bool Theme::*other;
        void (EditorSession::*screen)();
    };
    const Case cases[] = {{170, &Theme::messageScreen, &Theme::importantScreen, &EditorSession::DoScreenMessage},
                          {150, &Theme::importantScreen, &Theme::messageScreen, &EditorSession::DoScreenMessageImp}};
    for (const Case& t : cases) {
        session->theme.*(t.other) = true;
        session->theme.navigationScreen = false;
        click(t.column, 10);
        EXPECT_TRUE(session->theme.*(t.flag));
        EXPECT_FALSE(session->theme.*(t.other));
        EXPECT_EQ(shown(), drawn(t.screen));
        click(t.column, 10);
        EXPECT_FALSE(session->theme.*(t.flag));
        EXPECT_FALSE(session->theme.*(t.other));
        EXPECT_EQ(shown(), drawn(&EditorSession::DoScreenMain));
    }
    EXPECT_TRUE(ui.colourRequests.empty());
}

TEST_F(PreviewClickTest, PopUpFromTheNavigationScreenLeavesOneScreenFlag)
{
    session->cmbElements_Click(6);
    click(170, 10);
    click(170, 10);
    EXPECT_FALSE(session->theme.anyScreenFlag());
    ui.colourAnswers.push_back(0x123456);
    click(100, 47); // the Today lines are live again
    EXPECT_EQ(session->theme.element(4), 0x123456);
}

TEST_F(PreviewClickTest, StartMenuTitleClickKeepsMenuEditingUntilTheFlagSwapsSlidersBack)
{
    session->sliderChanged(Slider::Gamma, 50); // below 1.0: held as 1.0
    session->sliderChanged(Slider::Contrast, 300);
    session->adjustMenu.brightness = 0.8f;

    click(10, 10);
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_EQ(shown(), drawn(&EditorSession::DoScreenMenu));
    EXPECT_EQ(session->sliders.brightness, 800);
    EXPECT_EQ(session->sliders.gamma, 500);

    ui.colourAnswers.push_back(0x00FF00);
    click(80, 10);
    EXPECT_EQ(session->theme.element(0), 0x00FF00);
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_EQ(shown(), drawn(&EditorSession::DoScreenMain));
    click(100, 47);
    EXPECT_EQ(ui.colourRequests.size(), 1u);
    session->sliderChanged(Slider::Brightness, 600);
    EXPECT_FLOAT_EQ(session->adjustMenu.brightness, 0.6f);

    click(10, 10);
    EXPECT_FALSE(session->theme.menuEditing);
    EXPECT_EQ(session->sliders.gamma, 100);
    EXPECT_EQ(session->sliders.contrast, 300);
    EXPECT_EQ(session->sliders.brightness, 500);
    EXPECT_DOUBLE_EQ(session->adjustToday.gamma, 1.0);
    EXPECT_FLOAT_EQ(session->adjustMenu.brightness, 0.6f);
    EXPECT_EQ(shown(), drawn(&EditorSession::DoScreenMain));
}

} // namespace
} // namespace orv::test
