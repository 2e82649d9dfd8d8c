// Window outlines.
#include "app/shaping/shape_window.h"
#include "support/scripted_interaction.h"

#include <gtest/gtest.h>

namespace orv::test {

TEST(ShapeWindow, RoundedOutlineCutsCornersButKeepsTheFace)
{
    ScriptedInteraction ui;
    auto region = ShapeMainWindow(QSize(640, 480), QSize(640, 480), ui);
    ASSERT_TRUE(region.has_value());
    EXPECT_FALSE(region->contains(QPoint(0, 0)));
    EXPECT_FALSE(region->contains(QPoint(639, 479)));
    EXPECT_TRUE(region->contains(QPoint(320, 0)));
    EXPECT_TRUE(region->contains(QPoint(0, 240)));
    EXPECT_TRUE(region->contains(QPoint(320, 240)));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(ShapeWindow, RectangleAndEllipseStayInsideTheWindow)
{
    ScriptedInteraction ui;
    auto rect = ShapeWindow(2, {-10, -10, 50, 20}, QSize(40, 40), ui);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(rect->boundingRect(), QRect(0, 0, 40, 20));
    auto ellipse = ShapeWindow(1, {0, 0, 100, 50}, QSize(100, 50), ui);
    ASSERT_TRUE(ellipse.has_value());
    EXPECT_TRUE(ellipse->contains(QPoint(50, 25)));
    EXPECT_FALSE(ellipse->contains(QPoint(1, 1)));
}

TEST(ShapeWindow, UnknownCodeAndShortArrayAreReported)
{
    ScriptedInteraction ui;
    EXPECT_FALSE(ShapeWindow(5, {0, 0, 10, 10}, QSize(10, 10), ui).has_value());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unknown Shape!");

    EXPECT_FALSE(ShapeWindow(3, {0, 0, 10, 10}, QSize(10, 10), ui).has_value());
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].title, "ATTENTION!");
    EXPECT_EQ(ui.boxes[1].text, "An Error Occurred. Error # 9, \nSubscript out of range");
    EXPECT_EQ(ui.boxes[1].icon, MsgIcon::Exclamation);
}

} // namespace orv::test
