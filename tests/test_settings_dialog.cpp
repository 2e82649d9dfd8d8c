// The settings dialog: refused names, the skin choices and what they change on the main
// window, the restart message, the redraw when the Today text changed, the error boxes.
#include "app/settings_store.h"
#include "app/ui/settings_dialog.h"
#include "support/session_fixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

namespace orv::test {

namespace {

class SettingsDialogTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        host.UseSkinButtons = [this] { calls << "UseSkinButtons"; };
        host.setBackground = [this](const QImage& img) {
            calls << QString("background %1x%2").arg(img.width()).arg(img.height());
        };
        host.restoreHeight = [this](int twips) { calls << QString("height %1").arg(twips); };
        host.showWindowLabels = [this] { calls << "labels"; };
    }

    std::unique_ptr<frmSettings> open() { return std::make_unique<frmSettings>(*session, host); }
    QString stored(const char* key) { return GetSetting("Orvantis", "Startup", key, "(none)"); }

    SkinHost host;
    QStringList calls;
};

const QString kRestart = QStringLiteral("Progaram has to be restarted for skin to be removed!");

} // namespace

TEST_F(SettingsDialogTest, NameOfBlanksIsRefusedAndNothingIsStored)
{
    for (const char* key : {"Name1", "Name2", "Name3", "Paths", "TodayText"}) SaveSetting("Orvantis", "Startup", key, "before");
    auto dlg = open();
    EXPECT_EQ(dlg->windowTitle(), "Orvantis by Zephrin Settings");
    EXPECT_EQ(dlg->txtName[0]->maxLength(), 22);
    dlg->txtName[0]->setText("  Ann  Lee ");
    dlg->txtName[1]->setText("   ");
    dlg->txtName[2]->setText("");
    dlg->radDirectories[1]->setChecked(true);
    dlg->btnButtons_Click(1);
    ASSERT_EQ(ui.boxes.size(), 1u); // only the first empty name is reported
    EXPECT_EQ(ui.boxes[0].text, "Please Enter a Name in Name 2");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(frmSettings::current(), dlg.get()); // still open
    for (const char* key : {"Name1", "Name2", "Name3", "Paths", "TodayText"}) EXPECT_EQ(stored(key), "before") << key;
    EXPECT_EQ(session->state.Name1, "Kip Varro");

    // Inner and outer blanks of an accepted name are kept as typed.
    dlg->txtName[1]->setText("Bo");
    dlg->txtName[2]->setText("Cy");
    dlg->btnButtons_Click(1);
    EXPECT_EQ(frmSettings::current(), nullptr);
    EXPECT_EQ(stored("Name1"), "  Ann  Lee ");
    EXPECT_EQ(session->state.Name1, "  Ann  Lee ");
    EXPECT_EQ(stored("Paths"), "yes");
}

TEST_F(SettingsDialogTest, NoneAskForARestartEachTimeAndLeavesTheWindowAlone)
{
    for (const char* skin : {"N", "SKIN-WOOD"}) {
        SCOPED_TRACE(skin);
        ui.boxes.clear();
        calls.clear();
        session->state.Skin = skin;
        for (int round = 0; round < 2; ++round) {
            auto dlg = open();
            if (round == 0 && QString(skin) == "N") {
                EXPECT_TRUE(dlg->radSkin[11]->isChecked());
            }
            dlg->radSkin[11]->setChecked(true);
            dlg->btnButtons_Click(1);
            EXPECT_EQ(session->state.Skin, "NAKED-XP");
            EXPECT_EQ(stored("Skin"), "NAKED-XP");
        }
        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[1].text, kRestart);
        EXPECT_EQ(ui.boxes[1].title, "Zephrin");
        EXPECT_EQ(ui.boxes[1].icon, MsgIcon::Information);
        EXPECT_TRUE(calls.isEmpty()) << calls.join(", ").toStdString();
    }
}

TEST_F(SettingsDialogTest, NewSkinIsAppliedAtOnceThroughTheScratchFolder)
{
    SaveSetting("Orvantis", "Startup", "H", "7200");
    const struct {
        const char* from;
        int option;
        QStringList expected;
    } cases[] = {
        {"NAKED-XP", 10, {"UseSkinButtons", "background 640x480", "labels"}},
        {"N", 10, {"UseSkinButtons", "height 7200", "background 640x480", "labels"}},
        {"SKIN-WOOD", 0, {"UseSkinButtons", "background 640x480", "labels"}},
        {"SKIN-METAL", 9, {}}, // unchanged: only stored again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        calls.clear();
        session->state.Skin = c.from;
        SaveSetting("Orvantis", "Startup", "Skin", "stale");
        auto dlg = open();
        dlg->radSkin[c.option]->setChecked(true);
        dlg->btnButtons_Click(1);
        EXPECT_EQ(calls, c.expected);
        const QString value = c.option == 0 ? "Y" : c.option == 9 ? "SKIN-METAL" : "SKIN-WOOD";
        EXPECT_EQ(stored("Skin"), value);
        EXPECT_EQ(session->state.Skin, value);
        EXPECT_FALSE(QFile::exists(session->folders().scratch() + "/tmp.gif"));
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsDialogTest, SkinThatCannotBeWrittenIsReportedAndTheRestIsStored)
{
    session->state.Skin = "Y";
    ASSERT_TRUE(QDir(session->folders().scratch()).removeRecursively());
    QFile blocker(session->folders().scratch()); // a file where the scratch folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto dlg = open();
    dlg->radSkin[4]->setChecked(true);
    dlg->radTodayText[1]->setChecked(true);
    dlg->btnButtons_Click(1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error changing skin! Error: 75  Path/File access error");
    EXPECT_EQ(ui.boxes[0].title, "Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(stored("Skin"), "SKIN-CAMOUFLAGE");
    EXPECT_EQ(stored("TodayText"), "notm");
    EXPECT_EQ(frmSettings::current(), nullptr);
}

TEST_F(SettingsDialogTest, TodayTextChangeRedrawsOnCloseAndCancelNeverDoes)
{
    QSignalSpy redraws(session.get(), &EditorSession::previewChanged);
    session->state.TodayText = "all";

    auto names = open();
    names->txtName[0]->setText("Someone Else");
    names->btnButtons_Click(1);
    EXPECT_EQ(redraws.count(), 0);

    auto cancelled = open();
    cancelled->radTodayText[3]->setChecked(true);
    cancelled->btnButtons_Click(0);
    EXPECT_EQ(redraws.count(), 0);
    EXPECT_EQ(session->state.TodayText, "all");

    auto accepted = open();
    EXPECT_TRUE(accepted->radTodayText[0]->isChecked());
    accepted->radTodayText[3]->setChecked(true);
    accepted->btnButtons_Click(1);
    EXPECT_GE(redraws.count(), 1);
    EXPECT_EQ(session->state.TodayText, "none");
    EXPECT_EQ(stored("TodayText"), "none");

    // A value outside the table sets no option and is stored as "none" when accepted.
    session->state.TodayText = "odd";
    auto odd = open();
    for (QRadioButton* b : odd->radTodayText) EXPECT_FALSE(b->isChecked());
}

} // namespace orv::test
