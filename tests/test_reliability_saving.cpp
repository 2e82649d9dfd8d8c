// Saves that fail: every file the editor writes keeps the old one when a write fails, the
// save installs only the package it asked for and only when it is whole, and package names
// in any script come out as they were chosen.
#include "app/safe_write.h"
#include "imaging/image_buffer.h"
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "test_reliability_kit.h"
#include "theme/cab_builder.h"
#include "theme/package_files.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace orv::test {
namespace {

TEST(SafeWrite, EveryWriterKeepsTheOldFileWhenAWriteFails)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    // Every new file is larger than the limit and smaller than the write buffers, so its
    // bytes reach the disk only when the file is finished.
    writeBytes(dir + "/package.tsk", QByteArray(4000, 'p'));
    writeBytes(dir + "/a.bin", QByteArray(1000, 'a'));
    writeBytes(dir + "/picture.gif", gifBytes(flatPicture(20, 20)));
    ImageBuffer picture;
    picture.setPicture(testPicture(60, 60));

    const auto saveAs = [&](int format) {
        return [&picture, format](const QString& path) {
            picture.FileName = path;
            picture.FileFormat = format;
            picture.SaveFile();
        };
    };
    const struct {
        const char* what;
        std::function<void(const QString&)> write;
    } writers[] = {
        {"package install", [&](const QString& to) { installPackage(dir + "/package.tsk", to); }},
        {"data and directive files",
         [](const QString& to) {
             if (!writeFileWhole(to, QByteArray(600, 'd'))) throw AppError(75, "test", "failed");
         }},
        {"PNG picture", saveAs(9)},
        {"JPEG picture", saveAs(7)},
        {"GIF conversion", [&](const QString& to) { convertToBitmap(dir + "/picture.gif", to); }},
        {"cabinet",
         [&](const QString& to) {
             CabDirectives d;
             d.files = d.names = {"a.bin"};
             d.diskDirectory = QFileInfo(to).path();
             d.cabinetName = QFileInfo(to).fileName();
             buildCabinet(d, dir);
         }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.what);
        const QString target = dir + "/target";
        writeBytes(target, "old contents");
        bool reported = false;
        {
            FileSizeLimit disk(200);
            try {
                w.write(target);
            } catch (const AppError&) {
                reported = true;
            } catch (const CabBuildError&) {
                reported = true;
            }
        }
        EXPECT_TRUE(reported);
        EXPECT_EQ(readBytes(target), "old contents");
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{"a.bin", "package.tsk", "picture.gif", "target"}));
    }
}

class SaveReliabilityTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        out = home.path() + "/out";
        QDir().mkpath(out);
    }

    // A fresh session whose cabinet builder is this shell script (run in the scratch
    // directory, with the real builder as $REAL).
    void useBuilder(const QByteArray& script)
    {
        const QString dir = home.path() + "/builder";
        QDir().mkpath(dir);
        writeBytes(dir + "/makecab",
                   "#!/bin/sh\nREAL='" ORV_BINARY_DIR "/makecab'\n" + script + "\n");
        QFile(dir + "/makecab").setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Folders f = session->folders();
        f.programDir = dir;
        session = std::make_unique<EditorSession>(ui, f);
    }

    QStringList save(const QString& chosen)
    {
        start();
        session->setThemeName("Ocean");
        session->canvas.oPicBufToday.setPicture(testPicture(240, 293, 1));
        session->canvas.oPicBufMenu.setPicture(testPicture(150, 293, 2));
        ui.boxes.clear();
        ui.fileAnswers.push_back(chosen);
        session->SaveTheme();
        return ui.boxTexts();
    }

    QString out;
};

TEST_F(SaveReliabilityTest, OnlyTheCompletePackageAskedForIsInstalled)
{
    const struct {
        const char* what;
        QByteArray script;
    } builders[] = {
        {"an empty package under the right name", ": > Ocean.tsk"},
        {"a whole package under another name", "\"$REAL\" \"$@\" && mv Ocean.tsk Other.tsk"},
        {"a package without its last member", "sed -i '$d' cabwiz.ddf && exec \"$REAL\" \"$@\""},
        {"a package with a member cut short",
         "head -c 100 tdywater.001 > cut && mv cut tdywater.001 && exec \"$REAL\" \"$@\""},
    };
    for (const auto& b : builders) {
        SCOPED_TRACE(b.what);
        writeBytes(out + "/Ocean.tsk", "the package from yesterday");
        useBuilder(b.script);
        EXPECT_EQ(save(out + "/Ocean.tsk"), QStringList{"Theme not created!  Try again."});
        EXPECT_EQ(readBytes(out + "/Ocean.tsk"), "the package from yesterday");
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"Ocean.tsk"});
    }
}

TEST_F(SaveReliabilityTest, PackageNamesInAnyScriptAreWrittenAsChosen)
{
    for (const QString& name : {QString::fromUtf8("Été"), QString::fromUtf8("Москва 夜")}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(save(out + "/" + name + ".tsk"), QStringList{"Theme Ocean has been saved!"});
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{name + ".tsk"});
        QFile::remove(out + "/" + name + ".tsk");
    }
}

TEST_F(SaveReliabilityTest, ANameTheDirectiveFileCannotCarryIsRefusedBeforeAnyWrite)
{
    const QString scratch = session->folders().scratch();
    for (const QString& name : {QString("back\\slash"), QString("line\nbreak"), QString("car\rriage")}) {
        SCOPED_TRACE(name.toStdString());
        QDir().mkpath(scratch);
        writeBytes(scratch + "/left.txt", "left");
        EXPECT_EQ(save(out + "/" + name + ".tsk"),
                  QStringList{"A package name cannot hold a backslash, a line break or other "
                              "control characters."});
        EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
        EXPECT_EQ(QDir(scratch).entryList(QDir::Files), QStringList{"left.txt"});
    }
}

} // namespace
} // namespace orv::test
