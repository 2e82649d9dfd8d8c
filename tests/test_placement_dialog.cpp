// The fit dialog's Place choice and the placement dialog: frame, drag, zoom, thumbnail,
// OK and Cancel.
#include "app/ui/fit_dialog.h"
#include "app/ui/placement_dialog.h"
#include "app/ui/placement_view.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

using namespace orv;

namespace {

const QSize kToday(240, 293);

// Red left half, blue right half.
QImage halves(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 0));
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x) img.setPixel(x, y, qRgb(0, 0, 255));
    return img;
}

} // namespace

TEST(FitDialogPlaceTest, PlaceIsAThirdUnsetChoiceAfterResize)
{
    FitDialog d;
    auto* resize = d.findChild<QRadioButton*>("radMode1");
    auto* place = d.findChild<QRadioButton*>("radMode2");
    ASSERT_TRUE(resize && place);
    EXPECT_EQ(place->text(), QString::fromUtf8("Place\u2026"));
    EXPECT_FALSE(place->isChecked());
    d.show();
    EXPECT_LT(resize->geometry().x(), place->geometry().x());

    QTimer::singleShot(0, &d, [&] {
        place->click();
        d.findChild<QPushButton*>("Command1")->click();
    });
    EXPECT_EQ(d.ask(), FitChoice::Place);
}

TEST(PlacementDialogTest, OpensOnTheLargestCentredFrameOverAScreenSizedCopy)
{
    const QImage photo = halves(4000, 3000);
    PlacementDialog d(photo, kToday, nullptr, QSize(800, 600));
    auto* view = d.findChild<PlacementView*>("picPlacement");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->size(), QSize(800, 600));
    EXPECT_EQ(d.placement(), (Placement{0.5, 0.5, 1.0}));
    // 2457 of 4000 columns from column 772, drawn at a fifth.
    EXPECT_NEAR(view->frameOnScreen().left(), 154.4, 0.01);
    EXPECT_NEAR(view->frameOnScreen().width(), 491.4, 0.01);
    // The thumbnail is the result: red left, blue right, as the placed picture will be.
    ASSERT_EQ(d.thumbnail().size(), kToday);
    EXPECT_EQ(d.thumbnail().pixel(10, 140), qRgb(255, 0, 0));
    EXPECT_EQ(d.thumbnail().pixel(230, 140), qRgb(0, 0, 255));
}

TEST(PlacementDialogTest, DragWheelSliderAndKeysMoveAndZoomTheFrame)
{
    PlacementDialog d(halves(4000, 3000), kToday, nullptr, QSize(800, 600));
    d.show();
    auto* view = d.findChild<PlacementView*>("picPlacement");
    auto* slider = d.findChild<QSlider*>("sldZoom");
    ASSERT_TRUE(view && slider);
    const double maxZoom = view->maxZoom();

    // Zoom in to half the frame: the slider follows, half-way through the zoom's powers.
    QTest::keyClick(view, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(d.placement().zoom, 1.25);
    slider->setValue(1000);
    EXPECT_DOUBLE_EQ(d.placement().zoom, maxZoom);
    slider->setValue(500);
    EXPECT_NEAR(d.placement().zoom, std::sqrt(maxZoom), 1e-9);
    QWheelEvent wheel(QPointF(400, 300), view->mapToGlobal(QPointF(400, 300)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    EXPECT_NEAR(d.placement().zoom, std::sqrt(maxZoom) / 1.25, 1e-9);
    EXPECT_EQ(slider->value(), int(std::lround(1000 * std::log(d.placement().zoom) / std::log(maxZoom))));

    // Dragging the frame 100 pixels left moves its centre an eighth of the width.
    const QPoint centre = view->frameOnScreen().center().toPoint();
    QTest::mousePress(view, Qt::LeftButton, {}, centre);
    QTest::mouseMove(view, centre - QPoint(100, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, centre - QPoint(100, 0));
    EXPECT_NEAR(d.placement().focusX, 0.5 - 0.125, 0.002);
    // Dragged far past the edge, the frame stops at it.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(view, QPoint(-5000, -5000));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(-5000, -5000));
    EXPECT_DOUBLE_EQ(view->frameOnScreen().left(), 0.0);
    EXPECT_DOUBLE_EQ(view->frameOnScreen().top(), 0.0);
    EXPECT_EQ(d.thumbnail().pixel(120, 140), qRgb(255, 0, 0));
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(d.placement(), (Placement{0.5, 0.5, 1.0}));
}

TEST(PlacementDialogTest, OkGivesThePlacementAndCancelNothing)
{
    auto answer = [](const char* button) {
        PlacementDialog d(halves(1200, 900), kToday, nullptr, QSize(600, 450));
        QTimer::singleShot(0, &d, [&d, button] {
            d.setPlacement({0.2, 0.3, 2.0});
            d.findChild<QPushButton*>(button)->click();
        });
        return d.ask();
    };
    const std::optional<Placement> ok = answer("btnOK");
    ASSERT_TRUE(ok);
    EXPECT_EQ(*ok, clampedPlacement({1200, 900}, kToday, {0.2, 0.3, 2.0}));
    EXPECT_FALSE(answer("btnCancel"));
}
