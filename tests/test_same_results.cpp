// The pictures the editor makes stay the same bytes however the work behind them is
// scheduled: the placed, cropped and resized backgrounds of a JPEG photo, the adjusted
// preview screens and the members of a 256-colour package.
//
// The expected checksums were obtained by running these tests against the code as it was
// before the photo's full decode moved off the window's thread, adjusted backgrounds were
// kept between redraws and the two backgrounds were reduced side by side (each EXPECT_EQ
// printed the value it got, which was then written in here). They are CRC-32s of the raw
// 32-bit pixels, or of the member files.
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "support/test_pictures.h"
#include "theme/cab_file.h"
#include "theme/package_files.h"
#include "theme/theme_data_file.h"

#include <QDir>
#include <QImageWriter>

namespace orv::test {
namespace {

const QSize kToday(240, 293);
const QSize kMenu(150, 293);

quint32 crcOf(const QImage& img)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    for (int y = 0; y < rgb.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4);
    return crc32(bytes);
}

// A photo-like picture: smooth shading with a fixed grain, so averaging, JPEG and the
// palette reduction all have real work everywhere.
QImage grainyPhoto(int width, int height, quint32 seed)
{
    QImage img(width, height, QImage::Format_RGB32);
    quint32 noise = 2166136261u ^ seed;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28);
            line[x] = qRgb((x * 255 / width + grain) & 0xFF, (y * 255 / height + 2 * grain) & 0xFF,
                           ((x + y) * 255 / (width + height) + grain) & 0xFF);
        }
    }
    return img;
}

class SameResultsTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        pictures = home.path() + "/pictures/";
        QDir().mkpath(pictures);
    }

    QString jpegPhoto()
    {
        const QString path = pictures + "photo.jpg";
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        EXPECT_TRUE(writer.write(grainyPhoto(1600, 1200, 3)));
        return path;
    }

    bool load(bool main, const QString& path, FitChoice fit,
              std::optional<Placement> placement = std::nullopt)
    {
        ui.fileAnswers.push_back(path);
        ui.fitAnswers.push_back(fit);
        if (fit == FitChoice::Place) ui.placementAnswers.push_back(placement);
        return main ? session->LoadMainImage() : session->LoadMenuImage();
    }

    quint32 todayCrc() const { return crcOf(session->canvas.oPicBufToday.image()); }
    quint32 menuCrc() const { return crcOf(session->canvas.oPicBufMenu.image()); }
    quint32 previewCrc() const { return crcOf(session->canvas.oPicBuf.image()); }

    QString pictures;
};

TEST_F(SameResultsTest, PlacedCroppedAndResizedJpegBackgroundsKeepTheirBytes)
{
    const QString photo = jpegPhoto();
    const struct {
        const char* what;
        bool main;
        FitChoice fit;
        std::optional<Placement> placement;
        quint32 today, menu;
    } cases[] = {
        {"Today, crop", true, FitChoice::Crop, std::nullopt, 0xcb9c0aa8, 0xf3cd2e49},
        {"Today, resize", true, FitChoice::Resize, std::nullopt, 0x9c404d93, 0x1534bf57},
        {"Today, largest frame", true, FitChoice::Place, Placement{}, 0x6cb58bcf, 0x473cfd92},
        {"Today, zoomed off centre", true, FitChoice::Place, Placement{0.2, 0.7, 3.5}, 0xad7b756b,
         0x01d43451},
        {"Today, one to one", true, FitChoice::Place, Placement{0.9, 0.1, 100}, 0x592529ba,
         0x1ad9e14c},
        {"Today, placement cancelled", true, FitChoice::Place, std::nullopt, 0xcb9c0aa8,
         0xf3cd2e49},
        {"Start menu, crop", false, FitChoice::Crop, std::nullopt, 0xcb9c0aa8, 0xf3cd2e49},
        {"Start menu, resize", false, FitChoice::Resize, std::nullopt, 0xcb9c0aa8, 0x60443994},
        {"Start menu, placed", false, FitChoice::Place, Placement{0.6, 0.4, 2}, 0xcb9c0aa8,
         0x7758c3b5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(load(c.main, photo, c.fit, c.placement));
        EXPECT_EQ(session->canvas.oPicBufToday.image().size(), kToday);
        EXPECT_EQ(session->canvas.oPicBufMenu.image().size(), kMenu);
        EXPECT_EQ(todayCrc(), c.today);
        EXPECT_EQ(menuCrc(), c.menu);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SameResultsTest, AdjustedScreensKeepTheirBytesThroughSliderMovesAndNewPictures)
{
    EditorSession& s = *session;
    s.canvas.oPicBufToday.setPicture(grainyPhoto(240, 293, 1));
    s.canvas.oPicBufMenu.setPicture(grainyPhoto(150, 293, 2));
    s.switchEditTarget(false);
    s.sliderChanged(Slider::Gamma, 300);
    s.sliderChanged(Slider::Brightness, 600);
    const quint32 first = previewCrc();
    s.sliderChanged(Slider::Contrast, 550);
    const quint32 second = previewCrc();
    s.switchEditTarget(true);
    s.sliderChanged(Slider::Gamma, 700);
    s.sliderChanged(Slider::Contrast, 400);
    const quint32 menuScreen = previewCrc();
    // The same values again after a move away and back.
    s.sliderChanged(Slider::Contrast, 401);
    s.sliderChanged(Slider::Contrast, 400);
    const quint32 menuAgain = previewCrc();
    // Pictures replaced wholesale, values unchanged.
    s.canvas.oPicBufToday.setPicture(grainyPhoto(240, 293, 5));
    s.canvas.oPicBufMenu.setPicture(grainyPhoto(150, 293, 6));
    s.DoScreenMenu();
    const quint32 newPictures = previewCrc();
    // A picture changed in place, values unchanged.
    s.canvas.oPicBufToday.SetPixel(100, 100, kBlack);
    s.DoScreenMain();
    const quint32 changedPixel = previewCrc();

    EXPECT_EQ(first, 0x915a75aeu);
    EXPECT_EQ(second, 0xe44964c4u);
    EXPECT_EQ(menuScreen, 0x5b246330u);
    EXPECT_EQ(menuAgain, menuScreen);
    EXPECT_EQ(newPictures, 0xc8ba8e50u);
    EXPECT_EQ(changedPixel, 0xbc81c9edu);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SameResultsTest, TheMembersOfA256ColourPackageKeepTheirBytes)
{
    EditorSession& s = *session;
    s.setThemeName("Grain");
    s.canvas.oPicBufToday.setPicture(grainyPhoto(240, 293, 7));
    s.canvas.oPicBufMenu.setPicture(grainyPhoto(150, 293, 8));
    s.adjustToday = AdjustmentSet{3.0, 0.6f, 0.55f};
    s.adjustMenu = AdjustmentSet{7.0, 0.4f, 0.6f};
    s.state.colourDepth256 = true;
    const QString out = home.path() + "/out";
    QDir().mkpath(out);

    const struct {
        bool ditherMain, ditherMenu;
        quint32 data, today, menu;
    } cases[] = {
        {true, true, 0x23e1dd43, 0x3a44d54d, 0xefeaf62f},
        {false, true, 0x23e1dd43, 0x5cbd6c10, 0xefeaf62f},
        {true, false, 0x23e1dd43, 0x3a44d54d, 0x26a48631},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        s.state.ditherMain = c.ditherMain;
        s.state.ditherMenu = c.ditherMenu;
        const QString package = out + "/Grain" + QString::number(++n) + ".tsk";
        ui.boxes.clear();
        ui.fileAnswers.push_back(package);
        s.SaveTheme();
        ASSERT_EQ(ui.boxTexts(), QStringList{"Theme Grain has been saved!"});

        const QString dir = home.path() + "/unpacked-" + QString::number(n);
        CCabFile cab;
        cab.setCabName(package);
        ASSERT_TRUE(cab.Extract(QString(), dir, QString()));
        EXPECT_EQ(crc32(readBytes(dir + "/" + kThemeDataFileName)), c.data);
        EXPECT_EQ(crc32(readBytes(dir + "/" + kTodayMember)), c.today);
        EXPECT_EQ(crc32(readBytes(dir + "/" + kMenuMember)), c.menu);
    }
}

} // namespace
} // namespace orv::test
