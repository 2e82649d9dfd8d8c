// A theme's name comes from a package: it is data, never a path and never markup. The rule
// that makes it a file name, the save dialog's proposal and the folder remembered after it,
// the command-line tool's --name, and the boxes that show it.
#include "app/ui/qt_interaction.h"
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "support/tool_run.h"
#include "theme/theme_file_name.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

namespace orv::test {
namespace {

TEST(ThemeFileName, SeparatorsControlCharactersAndLeadingDotsGoAndNothingElse)
{
    const std::pair<QString, QString> cases[] = {
        {"../../../../../tmp/x/escape/pwned", "tmpxescapepwned"},
        {"..\\..\\Windows\\evil", "Windowsevil"},
        {"new\nline\ttab\r", "newlinetab"},
        {".hidden", "hidden"},
        {"...", "Theme"},
        {"", "Theme"},
        {"/\\\n", "Theme"},
        {QString::fromUtf8("Été"), QString::fromUtf8("Été")},
        {QString::fromUtf8("Москва 夜"), QString::fromUtf8("Москва 夜")},
        {"Sunset v1.2 (blue) <b>", "Sunset v1.2 (blue) <b>"},
        {" padded ", " padded "},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(themeFileName(name), file);
    }
}

TEST(ThemeFileName, OnlyControlCharactersAreRefusedAndTheyAreNamed)
{
    EXPECT_EQ(refusedNameCharacter("Sunset"), std::nullopt);
    EXPECT_EQ(refusedNameCharacter(QString::fromUtf8("Été <b>")), std::nullopt);
    EXPECT_EQ(refusedNameCharacter("new\nline"), QChar('\n'));
    EXPECT_EQ(refusedNameCharacter(QString("a") + QChar(0x7F)), QChar(0x7F));
    EXPECT_EQ(refusedNameCharacter(QString("a") + QChar(0x85)), QChar(0x85));
    EXPECT_EQ(describeCharacter('\n'), "U+000A (line feed)");
    EXPECT_EQ(describeCharacter(QChar(0x1B)), "U+001B (escape)");
    EXPECT_EQ(describeCharacter(QChar(0x85)), "U+0085");
}

class NameSaveTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        session->state.TSKPath = session->folders().tsk();
    }
};

TEST_F(NameSaveTest, ANameWithFoldersProposesAFileInTheRememberedFolderOnly)
{
    const QString escape = home.path() + "/escape";
    QDir().mkpath(escape);
    session->setThemeName("../../../../../../../../.." + escape + "/pwned");

    // Cancelled: nothing written, the remembered folder unchanged.
    session->SaveTheme();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const QString proposed = ui.fileRequests[0].initialName;
    EXPECT_EQ(QFileInfo(proposed).path(), session->folders().tsk());
    EXPECT_FALSE(QFileInfo(proposed).fileName().contains('/'));
    EXPECT_EQ(session->state.TSKPath, session->folders().tsk());

    // Accepted as proposed (Enter in the dialog): the package lands in the remembered folder.
    ui.fileAnswers = {proposed + ".tsk"};
    session->SaveTheme();
    EXPECT_EQ(QDir(escape).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(QFileInfo::exists(proposed + ".tsk")) << proposed.toStdString();
    EXPECT_EQ(session->state.TSKPath, session->folders().tsk() + "/");
}

TEST_F(NameSaveTest, TheCaptureProposesTheSameFileName)
{
    session->setThemeName(".././secret/capture");
    session->ScreenCapture();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(QFileInfo(ui.fileRequests[0].initialName).fileName(), "secretcapture.jpg");
}

TEST(NameOnTheCommandLine, ControlCharactersAreRefusedByName)
{
    QTemporaryDir dir;
    auto cli = [&](const QString& name) {
        return runCli(dir.path(), {"build", "--name", name, "-o", dir.path() + "/out.tsk"});
    };
    const auto [status, out, err] = cli("new\nline");
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(err.startsWith("orvantis-cli: --name cannot hold the control character U+000A "
                               "(line feed)\n")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/out.tsk"));
    EXPECT_EQ(cli(QString("tab\there")).status, 2);
    EXPECT_EQ(cli(QString::fromUtf8("Été")).status, 0);
}

// The box the editor shows for a saved package whose name is markup with a link.
TEST(PlainTextBoxes, ANameFromAPackageShowsAsItsCharactersWithNoLink)
{
    QtInteraction qt;
    const QString text =
        "Theme <b>bold</b><a href=\"file:///etc/passwd\">click</a> has been saved!";
    Qt::TextFormat format = Qt::RichText;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        format = box->textFormat();
        if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
            shown = label->text();
            format = label->textFormat();
        }
        box->accept();
    });
    qt.messageBox(text, "Orvantis by Zephrin", MsgIcon::Information, MsgButtons::Ok);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, text);
}

} // namespace
} // namespace orv::test
