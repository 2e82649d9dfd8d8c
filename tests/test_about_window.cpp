// The about window: caption, its outline scanned or read from FRData.dat, the shipped
// region data file, the OK button and dragging.
#include "app/shaping/region_data.h"
#include "app/ui/about_window.h"
#include "app/ui/widget_trans_form.h"
#include "preview/canvas.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace orv::test {

namespace {

const QString kShipped = QStringLiteral(ORV_SOURCE_DIR "/resources/FRData.dat");

QRegion outlineWith(const QString& programDir)
{
    auto about = std::make_unique<frmAbout>(programDir);
    return about->mask();
}

} // namespace

TEST(AboutWindow, CaptionControlsAndReference)
{
    QTemporaryDir empty;
    auto about = std::make_unique<frmAbout>(empty.path());
    EXPECT_EQ(about->windowTitle(), "Orvantis by Zephrin  Version 1.0.0");
    EXPECT_EQ(frmAbout::current(), about.get());
    EXPECT_EQ(about->btnButton->text(), "OK");
    EXPECT_EQ(about->btnButton->geometry(), QRect(246, 144, 35, 20));
    EXPECT_TRUE(about->windowFlags() & Qt::FramelessWindowHint);
    // the label is readable on the picture: its place is not cut away
    EXPECT_TRUE(about->mask().contains(about->Label1->geometry()));
    EXPECT_TRUE(about->mask().contains(about->btnButton->geometry()));

    about->show();
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(150, 80), QPointF(about->mapToGlobal(QPoint(150, 80))),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(about.get(), &right);
    EXPECT_FALSE(about->shaper().dragging());

    about->btnButton->click();
    EXPECT_FALSE(about->isVisible());
    about.reset();
    EXPECT_EQ(frmAbout::current(), nullptr);
}

TEST(AboutWindow, GreenIsCutAwayAlikeWithAndWithoutTheRegionFile)
{
    QTemporaryDir without, with, lying;
    ASSERT_TRUE(QFile::copy(kShipped, with.filePath("FRData.dat")));
    QFile bad(lying.filePath("FRData.dat"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(48, 'x'));
    bad.close();

    const QRegion scanned = outlineWith(without.path());
    const QRegion loaded = outlineWith(with.path());
    EXPECT_TRUE(scanned.xored(loaded).isEmpty());
    {
        // shaping the shaped window again reads its whole picture, not only what is left of it
        frmAbout again(without.path());
        again.shaper().ShapeMe(&again, kAboutTransparent);
        EXPECT_TRUE(again.mask().xored(scanned).isEmpty());
    }
    // a region file that is no region leaves the plain rectangle
    EXPECT_TRUE(outlineWith(lying.path()).isEmpty());

    // Pixel for pixel: what is kept is exactly what is not green in the shown 300 x 172.
    const QImage picture = builtinPicture("ABOUT").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(300, 174));
    int kept = 0;
    for (int y = 0; y < 172; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool green = (picture.pixel(x, y) & 0xFFFFFF) == 0x09E909;
            if (!green) ++kept;
            ASSERT_EQ(loaded.contains(QPoint(x, y)), !green) << x << "," << y;
        }
    EXPECT_GT(kept, 300 * 172 / 2);
    EXPECT_LT(kept, 300 * 172 - 2000);
}

TEST(AboutWindow, ShippedRegionFileIsTheGeneratorsOwn)
{
    const QString tool = QStringLiteral(ORV_BINARY_DIR "/tools/genpictures/genpictures");
    ASSERT_TRUE(QFile::exists(tool)) << "build the genpictures target first";
    QTemporaryDir out;
    QProcess run;
    run.start(tool, {"--region", out.filePath("FRData.dat")});
    ASSERT_TRUE(run.waitForFinished(300000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().constData();
    QFile made(out.filePath("FRData.dat")), shipped(kShipped);
    ASSERT_TRUE(made.open(QIODevice::ReadOnly));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll();
    EXPECT_TRUE(made.readAll() == bytes);
    EXPECT_TRUE(regionFromData(bytes).has_value());
    // and it sits in the program directory beside the executables
    EXPECT_TRUE(QFile::exists(QStringLiteral(ORV_BINARY_DIR "/FRData.dat")));
}

} // namespace orv::test
