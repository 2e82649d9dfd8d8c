// A saved package is the same file, byte for byte, however the save schedules its work: the
// two reductions, the picture files, the builder and the copy into place. The members' times
// come from SOURCE_DATE_EPOCH, so the cabinet around them does not depend on the clock.
//
// The expected checksums were obtained by running this test against the save as it was
// before its waits were cut (each EXPECT_EQ printed the value it got, which was then written
// in here). They are CRC-32s of the whole package file.
#include "app/safe_write.h"
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "test_reliability_kit.h"
#include "theme/package_files.h"

#include <QDir>
#include <QFileInfo>

namespace orv::test {
namespace {

// Smooth shading with a fixed grain, so the palette reduction and the encoders have real
// work in every part of the picture.
QImage grainyPhoto(int width, int height, quint32 seed)
{
    QImage img(width, height, QImage::Format_RGB32);
    quint32 noise = 2166136261u ^ seed;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28);
            line[x] = qRgb((x * 255 / width + 3 * grain) & 0xFF, (y * 255 / height + grain) & 0xFF,
                           ((x - y + 400) * 255 / 800 + 2 * grain) & 0xFF);
        }
    }
    return img;
}

// Sets SOURCE_DATE_EPOCH for one test, for the builder the save starts, and puts back what
// was there.
class FixedPackageTime {
public:
    explicit FixedPackageTime(const QByteArray& epoch)
        : had_(qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH")), old_(qgetenv("SOURCE_DATE_EPOCH"))
    {
        qputenv("SOURCE_DATE_EPOCH", epoch);
    }
    ~FixedPackageTime()
    {
        if (had_)
            qputenv("SOURCE_DATE_EPOCH", old_);
        else
            qunsetenv("SOURCE_DATE_EPOCH");
    }

private:
    bool had_;
    QByteArray old_;
};

class SavedPackageBytesTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        out = home.path() + "/out";
        QDir().mkpath(out);
    }

    // Saves under a new name and gives back the package's bytes.
    QByteArray save(const QString& name)
    {
        const QString package = out + "/" + name + ".tsk";
        ui.boxes.clear();
        ui.fileAnswers.push_back(package);
        EXPECT_TRUE(session->SaveTheme());
        EXPECT_EQ(ui.boxTexts(), QStringList{"Theme Grain has been saved!"});
        return readBytes(package);
    }

    QString out;
};

TEST_F(SavedPackageBytesTest, WholePackagesKeepTheirBytesInBothColourDepths)
{
    const FixedPackageTime time("1700000000");
    EditorSession& s = *session;
    s.setThemeName("Grain");
    s.canvas.oPicBufToday.setPicture(grainyPhoto(240, 293, 11));
    s.canvas.oPicBufMenu.setPicture(grainyPhoto(150, 293, 12));
    s.adjustToday = AdjustmentSet{4.0, 0.55f, 0.6f};
    s.adjustMenu = AdjustmentSet{6.0, 0.45f, 0.5f};

    const struct {
        const char* what;
        bool depth256, optionA, dither, optionB;
        qsizetype size;
        quint32 crc;
    } cases[] = {
        {"256 colours, dithered", true, false, true, false, 69398, 0xbfae4394},
        {"256 colours, thorough, plain", true, true, false, false, 62481, 0xfcff3ca1},
        {"256 colours, exact colours kept", true, false, true, true, 69398, 0xbfae4394},
        {"16M colours", false, false, false, false, 86806, 0x2782cc46},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.state.colourDepth256 = c.depth256;
        s.state.reduceOptionAMain = s.state.reduceOptionAMenu = c.optionA;
        s.state.ditherMain = s.state.ditherMenu = c.dither;
        s.state.reduceOptionBMain = s.state.reduceOptionBMenu = c.optionB;
        const QByteArray package = save("Grain" + QString::number(++n));
        EXPECT_EQ(package.size(), c.size);
        EXPECT_EQ(crc32(package), c.crc);
        // Saved again, the same bytes: nothing in the package depends on the run.
        EXPECT_EQ(save("Again" + QString::number(n)), package);
    }
    // Nothing of the work is left behind in the scratch directory.
    EXPECT_TRUE(QDir(s.folders().scratch()).isEmpty());
}

// The member files are no longer waited onto the disk, but they are still written whole: a
// write that fails leaves the old file and no temporary one, and a good one leaves exactly
// the new bytes under the name asked for, readable by the builder's process.
TEST(IntermediateFiles, AreWrittenWholeOrNotAtAll)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    const QString target = dir + "/tdywater.001";

    writeBytes(target, "old contents");
    {
        FileSizeLimit disk(200);
        EXPECT_FALSE(writeIntermediateWhole(target, QByteArray(4000, 'n')));
    }
    EXPECT_EQ(readBytes(target), "old contents");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"tdywater.001"});

    EXPECT_TRUE(writeIntermediateWhole(target, QByteArray(4000, 'n')));
    EXPECT_EQ(readBytes(target), QByteArray(4000, 'n'));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"tdywater.001"});
    EXPECT_TRUE(QFileInfo(target).permissions().testFlag(QFileDevice::ReadOther));

    // A folder in the way is refused, not replaced.
    QDir().mkpath(dir + "/cabwiz.ddf");
    EXPECT_FALSE(writeIntermediateWhole(dir + "/cabwiz.ddf", "text"));
    EXPECT_TRUE(QFileInfo(dir + "/cabwiz.ddf").isDir());
}

} // namespace
} // namespace orv::test
