// Shaping widgets: which widgets can be shaped, the mask they get, and dragging a window.
#include "app/errors.h"
#include "app/ui/widget_trans_form.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

namespace orv::test {

namespace {
constexpr Colour kGreen = 0x09E909;
}

TEST(WidgetTransForm, TextBoxIsRefusedPictureBoxAndButtonAreMasked)
{
    QWidget window;
    auto* text = new QLineEdit(&window);
    WidgetTransForm shaper;
    try {
        shaper.ShapeMe(text, kGreen);
        FAIL() << "a text box was shaped";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), int(0x800409D0u));
        EXPECT_EQ(e.source(), "TransForm");
    }
    EXPECT_TRUE(text->mask().isEmpty());

    // A picture box: the green left half of its picture is cut away.
    QImage picture(10, 4, QImage::Format_RGB32);
    picture.fill(qRgb(200, 40, 40));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) picture.setPixel(x, y, toQRgb(kGreen));
    auto* box = new QLabel(&window);
    box->setPixmap(QPixmap::fromImage(picture));
    box->setGeometry(0, 0, 10, 4);
    shaper.ShapeMe(box, kGreen);
    EXPECT_TRUE(box->mask().xored(QRegion(5, 0, 5, 4)).isEmpty());

    // A push button loses its caption and face: only its picture is left.
    QPixmap icon(8, 8);
    icon.fill(Qt::red);
    auto* button = new QPushButton("Go", &window);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(8, 8));
    button->setGeometry(0, 10, 40, 30);
    shaper.ShapeMe(button, kGreen);
    EXPECT_TRUE(button->text().isEmpty());
    EXPECT_TRUE(button->mask().xored(QRegion(16, 11, 8, 8)).isEmpty()) << button->mask().boundingRect().x() << ","
        << button->mask().boundingRect().y() << " " << button->mask().rectCount();
}

TEST(WidgetTransForm, OnlyTheLeftButtonDragsTheWindow)
{
    QWidget window;
    window.setGeometry(100, 100, 60, 40);
    window.show();
    WidgetTransForm shaper;
    const QPoint start = window.pos();
    auto moveTo = [&](QPoint global, Qt::MouseButtons held) {
        QMouseEvent move(QEvent::MouseMove, window.mapFromGlobal(QPointF(global)), QPointF(global),
                         Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
    };

    shaper.DragForm(&window, 2);
    EXPECT_FALSE(shaper.dragging());
    moveTo(QCursor::pos() + QPoint(30, 20), Qt::RightButton);
    EXPECT_EQ(window.pos(), start);

    // No window manager here: the window follows the pointer until the button comes up.
    shaper.DragForm(&window, 1);
    ASSERT_TRUE(shaper.dragging());
    const QPoint grab = QCursor::pos();
    moveTo(grab + QPoint(30, 20), Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 20));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(grab + QPoint(30, 20)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &release);
    EXPECT_FALSE(shaper.dragging());
    moveTo(grab + QPoint(60, 60), Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 20));
}

} // namespace orv::test
