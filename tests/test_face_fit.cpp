// The face at large desktop fonts and on small screens: controls never overlap or cut their
// text, Double Size is offered only where it fits, a window stays where it was put, and the
// doubled skin keeps its wordmark whole.
#include "app/ui/about_window.h"
#include "app/ui/face_fit.h"
#include "app/ui/fit_dialog.h"
#include "app/ui/focus_ring.h"
#include "app/ui/main_window.h"
#include "app/ui/preview_view.h"
#include "app/ui/settings_dialog.h"
#include "transfer/file_manager_window.h"
#include "preview/canvas.h"
#include "support/session_fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace orv::test {
namespace {

// What a desktop font setting of `dpi` does to text sized in points, for as long as it lives.
class DesktopFontDpi {
public:
    explicit DesktopFontDpi(int dpi) : before_(QApplication::font())
    {
        QFont f = before_;
        const double factor = dpi / 96.0;
        if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * factor);
        else
            f.setPixelSize(qRound(f.pixelSize() * factor));
        QApplication::setFont(f);
    }
    ~DesktopFontDpi() { QApplication::setFont(before_); }

private:
    QFont before_;
};

class FaceFitTest : public SessionTest {
protected:
    void TearDown() override { window.reset(); }
    void open(const char* skin)
    {
        session->state.Skin = skin;
        window = std::make_unique<MainWindow>(*session);
        window->start(QString());
    }
    QList<QWidget*> visibleControls() const
    {
        QList<QWidget*> out;
        for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible() && !w->isWindow() && !qobject_cast<FocusRing*>(w)) out << w;
        return out;
    }
    static std::string name(QWidget* w)
    {
        const auto* l = qobject_cast<QLabel*>(w);
        return (w->objectName() + " " + (l ? l->text() : QString())).toStdString();
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(FaceFitTest, NoControlsOverlapAndNoCaptionIsCutAtNormalAndLargeFonts)
{
    for (int dpi : {96, 144}) {
        for (const char* skin : {"Y", "NAKED-XP"}) {
            DesktopFontDpi font(dpi);
            open(skin);
            for (int scale : {1, 2}) {
                window->setPreviewScale(scale);
                const std::string where = std::to_string(dpi) + " dpi, " + skin + ", " + std::to_string(scale) + "x";
                const QList<QWidget*> controls = visibleControls();
                ASSERT_GT(controls.size(), 20) << where;
                EXPECT_GE(window->width(), 640 + 240 * (scale - 1)) << where;
                EXPECT_GE(window->height(), 480 + 300 * (scale - 1)) << where;
                for (int i = 0; i < controls.size(); ++i) {
                    QWidget* w = controls[i];
                    EXPECT_TRUE(window->rect().contains(w->geometry())) << where << " " << name(w);
                    for (int j = i + 1; j < controls.size(); ++j)
                        EXPECT_FALSE(w->geometry().intersects(controls[j]->geometry()))
                            << where << ": " << name(w) << " and " << name(controls[j]);
                    if (auto* l = qobject_cast<QLabel*>(w)) {
                        const QFontMetrics fm(l->font());
                        EXPECT_LE(fm.horizontalAdvance(l->text()), l->contentsRect().width()) << where << " " << name(w);
                        EXPECT_LE(fm.height(), l->contentsRect().height()) << where << " " << name(w);
                    }
                    if (auto* b = qobject_cast<QPushButton*>(w)) {
                        EXPECT_GE(b->width(), b->sizeHint().width()) << where << " " << name(w);
                        EXPECT_GE(b->height(), b->sizeHint().height()) << where << " " << name(w);
                    }
                }
            }
        }
    }
}

TEST_F(FaceFitTest, EveryWindowFitsASmallScreenEvenAtLargeFonts)
{
    // 1024 x 600 less a panel and a title bar.
    const QSize room(1024, 600 - 32 - 30);
    for (int dpi : {96, 144}) {
        DesktopFontDpi font(dpi);
        open("Y");
        EXPECT_TRUE(QRect(QPoint(), room).contains(QRect(QPoint(), window->size()))) << dpi;
        frmSettings settings(*session, SkinHost{});
        FitDialog fit;
        frmAbout about(session->folders().programDir);
        FileManagerWindow transfer(*session);
        for (QWidget* w : std::initializer_list<QWidget*>{&settings, &fit, &about, &transfer}) {
            w->adjustSize();
            const QSize least = w->minimumSize().expandedTo(w->minimumSizeHint());
            EXPECT_LE(least.width(), room.width()) << dpi << " " << w->objectName().toStdString();
            EXPECT_LE(least.height(), room.height()) << dpi << " " << w->objectName().toStdString();
        }
    }
}

TEST(DoubleSizeRule, OfferedOnlyWhenTheDoubledWindowFitsTheFreeScreen)
{
    // The doubled skinned window with a thin frame, on a netbook's screen under a panel.
    EXPECT_EQ(refusalToDouble(QSize(882, 804), QSize(1024, 576)),
              "Double Size needs 882 x 804 pixels; this screen has 1024 x 576");
    EXPECT_EQ(refusalToDouble(QSize(880, 780), QSize(1024, 600)),
              "Double Size needs 880 x 780 pixels; this screen has 1024 x 600");
    EXPECT_EQ(refusalToDouble(QSize(1100, 500), QSize(1024, 600)),
              "Double Size needs 1100 x 500 pixels; this screen has 1024 x 600");
    EXPECT_EQ(refusalToDouble(QSize(880, 780), QSize(880, 780)), QString());
    EXPECT_EQ(refusalToDouble(QSize(880, 780), QSize(2560, 1560)), QString());
}

TEST_F(FaceFitTest, PreviewMenuOffersDoubleSizeOnlyWhereItFitsAndSaysWhy)
{
    open("Y");
    auto* preview = window->findChild<PreviewView*>("oPicBuf");
    // The menu and its actions are gone once it closes: keep what they said, not them.
    QList<bool> enabled;
    QStringList texts;
    auto showMenu = [&] {
        enabled.clear();
        texts.clear();
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible()) {
                    for (QAction* a : menu->actions()) {
                        texts << a->text();
                        enabled << a->isEnabled();
                    }
                    menu->close();
                }
        });
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(50, 50), preview->mapToGlobal(QPoint(50, 50)));
        QCoreApplication::sendEvent(preview, &e);
    };
    const QSize free = window->screen()->availableGeometry().size();
    const QSize extra = window->frameGeometry().size() - window->size();
    const bool fits = free.width() >= window->width() + 240 + extra.width() &&
                      free.height() >= window->height() + 300 + extra.height();
    showMenu();
    const int twice = static_cast<int>(texts.indexOf("Double Size (480 x 640)"));
    ASSERT_GE(twice, 0);
    EXPECT_EQ(enabled[twice], fits);
    if (!fits) {
        // The reason sits right under the entry it explains.
        ASSERT_GT(texts.size(), twice + 1);
        const QString why = texts[twice + 1];
        EXPECT_TRUE(why.startsWith("Double Size needs ")) << why.toStdString();
        EXPECT_TRUE(why.endsWith(QString("this screen has %1 x %2").arg(free.width()).arg(free.height())));
        EXPECT_FALSE(enabled[twice + 1]);
    }
    // Back from twice the size is always offered.
    window->setPreviewScale(2);
    showMenu();
    EXPECT_TRUE(enabled[static_cast<int>(texts.indexOf("Actual Size (240 x 320)"))]);
    for (const QString& text : texts) EXPECT_FALSE(text.startsWith("Double Size needs "));
}

TEST_F(FaceFitTest, WindowPutAboveTheScreenTopStaysThereAfterAClick)
{
    open("Y");
    window->move(40, -60); // where the window manager put it
    const QPoint put = window->pos();
    const QPoint face(280, 300);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, face);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, face);
    EXPECT_EQ(window->pos(), put);
    // Going back to the actual size leaves it there too; only growing brings it in.
    window->setPreviewScale(2);
    const QRect free = window->screen()->availableGeometry();
    if (free.contains(QRect(free.topLeft(), window->frameGeometry().size()))) {
        EXPECT_TRUE(free.contains(window->frameGeometry()));
    }
    window->move(40, -60);
    window->setPreviewScale(1);
    EXPECT_EQ(window->pos(), put);
}

TEST_F(FaceFitTest, DoubledSkinKeepsItsWordmarkRowsWhole)
{
    open("Y");
    const QImage skin = builtinPicture("SKIN");
    window->setPreviewScale(2);
    const QImage face = window->palette().brush(QPalette::Window).textureImage();
    ASSERT_EQ(face.size(), window->size());
    // The wordmark sits under the preview well, left of the controls panel; stretched only
    // sideways, each of its rows keeps its mean brightness.
    auto rowMean = [](const QImage& img, int row, int width) {
        double sum = 0;
        for (int x = 0; x < width; ++x) sum += qGray(img.pixel(x, row));
        return sum / width;
    };
    const int grow = face.height() - skin.height();
    for (int row = 396; row < 446; ++row)
        EXPECT_NEAR(rowMean(skin, row, 285), rowMean(face, row + grow, face.width() - (skin.width() - 285)), 4.0)
            << "row " << row;
}

} // namespace
} // namespace orv::test
