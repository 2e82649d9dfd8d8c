// Window shaping: the run scan, the outline left after the runs, the region data file and
// the TransForm errors.
#include "app/errors.h"
#include "app/shaping/region_data.h"
#include "app/shaping/trans_form.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace orv::test {

namespace {

constexpr Colour kGreen = 0x09E909;

// '.' is the transparent colour, anything else an opaque grey.
QImage pictureOf(std::initializer_list<const char*> rows)
{
    const int w = int(std::strlen(*rows.begin()));
    QImage img(w, int(rows.size()), QImage::Format_RGB32);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < w; ++x) img.setPixel(x, y, row[x] == '.' ? toQRgb(kGreen) : qRgb(90, 90, 90));
        ++y;
    }
    return img;
}

bool samePixels(const QRegion& a, const QRegion& b) { return a.xored(b).isEmpty(); }

QByteArray record(std::initializer_list<qint32> values)
{
    QByteArray out;
    for (qint32 v : values) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    }
    return out;
}

} // namespace

TEST(TransForm, ScanFindsRunsRowByRowAndCutsThemAway)
{
    struct Case {
        const char* what;
        QImage picture;
        ShapeKind kind;
        std::vector<TransparentRun> runs;
        QRegion outline;
    };
    const Case cases[] = {
        {"no transparent pixel", pictureOf({"###", "###"}), ShapeKind::PictureBox, {}, QRegion(0, 0, 3, 2)},
        {"a row ending transparent, the next starting opaque", pictureOf({"##..", "#..#"}), ShapeKind::Window,
         {{0, 2, 3}, {1, 1, 2}}, QRegion(0, 0, 2, 1) + QRegion(0, 1, 1, 1) + QRegion(3, 1, 1, 1)},
        {"two single-pixel runs", pictureOf({".#.", "###"}), ShapeKind::PictureBox, {{0, 0, 0}, {0, 2, 2}},
         QRegion(1, 0, 1, 1) + QRegion(0, 1, 3, 1)},
        {"a wholly transparent row", pictureOf({"##", "..", "##"}), ShapeKind::Window, {{1, 0, 1}},
         QRegion(0, 0, 2, 1) + QRegion(0, 2, 2, 1)},
        {"button kinds keep two pixels clear of their edges", pictureOf({"#######", "#######", "#######",
                                                                         "#######", "#######", "#######"}),
         ShapeKind::PushButton, {}, QRegion(2, 2, 3, 2)},
        {"a run inside the button's margin takes nothing away", pictureOf({"......", "#.####", "######",
                                                                           "######", "####.#", "######"}),
         ShapeKind::CheckBox, {{0, 0, 5}, {1, 1, 1}, {4, 4, 4}}, QRegion(2, 2, 2, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(scanTransparentRuns(c.picture, c.picture.size(), kGreen), c.runs);
        PictureTarget target(c.picture, c.kind);
        clsTransForm shaper;
        shaper.ShapeMe(target, kGreen);
        ASSERT_TRUE(target.applied.has_value());
        EXPECT_TRUE(samePixels(*target.applied, c.outline));
        EXPECT_TRUE(shaper.runs().empty());
    }
}

TEST(TransForm, OtherTargetsAndMissingOutlinesRaiseTransFormErrors)
{
    PictureTarget textBox(pictureOf({"#"}), ShapeKind::Other);
    clsTransForm shaper;
    try {
        shaper.ShapeMe(textBox, kGreen);
        FAIL() << "a text box was shaped";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), int(0x800409D0u));
        EXPECT_EQ(e.source(), "TransForm");
        EXPECT_EQ(e.description(), "Must pass in the name of a Form, PictureBox, CommandButton, CheckBox or "
                                   "OptionButton.  TransForm ShapeMe method failed.");
    }
    EXPECT_EQ(textBox.applyCount, 0);

    QTemporaryDir dir;
    try {
        shaper.SaveRegionDataToFile(dir.filePath("none.dat"));
        FAIL() << "an outline that was never built was saved";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), int(0x800409D2u));
        EXPECT_EQ(e.source(), "TransForm");
        EXPECT_EQ(e.description(), "Unable to determine size of region in SaveRegionDataToFile");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("none.dat")));
}

TEST(RegionData, RecordHasThePlatformLayoutAndReadsBackToTheSameOutline)
{
    const QRegion outline = QRegion(0, 0, 4, 1) + QRegion(1, 1, 2, 1);
    EXPECT_EQ(regionData(outline), record({32, 1, 2, 32, 0, 0, 4, 2, 0, 0, 4, 1, 1, 1, 3, 2}));

    // ShapeMe with a file name and no load writes the outline; with load it reads it back.
    QTemporaryDir dir;
    const QString file = dir.filePath("FRData.dat");
    const QImage picture = pictureOf({"#..##.#", ".#####.", "...#..."});
    PictureTarget scanned(picture), loaded(picture);
    clsTransForm shaper;
    shaper.ShapeMe(scanned, kGreen, false, file);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), regionData(*scanned.applied));
    shaper.ShapeMe(loaded, kGreen, true, file);
    ASSERT_TRUE(loaded.applied.has_value());
    EXPECT_TRUE(samePixels(*loaded.applied, *scanned.applied));
}

TEST(RegionData, UnsoundRecordsGiveNoOutline)
{
    const QByteArray good = record({32, 1, 2, 32, 0, 0, 4, 2, 0, 0, 4, 1, 1, 1, 3, 2});
    ASSERT_TRUE(regionFromData(good).has_value());
    auto with = [&](int field, qint32 value) {
        QByteArray b = good;
        qToLittleEndian(value, b.data() + 4 * field);
        return b;
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty file", QByteArray()},
        {"truncated header", good.left(20)},
        {"truncated rectangles", good.left(40)},
        {"a byte more than the record", good + '\0'},
        {"count larger than the file", with(2, 3)},
        {"count beyond any sane window", with(2, 0x7fffffff)},
        {"negative count", with(2, -1)},
        {"no rectangles", record({32, 1, 0, 0, 0, 0, 4, 2})},
        {"header size not 32", with(0, 40)},
        {"type not 1", with(1, 2)},
        {"rectangle part size lies", with(3, 48)},
        {"negative rectangle", with(8, -1)},
        {"inverted rectangle", with(12, 5)},
        {"empty rectangle", with(11, 0)},
        {"rectangle outside the bounding rectangle", with(14, 5)},
        {"inverted bounding rectangle", with(6, 0)},
        {"oversized coordinates", with(6, 0x7fffffff)},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(regionFromData(c.bytes).has_value());
        const QString file = dir.filePath("bad.dat");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        PictureTarget target(pictureOf({"#.#"}));
        clsTransForm shaper;
        shaper.ShapeMe(target, kGreen, true, file);
        EXPECT_EQ(target.applyCount, 1);
        EXPECT_FALSE(target.applied.has_value());
    }
}

TEST(RegionData, UnreadableFileIsRaisedAgainAsTheRegionReadersError)
{
    PictureTarget target(pictureOf({"#"}));
    clsTransForm shaper;
    try {
        shaper.ShapeMe(target, kGreen, true, "/nonexistent/FRData.dat");
        FAIL() << "a missing region file was read";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "File not found");
        EXPECT_TRUE(e.source().endsWith(".cDIBSectionRegion")) << e.source().toStdString();
    }
    EXPECT_EQ(target.applyCount, 0);
}

} // namespace orv::test
