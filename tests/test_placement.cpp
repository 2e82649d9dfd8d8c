// Placing a picture on a background: where the frame lies, how the framed part is scaled,
// and the placed picture going through the same load as Crop and Resize.
#include "imaging/placement.h"
#include "support/session_fixture.h"
#include "support/test_pictures.h"

#include <QDir>
#include <cmath>
#include <limits>

using namespace orv;
using orv::test::crc32;
using orv::test::pattern;
using orv::test::SessionTest;

namespace {

const QSize kToday(240, 293), kMenu(150, 293);
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Four flat quadrants: red, green / blue, yellow.
QImage quadrants(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, y < h / 2 ? (x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                         : (x < w / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
    return img;
}

// Largest distance of any channel of any pixel from grey level `level`.
double spreadAround(const QImage& img, double level)
{
    double worst = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            for (int c : {qRed(p), qGreen(p), qBlue(p)}) worst = std::max(worst, std::abs(c - level));
        }
    return worst;
}

} // namespace

TEST(PlacementFrameTest, KeepsTheTargetsProportionsInsideThePicture)
{
    const struct {
        const char* what;
        QSize picture, target;
        Placement placement;
        QRect frame;
    } cases[] = {
        {"largest, centred", {4000, 3000}, kToday, {}, {772, 0, 2457, 3000}},
        {"zoomed, focus far outside", {4000, 3000}, kToday, {-3, 9, 2}, {0, 1500, 1229, 1500}},
        {"zoomed into the top right", {4000, 3000}, kToday, {1, 0, 2}, {2771, 0, 1229, 1500}},
        {"zoom past one to one", {4000, 3000}, kToday, {0.5, 0.5, 1e9}, {1880, 1354, 240, 293}},
        {"zoom below one", {4000, 3000}, kToday, {0.5, 0.5, 0.2}, {772, 0, 2457, 3000}},
        {"not numbers", {4000, 3000}, kToday, {kNaN, kNaN, kNaN}, {772, 0, 2457, 3000}},
        {"tall picture, Start menu", {1000, 4000}, kMenu, {}, {0, 1024, 1000, 1953}},
        {"smaller than the target", {100, 80}, kToday, {0.5, 0.5, 5}, {17, 0, 66, 80}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(placementFrame(c.picture, c.target, c.placement), c.frame);
    }
}

TEST(PlacementResampleTest, AOneToOneFrameCopiesItsPixels)
{
    const QImage photo = pattern(640, 480, 3);
    const QImage placed = placePicture(photo, kToday, {0.5, 0.5, 100});
    EXPECT_EQ(placed, photo.copy(200, 94, 240, 293));
}

TEST(PlacementResampleTest, ShrinkingAveragesFineDetailToItsMeanColour)
{
    QImage checker(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < checker.height(); ++y)
        for (int x = 0; x < checker.width(); ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    QImage flat(3001, 2003, QImage::Format_RGB32);
    flat.fill(qRgb(37, 201, 99));

    const QImage placed = placePicture(checker, kToday, {});
    ASSERT_EQ(placed.size(), kToday);
    EXPECT_LE(spreadAround(placed, 127.5), 2.0);
    // Picking one pixel per output pixel, as nearest-neighbour scaling does, shows the
    // checkerboard's pixels instead of its grey.
    const QImage nearest = checker.copy(placementFrame(checker.size(), kToday, {}))
                               .scaled(kToday, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_GE(spreadAround(nearest, 127.5), 127.0);

    // A flat picture stays exactly its colour however unevenly its pixels are shared out.
    QImage expected(kMenu, QImage::Format_RGB32);
    expected.fill(qRgb(37, 201, 99));
    EXPECT_EQ(resampleArea(flat, flat.rect(), kMenu), expected);
}

// --- the placed picture in the background load ----------------------------------------------

namespace {

class PlaceImportTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        EditorSession& s = *session;
        s.folders().createWorkingDirectories();
        s.setupCanvas();
        s.LoadIconImages();
        s.theme.menuFollowsMain = true;
        s.DoScreenMain();
        pictures = home.path() + "/pictures/";
        QDir().mkpath(pictures);
    }

    QString save(const QImage& img, const QString& name)
    {
        EXPECT_TRUE(img.save(pictures + name));
        return pictures + name;
    }

    bool load(bool main, const QString& path, FitChoice fit,
              std::optional<Placement> placement = std::nullopt)
    {
        ui.fileAnswers.push_back(path);
        ui.fitAnswers.push_back(fit);
        ui.placementAnswers.push_back(placement);
        return main ? session->LoadMainImage() : session->LoadMenuImage();
    }

    QImage today() const { return session->canvas.oPicBufToday.image(); }
    QImage menu() const { return session->canvas.oPicBufMenu.image(); }

    QString pictures;
};

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255),
           kYellow = qRgb(255, 255, 0);

} // namespace

TEST_F(PlaceImportTest, ThePlacedFrameBecomesTheBackgroundAndTheMenuTakesItsLeftColumns)
{
    const QString quad = save(quadrants(800, 600), "quad.png");
    const struct {
        const char* what;
        Placement placement;
        QRgb topLeft, topRight, bottomLeft, bottomRight; // at (20|60, 70) ... (180|200, 220)
        int left, right;                                 // probe columns
    } cases[] = {
        {"largest, centred", {}, kRed, kGreen, kBlue, kYellow, 60, 180},
        {"against the right edge", {1, 0, 1}, kRed, kGreen, kBlue, kYellow, 20, 100},
        {"zoomed into red", {0.25, 0.25, 2}, kRed, kRed, kRed, kRed, 20, 200},
        {"zoomed into yellow", {0.75, 0.75, 2}, kYellow, kYellow, kYellow, kYellow, 20, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(load(true, quad, FitChoice::Place, c.placement));
        ASSERT_EQ(today().size(), kToday);
        EXPECT_EQ(today().pixel(c.left, 70), c.topLeft);
        EXPECT_EQ(today().pixel(c.right, 70), c.topRight);
        EXPECT_EQ(today().pixel(c.left, 220), c.bottomLeft);
        EXPECT_EQ(today().pixel(c.right, 220), c.bottomRight);
        EXPECT_EQ(menu(), today().copy(0, 0, 150, 293));
    }
    ASSERT_EQ(ui.placementRequests.size(), 4u);
    EXPECT_EQ(ui.placementRequests[0], std::make_pair(QSize(800, 600), kToday));

    // The Start menu's own picture is placed in a frame of its own proportions.
    ASSERT_TRUE(load(false, quad, FitChoice::Place, Placement{}));
    EXPECT_EQ(ui.placementRequests.back(), std::make_pair(QSize(800, 600), kMenu));
    ASSERT_EQ(menu().size(), kMenu);
    EXPECT_EQ(menu().pixel(30, 70), kRed);
    EXPECT_EQ(menu().pixel(120, 70), kGreen);
    EXPECT_EQ(menu().pixel(120, 220), kYellow);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PlaceImportTest, CancellingThePlacementCropsAsClosingTheFitDialogDoes)
{
    const QImage photo = pattern(640, 480, 7);
    ASSERT_TRUE(load(true, save(photo, "photo.png"), FitChoice::Place, std::nullopt));
    EXPECT_EQ(today(), photo.copy(0, 0, 240, 293));
    EXPECT_TRUE(session->state.fitCrop);
    EXPECT_EQ(ui.placementRequests.size(), 1u);
}

TEST_F(PlaceImportTest, CropAndResizeGiveTheSameBytesAsBefore)
{
    // Checksums of the backgrounds as Crop and Resize made them before Place existed.
    const QString photo = save(pattern(640, 480, 5), "photo.png");
    const struct {
        bool main;
        FitChoice fit;
        quint32 todayCrc, menuCrc;
    } cases[] = {
        {true, FitChoice::Crop, 0x25cb42a5, 0x90eff02c},
        {true, FitChoice::Resize, 0xa8527a4d, 0xac499136},
        {false, FitChoice::Crop, 0xa8527a4d, 0x90eff02c},
        {false, FitChoice::Resize, 0xa8527a4d, 0xc287d8d9},
    };
    auto crcOf = [](const QImage& img) {
        return crc32(QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(load(c.main, photo, c.fit));
        EXPECT_EQ(crcOf(today()), c.todayCrc);
        EXPECT_EQ(crcOf(menu()), c.menuCrc);
    }
    EXPECT_TRUE(ui.placementRequests.empty());
}
