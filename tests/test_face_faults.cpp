// Faults of the face mended: text pasted into the name box obeys the typing rule, the
// editing keys work there, and a settings store that cannot be written is told.
#include "app/settings_store.h"
#include "app/ui/face_controls.h"
#include "app/ui/settings_dialog.h"
#include "support/session_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

namespace orv::test {

TEST(NameBoxPaste, PastedTextIsFilteredAndCappedLikeTypedText)
{
    ThemeNameBox box;
    QApplication::clipboard()->setText("Evil:Name/../x");
    box.paste(); // the context menu's Paste
    EXPECT_EQ(box.text(), "EvilName..x");

    box.setText(QString(35, 'a'));
    box.end(false);
    QApplication::clipboard()->setText("bcdefghijkl");
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), QString(35, 'a') + "bcdef");

    // A longer name the theme already has is shown whole and stays so.
    const QString longName = QString(52, 'n') + ":";
    box.showName(longName);
    EXPECT_EQ(box.text(), longName);
}

TEST(NameBoxPaste, SelectionAndClipboardKeysWork)
{
    ThemeNameBox box;
    box.showName("Dusk");
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box.selectedText(), "Dusk");
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "Dusk");
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "");
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "DuskDusk");
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "Dusk");
}

class SettingsFailureTest : public SessionTest {};

TEST_F(SettingsFailureTest, AStoreThatCannotBeWrittenShowsTheErrorBoxAndKeepsTheDialogOpen)
{
    // A folder where the settings file should be: no write can succeed, not even as root.
    const QString file = settingsFileOf("Orvantis");
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_FALSE(SaveSetting("Orvantis", "Startup", "Name1", "x"));

    start();
    SkinHost host;
    host.UseSkinButtons = [] {};
    host.setBackground = [](const QImage&) {};
    host.restoreHeight = [](int) {};
    host.showWindowLabels = [] {};
    auto dlg = std::make_unique<frmSettings>(*session, host);
    dlg->btnButtons_Click(1);
    EXPECT_EQ(frmSettings::current(), dlg.get()); // still open
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error: Path/File access error: " + file);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    dlg.reset();
    QDir(file).removeRecursively();
    EXPECT_TRUE(SaveSetting("Orvantis", "Startup", "Name1", "Kip Varro"));
}

} // namespace orv::test
