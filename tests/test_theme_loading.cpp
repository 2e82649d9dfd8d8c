// Opening packages: the dialog, the members by format and package size, the theme data file
// found or missing or incomplete, hostile member names, and packages our own save made.
#include <libgcab.h> // before Qt: GLib's headers use the word "signals"

#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "theme/cab_file.h"
#include "theme/package_files.h"
#include "theme/theme_data_file.h"

#include <QDir>
#include <QFileInfo>

namespace orv::test {
namespace {

const Colour kRed = rgbColour(255, 0, 0);
const Colour kTeal = rgbColour(0, 128, 128);

class LoadThemeTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        dir = home.path() + "/packages";
        QDir().mkpath(dir);
    }

    // A theme data file as the editor writes it.
    QByteArray dataFile(const QString& name, std::array<Colour, 13> colours) const
    {
        return buildThemeDataFile(session->state.themeTemplate, name, colours);
    }
    std::array<Colour, 13> coloursWith(int element, Colour c) const
    {
        Theme t;
        t.setElement(element, c);
        return t.colours;
    }

    QStringList open(const QString& package)
    {
        ui.boxes.clear();
        session->LoadTheme(package);
        return ui.boxTexts();
    }

    QImage today() const { return session->canvas.oPicBufToday.image(); }
    QImage menu() const { return session->canvas.oPicBufMenu.image(); }
    QString scratch() const { return session->folders().scratch(); }

    QString dir;
};

TEST_F(LoadThemeTest, OpenDialogStartsInTheRememberedFolderAndCancelChangesNothing)
{
    session->state.ThemePath = "/themes/";
    session->setThemeName("Before");
    session->theme.menuFollowsMain = true;
    session->LoadTheme();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Select TSK File");
    EXPECT_EQ(ui.fileRequests[0].filter, "TSK files (*.TSK)|*.TSK");
    EXPECT_EQ(ui.fileRequests[0].initialName, "/themes/*.tsk");
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(session->theme.name, "Before");
    EXPECT_TRUE(session->theme.menuFollowsMain);
    EXPECT_EQ(session->state.ThemePath, "/themes/");
}

TEST_F(LoadThemeTest, PngPackageGivesNameColoursAndBothPicturesAndEmptiesTheScratchDirectory)
{
    const QImage t = testPicture(240, 293, 3), m = flatPicture(150, 293, 1);
    const QString pkg = packWithMakecab(dir, "Harbour.tsk",
                                        {{"harbour.000", dataFile("Harbour", coloursWith(5, kTeal))},
                                         {"0stwater.002", encode(m, "PNG")},
                                         {"tdywater.001", encode(t, "PNG")}});
    ui.fileAnswers.push_back(pkg);
    session->LoadTheme();

    EXPECT_TRUE(ui.boxes.empty()) << ui.boxTexts().join('\n').toStdString();
    EXPECT_EQ(session->theme.name, "Harbour");
    EXPECT_EQ(session->theme.element(5), kTeal);
    EXPECT_TRUE(samePixels(today(), t));
    EXPECT_TRUE(samePixels(menu(), m));
    EXPECT_EQ(session->state.ThemePath, dir + "/");
    EXPECT_FALSE(session->theme.menuFollowsMain);
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_TRUE(QDir(scratch()).isEmpty());
    // The data buffer holds the whole file and one more zero.
    EXPECT_EQ(session->state.themeDataBuffer.size(), dataFile("Harbour", coloursWith(5, kTeal)).size() + 1);
    EXPECT_EQ(session->state.themeDataBuffer.back(), '\0');
}

TEST_F(LoadThemeTest, JpegAndGifPicturesInASmallPackageLoadWithoutMessages)
{
    const QImage t = testPicture(240, 293, 4), m = flatPicture(150, 293, 2);
    const QString jpeg = packWithMakecab(dir, "Jpeg.tsk",
                                         {{"zephrin1.000", dataFile("Jpeg", Theme().colours)},
                                          {"0stwater.002", encode(m, "JPEG", 96)},
                                          {"tdywater.001", encode(t, "JPEG", 96)}});
    EXPECT_EQ(open(jpeg), QStringList{});
    EXPECT_LE(largestDifference(today(), t), 24);

    const QImage g = flatPicture(240, 293, 3);
    const QString gif = packWithMakecab(dir, "Gif.tsk",
                                        {{"zephrin1.000", dataFile("Gif", Theme().colours)},
                                         {"0stwater.002", gifBytes(m)},
                                         {"tdywater.001", gifBytes(g)}});
    EXPECT_EQ(open(gif), QStringList{});
    EXPECT_EQ(session->theme.name, "Gif");
    EXPECT_TRUE(samePixels(today(), g));
    EXPECT_TRUE(samePixels(menu(), m));
    EXPECT_TRUE(QDir(scratch()).isEmpty());
}

TEST_F(LoadThemeTest, BitmapPicturesInALargePackageLoad)
{
    const QImage t = testPicture(240, 293, 5), m = testPicture(150, 293, 6);
    const QString pkg = packWithMakecab(dir, "Bitmaps.tsk",
                                        {{"zephrin1.000", dataFile("Bitmaps", Theme().colours)},
                                         {"0stwater.002", encode(m, "BMP")},
                                         {"tdywater.001", encode(t, "BMP")}});
    ASSERT_GT(QFileInfo(pkg).size(), 110000);
    EXPECT_EQ(open(pkg), QStringList{});
    EXPECT_TRUE(samePixels(today(), t));
    EXPECT_TRUE(samePixels(menu(), m));
}

TEST_F(LoadThemeTest, PackageSizeDecidesHowAnUnreadableTodayPictureIsReported)
{
    const QList<Member> members = {{"zephrin1.000", dataFile("Broken", Theme().colours)},
                                   {"0stwater.002", QByteArray(500, 'x')},
                                   {"tdywater.001", QByteArray(500, 'y')}};
    // At most 110000 bytes the pictures are tried as compressed, then as GIF files.
    const QString small = packToSize(dir, "Small.tsk", members, 110000);
    EXPECT_EQ(open(small), QStringList{"Error: Invalid picture (LoadTheme)"});
    EXPECT_TRUE(QFileInfo::exists(scratch() + "/tdywater.gif"));

    // One byte more and they are taken for bitmaps.
    const QString large = packToSize(dir, "Large.tsk", members, 110001);
    EXPECT_EQ(open(large),
              QStringList{"Error - Theme is corrupted or uses GIF image files!  Use the Orvantis "
                          "Help option to read about the GIF file format problem. (LoadTheme)"});
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    // A package that fails changes nothing: the name is the one before.
    EXPECT_NE(session->theme.name, "Broken");
}

TEST_F(LoadThemeTest, SmallPackageWithReadablePicturesAtTheSizeLimitLoads)
{
    const QImage t = flatPicture(240, 293, 4), m = flatPicture(150, 293, 5);
    const QString pkg = packToSize(dir, "Edge.tsk",
                                   {{"zephrin1.000", dataFile("Edge", Theme().colours)},
                                    {"0stwater.002", encode(m, "PNG")},
                                    {"tdywater.001", encode(t, "PNG")}},
                                   110000);
    EXPECT_EQ(open(pkg), QStringList{});
    EXPECT_EQ(session->theme.name, "Edge");
    EXPECT_TRUE(samePixels(today(), t));
}

TEST_F(LoadThemeTest, PackageWithoutDataFileKeepsNameAndColoursAndTheExtractedFiles)
{
    session->setThemeName("Kept");
    session->theme.setElement(0, kRed);
    const QString pkg = packWithMakecab(dir, "NoData.tsk",
                                        {{"0stwater.002", encode(flatPicture(150, 293), "PNG")},
                                         {"tdywater.001", encode(flatPicture(240, 293), "PNG")}});
    EXPECT_EQ(open(pkg), QStringList{"Unable to locate Theme Data File!"});
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(session->theme.name, "Kept");
    EXPECT_EQ(session->theme.element(0), kRed);
    QStringList left = QDir(scratch()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"0stwater.002", "tdywater.001"}));
    // The flag and folder change before the package is read.
    EXPECT_FALSE(session->theme.menuFollowsMain);
    EXPECT_EQ(session->state.ThemePath, dir + "/");
}

TEST_F(LoadThemeTest, DataFileWithMissingEntriesKeepsThoseSlots)
{
    session->theme.setElement(0, kRed);    // value "5"
    session->theme.setElement(9, kTeal);   // value "25"
    QByteArray data = dataFile("Partial", coloursWith(1, rgbColour(1, 2, 3)));
    // Rename the values "5" and "25" so the reader does not know them.
    data[data.indexOf(QByteArray("\x06\x00" "5\x00", 4)) + 2] = 'x';
    data[data.indexOf(QByteArray("\x07\x00" "25\x00", 5)) + 2] = 'x';
    const QImage t = flatPicture(240, 293), m = flatPicture(150, 293);
    const QString pkg = packWithMakecab(dir, "Partial.tsk",
                                        {{"zephrin1.000", data},
                                         {"0stwater.002", encode(m, "PNG")},
                                         {"tdywater.001", encode(t, "PNG")}});
    EXPECT_EQ(open(pkg), QStringList{});
    EXPECT_EQ(session->theme.element(0), kRed);
    EXPECT_EQ(session->theme.element(9), kTeal);
    EXPECT_EQ(session->theme.element(1), rgbColour(1, 2, 3));

    // Without the "%CE" anchor no colour is read at all; the name still is.
    QByteArray plain = dataFile("NoAnchor", coloursWith(1, rgbColour(9, 9, 9)));
    plain.replace("%CE", "#CE");
    const QString pkg2 = packWithMakecab(dir, "NoAnchor.tsk",
                                         {{"zephrin1.000", plain},
                                          {"0stwater.002", encode(m, "PNG")},
                                          {"tdywater.001", encode(t, "PNG")}});
    EXPECT_EQ(open(pkg2), QStringList{});
    EXPECT_EQ(session->theme.name, "NoAnchor");
    EXPECT_EQ(session->theme.element(1), rgbColour(1, 2, 3));
    EXPECT_EQ(session->theme.element(0), kRed);
}

TEST_F(LoadThemeTest, DataFileEndingInsideAValueKeepsThatSlot)
{
    session->theme.colours[12] = kRed; // the slot of the value "26"
    QByteArray data = dataFile("Cut", coloursWith(0, kTeal));
    // The file ends right after the green byte of "26": the zero after the buffer is no blue.
    const qsizetype entry = data.lastIndexOf(QByteArray("\x07\x00" "26\x00", 5));
    ASSERT_GT(entry, 0);
    data.truncate(entry + 7);
    const QString pkg = packWithMakecab(dir, "Cut.tsk",
                                        {{"zephrin1.000", data},
                                         {"0stwater.002", encode(flatPicture(150, 293), "PNG")},
                                         {"tdywater.001", encode(flatPicture(240, 293), "PNG")}});
    EXPECT_EQ(open(pkg), QStringList{});
    EXPECT_EQ(session->theme.element(0), kTeal);
    EXPECT_EQ(session->theme.colours[12], kRed);
    EXPECT_EQ(session->state.themeDataBuffer.size(), data.size() + 1);
}

TEST_F(LoadThemeTest, MembersNamedInCapitalsAreFound)
{
    const QImage t = flatPicture(240, 293, 2), m = flatPicture(150, 293, 4);
    const QString pkg = packWithMakecab(dir, "Caps.tsk",
                                        {{"ZEPHRIN1.000", dataFile("Caps", coloursWith(3, kTeal))},
                                         {"0STWATER.002", encode(m, "PNG")},
                                         {"TDYWATER.001", encode(t, "PNG")}});
    EXPECT_EQ(open(pkg), QStringList{});
    EXPECT_EQ(session->theme.name, "Caps");
    EXPECT_TRUE(samePixels(today(), t));
    EXPECT_TRUE(samePixels(menu(), m));
    EXPECT_TRUE(QDir(scratch()).isEmpty());
}

// The fallback's conversion reads as the image buffer does: a picture cut short is refused
// with the error box instead of loading with grey rows.
TEST_F(LoadThemeTest, FallbackRefusesACutShortPictureWithTheErrorBox)
{
    const QImage before = today();
    const QByteArray jpg = encode(testPicture(240, 293, 7), "JPEG", 90);
    const QString pkg = packWithMakecab(dir, "CutJpeg.tsk",
                                        {{"zephrin1.000", dataFile("CutJpeg", Theme().colours)},
                                         {"0stwater.002", encode(flatPicture(150, 293), "PNG")},
                                         {"tdywater.001", jpg.left(jpg.size() * 2 / 3)}});
    EXPECT_EQ(open(pkg), QStringList{"Error: Invalid picture (LoadTheme)"});
    EXPECT_TRUE(samePixels(today(), before));
    EXPECT_NE(session->theme.name, "CutJpeg");
}

TEST(GifConversion, WholePicturesBecomeBitmapsAndDamagedOnesAreRefused)
{
    QTemporaryDir tmp;
    const QImage flat = flatPicture(60, 40, 1);
    const QByteArray jpg = encode(testPicture(60, 40), "JPEG", 90);
    const QByteArray png = encode(flat, "PNG");
    struct Case {
        const char* name;
        QByteArray bytes;
        bool converts;
    } cases[] = {
        {"real.gif", gifBytes(flat), true},
        {"png-named.gif", png, true},
        {"cut-jpeg.gif", jpg.left(jpg.size() / 2), false},
        {"cut-png.gif", png.left(png.size() / 2), false},
        {"words.gif", QByteArray("GIF89a is not enough to be a picture"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString from = tmp.filePath(c.name), to = tmp.filePath(QString(c.name) + ".bmp");
        writeBytes(from, c.bytes);
        try {
            convertToBitmap(from, to);
            EXPECT_TRUE(c.converts);
            EXPECT_TRUE(samePixels(QImage(to, "BMP"), flat));
        } catch (const AppError& e) {
            EXPECT_FALSE(c.converts);
            EXPECT_EQ(e.description(), "Invalid picture");
            EXPECT_FALSE(QFileInfo::exists(to));
        }
    }
}

TEST_F(LoadThemeTest, MissingOrDamagedPackageShowsTheReadersError)
{
    EXPECT_EQ(open(dir + "/absent.tsk"),
              QStringList{"Error: The system cannot find the file specified. (LoadTheme)"});
    writeBytes(dir + "/junk.tsk", QByteArray(2000, 'j'));
    const QStringList boxes = open(dir + "/junk.tsk");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith("Error: ") && boxes[0].endsWith(" (LoadTheme)"));
}

TEST_F(LoadThemeTest, CommandLinePackageOpensAtStart)
{
    const QImage t = flatPicture(240, 293, 1), m = flatPicture(150, 293, 2);
    const QString pkg = packWithMakecab(dir, "Start.tsk",
                                        {{"zephrin1.000", dataFile("Start", Theme().colours)},
                                         {"0stwater.002", encode(m, "PNG")},
                                         {"tdywater.001", encode(t, "PNG")}});
    auto fresh = std::make_unique<EditorSession>(ui, session->folders());
    session = std::move(fresh);
    ui.boxes.clear();
    start(pkg);
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxTexts().join('\n').toStdString();
    EXPECT_EQ(session->theme.name, "Start");
    EXPECT_TRUE(samePixels(menu(), m));
    EXPECT_FALSE(session->theme.menuFollowsMain);
}

// --- hostile member names ----------------------------------------------------------------

QByteArray gcabPackage(const QList<Member>& members)
{
    GCabCabinet* cabinet = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_NONE);
    GDateTime* when = g_date_time_new_utc(2026, 3, 14, 9, 5, 0);
    for (const Member& m : members) {
        GBytes* bytes = g_bytes_new(m.bytes.constData(), static_cast<gsize>(m.bytes.size()));
        GCabFile* file = gcab_file_new_with_bytes(m.name.toLatin1().constData(), bytes);
        gcab_file_set_date_time(file, when);
        gcab_folder_add_file(folder, file, FALSE, nullptr, nullptr);
        g_object_unref(file);
        g_bytes_unref(bytes);
    }
    gcab_cabinet_add_folder(cabinet, folder, nullptr);
    GOutputStream* out = g_memory_output_stream_new_resizable();
    GError* error = nullptr;
    const gboolean ok = gcab_cabinet_write_simple(cabinet, out, nullptr, nullptr, nullptr, &error);
    EXPECT_TRUE(ok) << (error ? error->message : "");
    if (error) g_error_free(error);
    g_output_stream_close(out, nullptr, nullptr);
    auto* mem = G_MEMORY_OUTPUT_STREAM(out);
    QByteArray cab(static_cast<const char*>(g_memory_output_stream_get_data(mem)),
                   static_cast<qsizetype>(g_memory_output_stream_get_data_size(mem)));
    g_object_unref(out);
    g_date_time_unref(when);
    g_object_unref(folder);
    g_object_unref(cabinet);
    return cab;
}

TEST_F(LoadThemeTest, HostileMemberNamesAreNeverWrittenOutsideTheScratchDirectory)
{
    const QImage t = flatPicture(240, 293, 2), m = flatPicture(150, 293, 3);
    const QString outside = home.path() + "/escaped.txt";
    const QString pkg = dir + "/Hostile.tsk";
    writeBytes(pkg, gcabPackage({{"..\\escaped.txt", "from the package"},
                                 {"..\\..\\escaped.txt", "from the package"},
                                 {home.path() + "/absolute.txt", "from the package"},
                                 {"sub\\..\\..\\escaped.txt", "from the package"},
                                 {"zephrin1.000", dataFile("Hostile", Theme().colours)},
                                 {"0stwater.002", encode(m, "PNG")},
                                 {"tdywater.001", encode(t, "PNG")}}));

    EXPECT_EQ(open(pkg), QStringList{});
    EXPECT_EQ(session->theme.name, "Hostile");
    EXPECT_TRUE(samePixels(today(), t));
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(home.path()).absolutePath() + "/escaped.txt"));
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/absolute.txt"));
    EXPECT_TRUE(QDir(scratch()).isEmpty());
}

// --- packages of our own save ---------------------------------------------------------------

class SavedThemeRoundTrip : public LoadThemeTest {
protected:
    QString saveCurrent(const QString& name, bool depth256)
    {
        session->setThemeName(name);
        session->state.colourDepth256 = depth256;
        ui.fileAnswers.push_back(dir + "/" + name + ".tsk");
        ui.boxes.clear();
        session->SaveTheme();
        EXPECT_EQ(ui.boxTexts(), QStringList{"Theme " + name + " has been saved!"});
        return dir + "/" + name + ".tsk";
    }
    // The pictures as stored in the package.
    std::pair<QImage, QImage> storedPictures(const QString& package)
    {
        const QString to = home.path() + "/stored-" + QFileInfo(package).baseName();
        CCabFile cab;
        cab.setCabName(package);
        cab.Extract(QString(), to, QString());
        return {QImage::fromData(readBytes(to + "/tdywater.001")),
                QImage::fromData(readBytes(to + "/0stwater.002"))};
    }
};

TEST_F(SavedThemeRoundTrip, GivesBackNameColoursAndTheSavedPictures)
{
    for (int e = 0; e < kElementCount; ++e) session->theme.setElement(e, rgbColour(10 * e, 255 - e, 3 * e));
    const auto colours = session->theme.colours;
    session->canvas.oPicBufToday.setPicture(testPicture(240, 293, 7));
    session->canvas.oPicBufMenu.setPicture(testPicture(150, 293, 8));

    const QString p256 = saveCurrent("Palette", true);
    const QString p16m = saveCurrent("Photo", false);

    session->theme.SetDefaultColours();
    session->canvas.oPicBufToday.Create(24, 240, 293, kWhite);
    EXPECT_EQ(open(p256), QStringList{});
    EXPECT_EQ(session->theme.name, "Palette");
    EXPECT_EQ(session->theme.colours, colours);
    const auto [t256, m256] = storedPictures(p256);
    EXPECT_TRUE(samePixels(today(), t256));
    EXPECT_TRUE(samePixels(menu(), m256));

    EXPECT_EQ(open(p16m), QStringList{});
    EXPECT_EQ(session->theme.name, "Photo");
    EXPECT_LE(largestDifference(today(), testPicture(240, 293, 7)), 24);
    EXPECT_LE(largestDifference(menu(), testPicture(150, 293, 8)), 24);
    EXPECT_TRUE(QDir(scratch()).isEmpty());
}

} // namespace
} // namespace orv::test
