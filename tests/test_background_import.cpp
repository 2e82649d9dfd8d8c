// Loading pictures into the Today and Start menu backgrounds and fitting them.
#include "app/ui/fit_dialog.h"
#include "support/session_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>
#include "support/test_pictures.h"

using namespace orv;
using orv::test::SessionTest;
using orv::test::crc32;
using orv::test::pattern;

namespace {

const QString kMainTitle = "Load Main Background Image";
const QString kMenuTitle = "Load Menu Background Image";
const QString kMainFilter =
    "Main Image (*.bmp;*.png;*.jpg;*.pcx;*.tga)|*.bmp;*.png;*.jpg;*.pcx;*.tga";
const QString kMenuFilter =
    "Menu Image (*.bmp;*.png;*.jpg;*.pcx;*.tga)|*.bmp;*.png;*.jpg;*.pcx;*.tga";

// Four flat quadrants: red, green / blue, yellow.
QImage quadrants(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            img.setPixel(x, y, !bottom ? (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0))
                                       : (right ? qRgb(255, 255, 0) : qRgb(0, 0, 255)));
        }
    return img;
}

QImage held(const ImageBuffer& b) { return b.image().convertToFormat(QImage::Format_RGB32); }

class ImportTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        // The main window's start-up as far as pictures need it: a new theme on screen.
        EditorSession& s = *session;
        s.folders().createWorkingDirectories();
        s.state.ImagesPath = s.folders().images() + "/";
        s.setupCanvas();
        s.LoadIconImages();
        s.theme.menuFollowsMain = true;
        s.DoScreenMain();
        ASSERT_TRUE(ui.boxes.empty());
        pictures = home.path() + "/pictures/";
        QDir().mkpath(pictures);
    }

    QString save(const QImage& img, const QString& name)
    {
        const QString path = pictures + name;
        EXPECT_TRUE(img.save(path));
        return path;
    }

    QString writeBytes(const QString& name, const QByteArray& bytes)
    {
        QFile f(pictures + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    // The user picks path in the open dialog and answers the fit question.
    bool loadMain(const QString& path, FitChoice fit = FitChoice::Crop)
    {
        ui.fileAnswers.push_back(path);
        ui.fitAnswers.push_back(fit);
        return session->LoadMainImage();
    }
    bool loadMenu(const QString& path, FitChoice fit = FitChoice::Crop)
    {
        ui.fileAnswers.push_back(path);
        ui.fitAnswers.push_back(fit);
        return session->LoadMenuImage();
    }

    ImageBuffer& today() { return session->canvas.oPicBufToday; }
    ImageBuffer& menu() { return session->canvas.oPicBufMenu; }

    QString pictures;
};

} // namespace

TEST_F(ImportTest, TheDialogsAskWithTheirTextsAndRememberTheFolder)
{
    const QString before = session->state.ImagesPath;
    ASSERT_TRUE(before.endsWith("/images/"));
    ASSERT_TRUE(loadMain(save(pattern(240, 293), "a.png")));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, kMainTitle);
    EXPECT_EQ(ui.fileRequests[0].filter, kMainFilter);
    EXPECT_EQ(ui.fileRequests[0].initialName, before + "*.bmp;*.jpg;*.png;*.pcx;*.tga");
    EXPECT_EQ(ui.fitRequests, 1);
    EXPECT_EQ(session->state.ImagesPath, pictures);

    ASSERT_TRUE(loadMenu(save(pattern(150, 293), "b.png")));
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].title, kMenuTitle);
    EXPECT_EQ(ui.fileRequests[1].filter, kMenuFilter);
    EXPECT_EQ(ui.fileRequests[1].initialName, pictures + "*.bmp;*.jpg;*.png;*.pcx;*.tga");
    EXPECT_EQ(ui.fitRequests, 2);
    EXPECT_TRUE(ui.boxes.empty());

    // A chosen name without any folder leaves the remembered folder empty.
    QDir::setCurrent(pictures);
    ui.fileAnswers.push_back(QString("a.png"));
    EXPECT_TRUE(session->LoadMainImage());
    EXPECT_EQ(session->state.ImagesPath, "");
}

TEST_F(ImportTest, CropTakesTheTopLeftAndResizeSqueezesTheWholePicture)
{
    const QImage photo = pattern(640, 480);
    const QString path = save(photo, "photo.png");

    ASSERT_TRUE(loadMain(path, FitChoice::Crop));
    ASSERT_EQ(today().ImageWidth(), 240);
    ASSERT_EQ(today().ImageHeight(), 293);
    EXPECT_EQ(today().BitsPerPixel(), 24);
    EXPECT_EQ(held(today()), photo.copy(0, 0, 240, 293));

    const QString quad = save(quadrants(640, 480), "quad.png");
    ASSERT_TRUE(loadMain(quad, FitChoice::Resize));
    ASSERT_EQ(today().ImageWidth(), 240);
    ASSERT_EQ(today().ImageHeight(), 293);
    EXPECT_EQ(today().pixel(5, 5), kPureRed);
    EXPECT_EQ(today().pixel(234, 5), kPureGreen);
    EXPECT_EQ(today().pixel(5, 287), kPureBlue);
    EXPECT_EQ(today().pixel(234, 287), rgbColour(255, 255, 0));
    // Proportions are not kept: the quadrants meet in the middle of the background.
    EXPECT_EQ(today().pixel(115, 140), kPureRed);
    EXPECT_EQ(today().pixel(125, 152), rgbColour(255, 255, 0));

    ASSERT_TRUE(loadMenu(quad, FitChoice::Resize));
    ASSERT_EQ(menu().ImageWidth(), 150);
    EXPECT_EQ(menu().pixel(5, 5), kPureRed);
    EXPECT_EQ(menu().pixel(144, 287), rgbColour(255, 255, 0));
    ASSERT_TRUE(loadMenu(path, FitChoice::Crop));
    EXPECT_EQ(held(menu()), photo.copy(0, 0, 150, 293));
}

TEST_F(ImportTest, ALargeFileIsReadAsideWithTheUserToldWhich)
{
    const QImage photo = pattern(1200, 1000, 3); // about 3.6 MB as a BMP
    const QString big = save(photo, "big.bmp");
    const QString small = save(photo.copy(0, 0, 300, 300), "small.png");

    ASSERT_TRUE(loadMain(big, FitChoice::Crop));
    EXPECT_EQ(held(today()), photo.copy(0, 0, 240, 293));
    ASSERT_TRUE(loadMain(small, FitChoice::Resize));
    const QImage fromSmallFile = held(today());
    ASSERT_TRUE(loadMain(big, FitChoice::Resize));
    EXPECT_EQ(today().ImageWidth(), 240);
    EXPECT_NE(held(today()), fromSmallFile) << "the large file's picture, squeezed whole";
    ASSERT_TRUE(loadMenu(big, FitChoice::Resize));
    // Each large read once; the small file and the Start menu following the Today picture
    // are read without a word.
    EXPECT_EQ(ui.waits, QStringList({"Reading big.bmp", "Reading big.bmp", "Reading big.bmp"}));
}

// Mean difference per channel between two pictures of one size.
double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

// Smooth shading with grain, as a photo; invert gives a second, wholly different one.
QImage grainyPhoto(int w, int h, bool invert)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 noise = 2166136261u;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28);
            const QRgb c = qRgb(x * 200 / w + grain, y * 200 / h + grain, (x + y) * 100 / (w + h) + grain);
            img.setPixel(x, y, invert ? (~c | 0xFF000000u) : c);
        }
    return img;
}

TEST_F(ImportTest, ALargeJpegToResizeIsOnTheScreenBeforeItIsReadWholeAndGoneIfTheReadFails)
{
    const auto bigJpeg = [this](const QString& name, bool invert) {
        const QString path = pictures + name;
        QImageWriter writer(path, "jpeg");
        writer.setQuality(100);
        EXPECT_TRUE(writer.write(grainyPhoto(2400, 1800, invert)));
        EXPECT_GE(QFileInfo(path).size(), 1 << 20) << "large enough to be read aside";
        return path;
    };
    EditorSession& s = *session;
    struct Seen {
        QImage background, screen;
    } atWait;
    ImageBuffer* watched = &today();
    ui.onWait = [&] { atWait = {held(*watched), s.canvas.oPicBuf.image().copy()}; };

    for (const bool main : {true, false}) {
        SCOPED_TRACE(main ? "Today" : "Start menu");
        const QString big = bigJpeg(main ? "big.jpg" : "other.jpg", !main);
        watched = main ? &today() : &menu();
        const QImage before = held(*watched);
        const QImage screenBefore = s.canvas.oPicBuf.image().copy();
        ASSERT_TRUE(main ? loadMain(big, FitChoice::Resize) : loadMenu(big, FitChoice::Resize));
        const QImage after = held(*watched);
        // While the whole picture was read, the background and the screen already showed it
        // roughly; what stays is made from the whole picture.
        ASSERT_EQ(atWait.background.size(), after.size());
        EXPECT_LT(meanDifference(atWait.background, after), 4.0);
        EXPECT_GT(meanDifference(atWait.background, before), 40.0);
        EXPECT_TRUE(atWait.screen != screenBefore);
    }

    // A file cut short is seen as a picture by the quick decoder but refused by the read:
    // the background and the screen go back to what they were.
    QFile whole(pictures + "other.jpg");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString cut = writeBytes("cut.jpg", whole.read(whole.size() * 3 / 4));
    s.DoScreenMain();
    watched = &today();
    const QImage before = held(today());
    const QImage screenBefore = s.canvas.oPicBuf.image().copy();
    atWait = {};
    EXPECT_FALSE(loadMain(cut, FitChoice::Resize));
    EXPECT_EQ(ui.boxTexts(), QStringList{"Error: Cannot read the picture cut.jpg (LoadMainImage)"});
    ASSERT_FALSE(atWait.background.isNull());
    EXPECT_GT(meanDifference(atWait.background, before), 30.0) << "the cut file was shown roughly";
    EXPECT_TRUE(held(today()) == before);
    EXPECT_TRUE(s.canvas.oPicBuf.image() == screenBefore);
}

TEST_F(ImportTest, ASmallPictureIsCroppedOneToOneOntoWhite)
{
    const QImage small = pattern(100, 80, 3);
    ASSERT_TRUE(loadMain(save(small, "small.bmp")));
    EXPECT_EQ(held(today()).copy(0, 0, 100, 80), small);
    EXPECT_EQ(today().pixel(100, 0), kWhite);
    EXPECT_EQ(today().pixel(0, 80), kWhite);
    EXPECT_EQ(today().pixel(239, 292), kWhite);

    // Resized, the same picture fills the background.
    QImage flat(100, 80, QImage::Format_RGB32);
    flat.fill(qRgb(30, 90, 150));
    ASSERT_TRUE(loadMain(save(flat, "flat.png"), FitChoice::Resize));
    EXPECT_EQ(today().pixel(239, 292), rgbColour(30, 90, 150));
    EXPECT_EQ(today().pixel(0, 0), rgbColour(30, 90, 150));
}

TEST_F(ImportTest, InANewThemeTheMenuFollowsTheTodayBackgroundUntilItGetsItsOwn)
{
    ASSERT_TRUE(session->theme.menuFollowsMain);
    const QImage first = pattern(640, 480, 1);
    ASSERT_TRUE(loadMain(save(first, "first.png")));
    EXPECT_EQ(held(menu()), first.copy(0, 0, 150, 293));
    EXPECT_FALSE(session->theme.menuEditing);
    EXPECT_TRUE(session->theme.menuFollowsMain);
    EXPECT_EQ(ui.fileRequests.size(), 1u); // the Start menu copy asks nothing

    // Resized Today pictures hand their fitted left columns on too.
    ASSERT_TRUE(loadMain(save(quadrants(640, 480), "quad.png"), FitChoice::Resize));
    EXPECT_EQ(held(menu()), held(today()).copy(0, 0, 150, 293));

    const QImage own = pattern(150, 293, 9);
    ASSERT_TRUE(loadMenu(save(own, "own.png")));
    EXPECT_FALSE(session->theme.menuFollowsMain);
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_EQ(held(menu()), own);

    ASSERT_TRUE(loadMain(save(pattern(640, 480, 5), "later.png")));
    EXPECT_EQ(held(menu()), own);
    EXPECT_FALSE(session->theme.menuEditing);
}

TEST_F(ImportTest, LoadsShowTheLoadedBackgroundWithItsSliders)
{
    // The Start menu was being edited with its own values.
    session->switchEditTarget(true);
    session->sliderChanged(Slider::Gamma, 800);

    ASSERT_TRUE(loadMain(save(quadrants(240, 293), "quad.png")));
    EXPECT_FALSE(session->theme.menuEditing);
    EXPECT_EQ(session->sliders.gamma, 500);
    // The preview shows the new Today background under the title bar.
    EXPECT_EQ(session->canvas.oPicBuf.pixel(100, 280), kPureBlue);
    EXPECT_EQ(session->canvas.oPicBuf.pixel(200, 280), rgbColour(255, 255, 0));

    // The Start menu kept its gamma; a Start menu load resets it and shows its screen.
    EXPECT_EQ(session->adjustMenu.gamma, 8.0);
    ASSERT_TRUE(loadMenu(save(quadrants(150, 293), "menu.png")));
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_EQ(session->adjustMenu.gamma, 5.0);
    EXPECT_EQ(session->sliders.gamma, 500);
    QImage expected = session->canvas.oPicBuf.image();
    session->DoScreenMenu();
    EXPECT_EQ(session->canvas.oPicBuf.image(), expected);
    session->DoScreenMain();
    EXPECT_NE(session->canvas.oPicBuf.image(), expected);
}

TEST_F(ImportTest, APathPassedInAsksNothingAndCrops)
{
    session->theme.menuFollowsMain = false;
    session->state.fitCrop = false; // what an earlier Resize left
    const QString before = session->state.ImagesPath;
    const QImage photo = pattern(640, 480, 2);
    const QString path = save(photo, "tdywater.png");

    EXPECT_TRUE(session->LoadMainImage(path));
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_EQ(ui.fitRequests, 0);
    EXPECT_EQ(held(today()), photo.copy(0, 0, 240, 293));
    EXPECT_EQ(session->state.ImagesPath, before);

    EXPECT_TRUE(session->LoadMenuImage(path));
    EXPECT_EQ(held(menu()), photo.copy(0, 0, 150, 293));
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ImportTest, CancelInTheDialogChangesNothingButTheResetValues)
{
    const QImage todayBefore = held(today());
    const QImage menuBefore = held(menu());
    const QString folder = session->state.ImagesPath;
    session->adjustToday.gamma = 8.0;
    session->adjustMenu.gamma = 3.0;

    EXPECT_FALSE(session->LoadMainImage()); // no answer: cancelled
    EXPECT_EQ(session->adjustToday.gamma, 5.0);
    EXPECT_EQ(session->adjustMenu.gamma, 3.0);
    EXPECT_FALSE(session->LoadMenuImage());
    EXPECT_EQ(session->adjustMenu.gamma, 5.0);

    EXPECT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fitRequests, 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(session->state.ImagesPath, folder);
    EXPECT_EQ(held(today()), todayBefore);
    EXPECT_EQ(held(menu()), menuBefore);
    EXPECT_TRUE(session->theme.menuFollowsMain);
}

TEST_F(ImportTest, BadPicturesShowTheErrorBoxAndLeaveBothBackgrounds)
{
    ASSERT_TRUE(loadMain(save(pattern(240, 293, 4), "good.png")));
    session->theme.menuFollowsMain = false;
    ASSERT_TRUE(loadMenu(save(pattern(150, 293, 6), "goodmenu.png")));
    const QImage todayBefore = held(today());
    const QImage menuBefore = held(menu());
    ui.boxes.clear();

    QByteArray png;
    {
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        pattern(300, 300).save(&buf, "png");
    }
    QByteArray huge = png;
    huge.replace(16, 8, QByteArray::fromHex("000186a0000186a0")); // 100000 by 100000
    const struct {
        QString name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"empty.png", {}, "Cannot read the picture empty.png"},
        {"cut.png", png.left(png.size() / 3), "Cannot read the picture cut.png"},
        {"words.jpg", "these are not the pixels you are looking for",
         "Cannot read the picture words.jpg"},
        {"huge.png", huge, "Cannot read the picture huge.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString path = writeBytes(c.name, c.bytes);
        ui.boxes.clear();
        EXPECT_FALSE(loadMain(path));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "Error: " + c.message + " (LoadMainImage)");
        EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
        EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);

        ui.boxes.clear();
        EXPECT_FALSE(loadMenu(path));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "Error: " + c.message + " (LoadMenuImage)");

        // Given as a path (a package's picture), the Today load fails silently; the Start
        // menu load still says why.
        ui.boxes.clear();
        EXPECT_FALSE(session->LoadMainImage(path));
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_FALSE(session->LoadMenuImage(path));
        EXPECT_EQ(ui.boxes.size(), 1u);

        EXPECT_EQ(held(today()), todayBefore);
        EXPECT_EQ(held(menu()), menuBefore);
    }
    EXPECT_FALSE(session->LoadMainImage(pictures + "missing.png"));
    EXPECT_TRUE(ui.boxes.size() == 1u); // only the Start menu box of the last case
}

TEST_F(ImportTest, AnAbsurdHeaderIsRefusedAsTooLarge)
{
    // A real 100000 by 100000 header with a valid checksum.
    QByteArray png;
    {
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        pattern(4, 4).save(&buf, "png");
    }
    png.replace(16, 8, QByteArray::fromHex("000186a0000186a0"));
    const quint32 crc = crc32(png.mid(12, 17));
    for (int i = 0; i < 4; ++i) png[29 + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    const QImage todayBefore = held(today());
    EXPECT_FALSE(loadMain(writeBytes("big.png", png)));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Error: The picture big.png is too large (100000 by 100000 pixels) (LoadMainImage)");
    EXPECT_EQ(held(today()), todayBefore);
}

// --- the fit choice dialog -----------------------------------------------------------------

namespace {

// Runs the dialog, acting on it once it shows.
FitChoice answerFit(const std::function<void(FitDialog&)>& act)
{
    FitDialog dialog;
    QTimer::singleShot(0, &dialog, [&] { act(dialog); });
    return dialog.ask();
}

} // namespace

TEST(FitDialogTest, ShowsTwoUnsetOptionsBesideEachOtherAndTheButtonFirst)
{
    FitDialog d;
    EXPECT_EQ(d.windowTitle(), "Orvantis by Zephrin");
    auto* crop = d.findChild<QRadioButton*>("radMode0");
    auto* resize = d.findChild<QRadioButton*>("radMode1");
    auto* ok = d.findChild<QPushButton*>("Command1");
    ASSERT_TRUE(crop && resize && ok);
    EXPECT_EQ(crop->text(), "Crop Image");
    EXPECT_EQ(resize->text(), "Resize image to fit");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_FALSE(crop->isChecked());
    EXPECT_FALSE(resize->isChecked());
    d.show();
    EXPECT_LT(crop->geometry().x(), resize->geometry().x());
    EXPECT_EQ(crop->geometry().y(), resize->geometry().y());
    EXPECT_EQ(d.nextInFocusChain(), ok);
    EXPECT_EQ(ok->nextInFocusChain(), crop);
}

TEST(FitDialogTest, OkGivesTheChoiceOrResizeAndClosingGivesCrop)
{
    auto pick = [](const char* name) {
        return [name](FitDialog& d) {
            d.findChild<QRadioButton*>(name)->click();
            d.findChild<QPushButton*>("Command1")->click();
        };
    };
    EXPECT_EQ(answerFit(pick("radMode0")), FitChoice::Crop);
    EXPECT_EQ(answerFit(pick("radMode1")), FitChoice::Resize);
    EXPECT_EQ(answerFit([](FitDialog& d) { d.findChild<QPushButton*>("Command1")->click(); }),
              FitChoice::Resize);
    EXPECT_EQ(answerFit([](FitDialog& d) {
                  d.findChild<QRadioButton*>("radMode1")->click();
                  d.reject();
              }),
              FitChoice::Crop);
}
