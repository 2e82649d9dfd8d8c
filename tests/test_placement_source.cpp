// Opening a photo for placing: the reduced copy shown at once, the whole picture read on
// another thread exactly as a background load reads it, failures reported by the load, and
// the placement dialog taking the whole picture's detail once it is read. Also the one-pass
// adjustment the preview keeps between redraws.
#include "app/errors.h"
#include "app/ui/placement_dialog.h"
#include "imaging/image_buffer.h"
#include "imaging/image_buffer_adjust.h"
#include "imaging/placement_source.h"
#include "support/session_fixture.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QProgressBar>
#include <QTest>

namespace orv::test {
namespace {

const QSize kToday(240, 293);

// Left half red, right half blue, with a fine grain that a JPEG keeps roughly.
QImage twoHalves(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int grain = (x * 7 + y * 13) % 9;
            img.setPixel(x, y, x < w / 2 ? qRgb(230 + grain, 20, 20) : qRgb(20, 20, 230 + grain));
        }
    return img;
}

QString writeJpeg(const QString& path, const QImage& img)
{
    QImageWriter w(path, "jpeg");
    w.setQuality(90);
    EXPECT_TRUE(w.write(img));
    return path;
}

QImage loadedAsBackgroundsAre(const QString& path)
{
    ImageBuffer b;
    b.FileName = path;
    b.LoadFile();
    if (b.BitsPerPixel() < 24) b.ConvertBitsPerPixel(24);
    return b.image();
}

class PlacementSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const QString& name) const { return dir.path() + "/" + name; }
    QTemporaryDir dir;
};

TEST_F(PlacementSourceTest, AJpegShowsAReducedCopyAtOnceAndReadsTheWholePictureAsALoadDoes)
{
    const QString path = writeJpeg(file("photo.jpg"), twoHalves(2400, 1600));
    PlacementSource source(path);
    EXPECT_TRUE(source.quickView());
    EXPECT_EQ(source.size(), QSize(2400, 1600));

    const QImage shown = source.preview(QSize(600, 400));
    ASSERT_EQ(shown.size(), QSize(600, 400));
    EXPECT_EQ(shown.format(), QImage::Format_RGB32);
    // The reduced copy shows the picture: red on the left, blue on the right.
    EXPECT_GT(qRed(shown.pixel(100, 200)), 200);
    EXPECT_GT(qBlue(shown.pixel(500, 200)), 200);

    const QImage whole = source.whole();
    EXPECT_TRUE(source.ready());
    EXPECT_EQ(whole, loadedAsBackgroundsAre(path));
    // Once the whole picture is there, the copy is made from it.
    EXPECT_EQ(source.preview(QSize(600, 400)), resampleArea(whole, whole.rect(), QSize(600, 400)));
}

TEST_F(PlacementSourceTest, OtherPicturesAreReadWholeBeforeTheyShow)
{
    const QImage img = pattern(300, 200, 3);
    const struct {
        const char* name;
        const char* format;
    } cases[] = {{"p.png", "png"}, {"p.bmp", "bmp"}, {"jpeg-named.png", "jpeg"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(file(c.name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(encode(img, c.format));
        f.close();
        PlacementSource source(file(c.name));
        // A JPEG under another name is still a JPEG: the content decides.
        EXPECT_EQ(source.quickView(), QByteArray(c.format) == "jpeg");
        EXPECT_EQ(source.size(), QSize(300, 200));
        EXPECT_EQ(source.whole(), loadedAsBackgroundsAre(file(c.name)));
        EXPECT_EQ(source.preview(QSize(300, 200)), source.whole());
    }

    // A picture handed in whole is just that picture.
    PlacementSource ready(img);
    EXPECT_TRUE(ready.ready());
    EXPECT_EQ(ready.size(), img.size());
    EXPECT_EQ(ready.whole(), img);
}

TEST_F(PlacementSourceTest, AFileThatCannotBeReadFailsAsTheLoadWould)
{
    QFile f(file("broken.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(encode(twoHalves(400, 300), "jpeg").left(300)); // the header and little else
    f.close();
    const QString paths[] = {file("broken.jpg"), file("missing.jpg"), dir.path()};
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        PlacementSource source(path);
        try {
            source.whole();
            ADD_FAILURE() << "read without error";
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), kErrBadPicture);
        }
        EXPECT_TRUE(source.ready());
    }
}

// --- the load and the dialog ---------------------------------------------------------------

class PlaceFromFileTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
    }
};

TEST_F(PlaceFromFileTest, APlacedJpegIsMadeFromTheWholePictureAndABrokenOneIsReportedFirst)
{
    const QString path = writeJpeg(home.path() + "/photo.jpg", twoHalves(1200, 900));
    const Placement placement{0.3, 0.6, 2.5};
    ui.fileAnswers.push_back(path);
    ui.fitAnswers.push_back(FitChoice::Place);
    ui.placementAnswers.push_back(placement);
    ASSERT_TRUE(session->LoadMainImage());
    ASSERT_EQ(ui.placementRequests.size(), 1u);
    EXPECT_EQ(ui.placementRequests[0], std::make_pair(QSize(1200, 900), kToday));
    EXPECT_EQ(session->canvas.oPicBufToday.image(),
              placePicture(loadedAsBackgroundsAre(path), kToday, placement));

    // An unreadable file: the error box, and no placement asked for.
    QFile f(home.path() + "/broken.png");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture at all");
    f.close();
    ui.fileAnswers.push_back(home.path() + "/broken.png");
    ui.fitAnswers.push_back(FitChoice::Place);
    EXPECT_FALSE(session->LoadMainImage());
    EXPECT_EQ(ui.placementRequests.size(), 1u);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.endsWith("(LoadMainImage)")) << ui.boxes[0].text.toStdString();
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
}

TEST(PlacementDialogReadingTest, TheThumbnailTakesTheWholePicturesDetailOnceItIsRead)
{
    QTemporaryDir dir;
    const QString path = writeJpeg(dir.path() + "/photo.jpg", twoHalves(4000, 3000));
    PlacementSource source(path);
    PlacementDialog d(source, kToday, nullptr, QSize(400, 300));
    auto* bar = d.findChild<QProgressBar*>("barReading");
    ASSERT_TRUE(bar);
    // Zoomed in far: the frame on the screen copy is smaller than the background.
    Placement p{0.25, 0.5, 8};
    d.setPlacement(p);
    QTRY_VERIFY_WITH_TIMEOUT(!d.reading(), 20000);
    QTest::qWait(100); // the dialog notices between events
    EXPECT_FALSE(bar->isVisibleTo(&d));
    const QImage whole = source.whole();
    EXPECT_EQ(d.thumbnail(), placePicture(whole, kToday, d.placement()));
}

// --- the one-pass adjustment ---------------------------------------------------------------

TEST(AdjustInOnePassTest, GivesThePixelsOfGammaThenBrightnessAndContrast)
{
    const QImage picture = pattern(64, 48, 2);
    const struct {
        double gamma;
        float brightness, contrast;
    } cases[] = {
        {5.0, 0.5f, 0.5f}, {3.0, 0.5f, 0.5f}, {5.0, 0.7f, 0.5f}, {5.0, 0.5f, 0.2f},
        {1.0, 0.0f, 1.0f}, {10.0, 1.0f, 0.0f}, {7.3, 0.41f, 0.66f}, {0.2, -1.0f, 3.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gamma);
        ImageBuffer two, one;
        two.setPicture(picture);
        one.setPicture(picture);
        two.setRect(5, 7, 30, 20);
        one.setRect(5, 7, 30, 20);
        two.AdjustGamma(c.gamma);
        two.AdjustBrightnessContrast(c.brightness, c.contrast);
        adjustInOnePass(one, c.gamma, c.brightness, c.contrast);
        EXPECT_EQ(one.image(), two.image());
    }
    // An 8-bit picture is raised as the two calls raise it.
    ImageBuffer two, one;
    const QImage indexed = pattern(16, 16).convertToFormat(QImage::Format_Indexed8);
    two.setPicture(indexed);
    one.setPicture(indexed);
    two.setRect(0, 0, 16, 16);
    one.setRect(0, 0, 16, 16);
    two.AdjustGamma(2.0);
    two.AdjustBrightnessContrast(0.5f, 0.5f);
    adjustInOnePass(one, 2.0, 0.5f, 0.5f);
    EXPECT_EQ(one.image(), two.image());
    EXPECT_EQ(one.BitsPerPixel(), 24);
}

} // namespace
} // namespace orv::test
