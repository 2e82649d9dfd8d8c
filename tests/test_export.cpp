// Saving the backgrounds as PNG and the preview as a JPEG capture.
#include "support/session_fixture.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>
#include "support/test_pictures.h"

using namespace orv;
using orv::test::SessionTest;
using orv::test::pattern;

namespace {

int channelDiff(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

class ExportTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        EditorSession& s = *session;
        s.folders().createWorkingDirectories();
        s.state.ImagesPath = s.folders().images() + "/";
        s.state.CapturePath = s.folders().capture() + "/";
        s.setupCanvas();
        s.LoadIconImages();
        s.canvas.oPicBufToday.setPicture(pattern(240, 293, 0));
        s.canvas.oPicBufMenu.setPicture(pattern(150, 293, 40));
        s.DoScreenMain();
        out = home.path() + "/out/";
        QDir().mkpath(out);
    }

    QStringList filesIn(const QString& dir) const { return QDir(dir).entryList(QDir::Files); }

    QString out;
};

} // namespace

TEST_F(ExportTest, BackgroundsAreSavedUnadjustedAtTheirOwnSize)
{
    // Slider moves on both backgrounds change only what the preview shows.
    session->sliderChanged(Slider::Gamma, 900);
    session->sliderChanged(Slider::Brightness, 200);
    session->switchEditTarget(true);
    session->sliderChanged(Slider::Contrast, 950);

    ui.fileAnswers.push_back(out + "today.png");
    session->mnuSaveMainImage();
    ui.fileAnswers.push_back(out + "menu.png");
    session->mnuSaveMenuImage();
    EXPECT_TRUE(ui.boxes.empty()); // no word on success

    QImageReader today(out + "today.png");
    EXPECT_EQ(today.format(), "png");
    EXPECT_EQ(today.read().convertToFormat(QImage::Format_RGB32), pattern(240, 293, 0));
    EXPECT_EQ(QImage(out + "menu.png").convertToFormat(QImage::Format_RGB32), pattern(150, 293, 40));

    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[0].title, "Save Main Background Image");
    EXPECT_EQ(ui.fileRequests[0].filter, "Save Main Image (*.png)|*.png");
    EXPECT_EQ(ui.fileRequests[0].initialName, session->folders().images() + "/*.png");
    EXPECT_EQ(ui.fileRequests[1].title, "Save Menu Background Image");
    EXPECT_EQ(ui.fileRequests[1].filter, "Save Menu Image (*.png)|*.png");
    // The folder of the first save is where the next dialog starts, loads included.
    EXPECT_EQ(ui.fileRequests[1].initialName, out + "*.png");
    EXPECT_EQ(session->state.ImagesPath, out);
    session->LoadMainImage();
    EXPECT_EQ(ui.fileRequests[2].initialName, out + "*.bmp;*.jpg;*.png;*.pcx;*.tga");
}

TEST_F(ExportTest, TheCaptureIsTheVisiblePreviewInABlackFrame)
{
    session->sliderChanged(Slider::Brightness, 800); // the capture shows adjustments
    const QImage shown = session->canvas.oPicBuf.image().copy(0, 0, 240, 320);
    session->setThemeName("  Sunset ");

    ui.fileAnswers.push_back(out + "Sunset.jpg");
    session->ScreenCapture();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Save Screen Capture");
    EXPECT_EQ(ui.fileRequests[0].filter, "Theme Capture Image (*.jpg)|*.jpg");
    EXPECT_EQ(ui.fileRequests[0].initialName, session->folders().capture() + "/Sunset.jpg");

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Image " + out + "Sunset.jpg is saved.");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.busyOn, 1);
    EXPECT_EQ(ui.busyOff, 1);
    EXPECT_EQ(session->state.CapturePath, out);

    QImageReader reader(out + "Sunset.jpg");
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage capture = reader.read();
    ASSERT_EQ(capture.size(), QSize(240, 320));
    // The frame: the outer pixels black (JPEG blurs a one-pixel line, so on average), where
    // the preview itself is far from black.
    auto meanLevel = [](const QImage& img) {
        long sum = 0, n = 0;
        auto add = [&](int x, int y) {
            const QRgb c = img.pixel(x, y);
            sum += qRed(c) + qGreen(c) + qBlue(c);
            n += 3;
        };
        for (int x = 0; x < 240; ++x) { add(x, 0); add(x, 319); }
        for (int y = 1; y < 319; ++y) { add(0, y); add(239, y); }
        return double(sum) / double(n);
    };
    EXPECT_LT(meanLevel(capture), 25.0);
    EXPECT_GT(meanLevel(shown), 60.0);
    // Inside, the preview as shown (the Today picture's pattern is busy: allow JPEG's blur).
    long total = 0;
    for (int y = 4; y < 316; ++y)
        for (int x = 4; x < 236; ++x) total += channelDiff(capture.pixel(x, y), shown.pixel(x, y));
    EXPECT_LT(total / (232.0 * 312.0), 12.0);
    // The capture never changes the preview.
    EXPECT_EQ(session->canvas.oPicBuf.image().copy(0, 0, 240, 320), shown);
}

TEST_F(ExportTest, ABlankThemeNameProposesAWildcard)
{
    session->setThemeName("   ");
    session->ScreenCapture(); // cancelled
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].initialName, session->folders().capture() + "/*.jpg");
}

TEST_F(ExportTest, CancelWritesNothingAndKeepsTheFolders)
{
    const QString images = session->state.ImagesPath;
    const QString capture = session->state.CapturePath;
    session->mnuSaveMainImage();
    session->mnuSaveMenuImage();
    session->ScreenCapture();
    EXPECT_EQ(ui.fileRequests.size(), 3u);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.busyOn, 0);
    EXPECT_EQ(session->state.ImagesPath, images);
    EXPECT_EQ(session->state.CapturePath, capture);
    EXPECT_TRUE(filesIn(images).isEmpty());
    EXPECT_TRUE(filesIn(capture).isEmpty());
}

TEST_F(ExportTest, FailuresShowTheErrorBoxAndLeaveNoFile)
{
    const QString nowhere = home.path() + "/missing/folder/";
    ui.fileAnswers.push_back(nowhere + "a.png");
    session->mnuSaveMainImage();
    ui.fileAnswers.push_back(nowhere + "b.png");
    session->mnuSaveMenuImage();
    ui.fileAnswers.push_back(nowhere + "c.jpg");
    session->ScreenCapture();

    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text, "Error: Path/File access error: " + nowhere + "a.png (mnuSaveMainImage)");
    EXPECT_EQ(ui.boxes[1].text, "Error: Path/File access error: " + nowhere + "b.png (mnuSaveMainImage)");
    EXPECT_EQ(ui.boxes[2].text, "Error: Path/File access error: " + nowhere + "c.jpg (ScreenCapture)");
    for (const auto& b : ui.boxes) EXPECT_EQ(b.icon, MsgIcon::Critical);
    // The hourglass went back before the box.
    EXPECT_EQ(ui.busyOn, 1);
    EXPECT_EQ(ui.busyOff, 1);
    EXPECT_FALSE(QDir(home.path() + "/missing").exists());
}

TEST_F(ExportTest, SavingOverAPictureReplacesItWhole)
{
    const QString path = out + "today.png";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300000, 'x')); // larger than the picture that replaces it
    }
    ui.fileAnswers.push_back(path);
    session->mnuSaveMainImage();
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), pattern(240, 293, 0));
    EXPECT_LT(QFileInfo(path).size(), 300000);
    EXPECT_EQ(filesIn(out), QStringList{"today.png"});
}
