#include "app/ui/settings_dialog.h"

#include "app/editor_session.h"
#include "app/safe_write.h"
#include "app/settings_store.h"
#include "preview/canvas.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

const SkinChoice kSkinChoices[12] = {
    {"Plastic", "Y"},
    {"Glass Blue", "SKIN-GLASS-BLUE"},
    {"Glass Green", "SKIN-GLASS-GREEN"},
    {"Glass Purple", "SKIN-GLASS-PURPLE"},
    {"Camouflage", "SKIN-CAMOUFLAGE"},
    {"Blue-Green", "SKIN-BLUEGREEN"},
    {"Green-Blue", "SKIN-GREENBLUE"},
    {"Green", "SKIN-GREEN"},
    {"Marble", "SKIN-MARBLE"},
    {"Metal", "SKIN-METAL"},
    {"Wood", "SKIN-WOOD"},
    {"None", "NAKED-XP"},
};

namespace {

frmSettings* theSettingsDialog = nullptr;

const QString kOrvantis = QStringLiteral("Orvantis");
const QString kStartup = QStringLiteral("Startup");
const char* const kTodayTextValues[4] = {"all", "notm", "notmm", "none"};
const char* const kTodayTextCaptions[4] = {"All (Default)", "No Tasks / Messages",
                                           "No Tasks / Messages / Meetings", "None"};

QList<QRadioButton*> optionGroup(QWidget* parent, const QStringList& captions, const QString& name)
{
    auto* group = new QButtonGroup(parent);
    QList<QRadioButton*> buttons;
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = new QRadioButton(captions[i], parent);
        b->setObjectName(name + QString::number(i));
        group->addButton(b, i);
        buttons << b;
    }
    return buttons;
}

// A skin picture goes through the scratch folder as the file tmp.gif, which is loaded and
// removed again.
QImage skinPictureThroughScratch(const QString& skin, const QString& scratch)
{
    QFile resource(":/pictures/" + skin + ".gif");
    if (!resource.open(QIODevice::ReadOnly))
        throw AppError(326, "Orvantis", "Resource with identifier '" + skin + "' not found");
    const QByteArray bytes = resource.readAll();

    const QString path = scratch + "/tmp.gif";
    if (!writeFileWhole(path, bytes)) throw AppError(75, "Orvantis", "Path/File access error");

    QImage picture;
    {
        QImageReader reader(path, "gif");
        picture = reader.read();
    }
    QFile::remove(path);
    if (picture.isNull()) throw AppError(481, "Orvantis", "Invalid picture");
    return picture;
}

} // namespace

frmSettings::frmSettings(EditorSession& session, SkinHost host, QWidget* parent)
    : QDialog(parent), session_(session), host_(std::move(host))
{
    theSettingsDialog = this;
    setObjectName("frmSettings");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildWidgets();
    Form_Load();
}

frmSettings::~frmSettings()
{
    if (theSettingsDialog == this) theSettingsDialog = nullptr;
}

frmSettings* frmSettings::current() { return theSettingsDialog; }

void frmSettings::showModal(EditorSession& session, SkinHost host, QWidget* parent)
{
    frmSettings* dialog = theSettingsDialog ? theSettingsDialog : new frmSettings(session, std::move(host), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

void frmSettings::buildWidgets()
{
    auto* names = new QGroupBox(this);
    auto* nameGrid = new QGridLayout(names);
    for (int k = 0; k < 3; ++k) {
        txtName[k] = new QLineEdit(names);
        txtName[k]->setObjectName(QString("txtName%1").arg(k + 1));
        txtName[k]->setMaxLength(22);
        auto* label = new QLabel(QString("Name %1").arg(k + 1), names);
        label->setBuddy(txtName[k]);
        nameGrid->addWidget(label, k, 0);
        nameGrid->addWidget(txtName[k], k, 1);
    }

    auto* today = new QGroupBox("Today Text", this);
    auto* todayLayout = new QVBoxLayout(today);
    QStringList todayCaptions;
    for (const char* c : kTodayTextCaptions) todayCaptions << c;
    radTodayText = optionGroup(today, todayCaptions, "radTodayText");
    for (QRadioButton* b : radTodayText) todayLayout->addWidget(b);

    auto* skins = new QGroupBox(this);
    auto* skinGrid = new QGridLayout(skins);
    QStringList skinCaptions;
    for (const SkinChoice& s : kSkinChoices) skinCaptions << s.caption;
    radSkin = optionGroup(skins, skinCaptions, "radSkin");
    for (int i = 0; i < radSkin.size(); ++i) skinGrid->addWidget(radSkin[i], i % 6, i / 6);

    auto* folders = new QGroupBox(this);
    auto* folderLayout = new QVBoxLayout(folders);
    radDirectories = optionGroup(folders, {"Remember Directories only for this session",
                                           "Remember Directories across sessions"}, "radDirectories");
    for (QRadioButton* b : radDirectories) folderLayout->addWidget(b);

    btnButtons[0] = new QPushButton("Cancel", this);
    btnButtons[1] = new QPushButton("Accept Changes", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        btnButtons[i]->setObjectName(QString("btnButtons%1").arg(i));
        btnButtons[i]->setAutoDefault(true);
        connect(btnButtons[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });
        buttons->addWidget(btnButtons[i]);
    }
    // Return anywhere in the dialog accepts, as the button's caption promises.
    btnButtons[1]->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(names);
    left->addWidget(today);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(skins);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(folders);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void frmSettings::Form_Load()
{
    const ProgramState& state = session_.state;
    setWindowTitle(kAppTitle + " Settings");
    txtName[0]->setText(state.Name1);
    txtName[1]->setText(state.Name2);
    txtName[2]->setText(state.Name3);
    radDirectories[state.Paths == "yes" ? 1 : 0]->setChecked(true);
    int skin = 11; // any value not listed, "N" included, shows as None
    for (int i = 0; i < 11; ++i)
        if (state.Skin == kSkinChoices[i].value) skin = i;
    radSkin[skin]->setChecked(true);
    for (int i = 0; i < 4; ++i)
        if (state.TodayText == kTodayTextValues[i]) radTodayText[i]->setChecked(true);
    skinAtOpen_ = state.Skin;
    todayTextAtOpen_ = state.TodayText;
}

void frmSettings::btnButtons_Click(int index)
{
    if (index == 0) reject();
    else if (AcceptChanges()) accept();
}

namespace {
// A store that cannot be written is told, and the dialog stays open with the values.
void saveChecked(const QString& application, const QString& section, const QString& key,
                 const QString& value)
{
    if (!SaveSetting(application, section, key, value))
        throw AppError(75, "Orvantis", "Path/File access error: " + settingsFileOf(application));
}
} // namespace

bool frmSettings::AcceptChanges()
{
    ProgramState& state = session_.state;
    UserInteraction& ui = session_.ui();
    try {
        for (int k = 0; k < 3; ++k) {
            if (txtName[k]->text().trimmed().isEmpty()) {
                ui.messageBox(QString("Please Enter a Name in Name %1").arg(k + 1), kAppTitle,
                              MsgIcon::Exclamation);
                return false;
            }
        }
        QString* names[3] = {&state.Name1, &state.Name2, &state.Name3};
        for (int k = 0; k < 3; ++k) {
            *names[k] = txtName[k]->text(); // as typed, outer blanks too
            saveChecked(kOrvantis, kStartup, QString("Name%1").arg(k + 1), *names[k]);
        }

        state.Paths = radDirectories[0]->isChecked() ? "no" : "yes";
        saveChecked(kOrvantis, kStartup, "Paths", state.Paths);

        for (int i = 0; i < radSkin.size(); ++i) {
            if (!radSkin[i]->isChecked()) continue;
            if (i < 11) {
                const QString value = kSkinChoices[i].value;
                if (value != state.Skin) {
                    state.Skin = value;
                    ApplySkin();
                }
                saveChecked(kOrvantis, kStartup, "Skin", value);
            } else {
                // The plain look needs the window built anew.
                ui.messageBox("Progaram has to be restarted for skin to be removed!", "Zephrin",
                              MsgIcon::Information);
                state.Skin = "NAKED-XP";
                saveChecked(kOrvantis, kStartup, "Skin", state.Skin);
            }
            break;
        }

        int today = 3;
        for (int i = 0; i < 3; ++i)
            if (radTodayText[i]->isChecked()) today = i;
        state.TodayText = kTodayTextValues[today];
        saveChecked(kOrvantis, kStartup, "TodayText", state.TodayText);
        return true;
    } catch (const AppError& e) {
        ui.messageBox("Error: " + e.description(), kAppTitle, MsgIcon::Critical);
        return false;
    }
}

void frmSettings::ApplySkin()
{
    const QString skin = session_.state.Skin;
    if (skin == "NAKED-XP") return;
    try {
        if (host_.UseSkinButtons) host_.UseSkinButtons();
        QImage picture;
        if (skin == "Y") {
            picture = builtinPicture("SKIN");
        } else {
            if (skinAtOpen_ == "N" && host_.restoreHeight)
                host_.restoreHeight(GetSetting(kOrvantis, kStartup, "H", "0").toInt());
            picture = skinPictureThroughScratch(skin, session_.folders().scratch());
        }
        if (host_.setBackground) host_.setBackground(picture);
        if (host_.showWindowLabels) host_.showWindowLabels();
    } catch (const AppError& e) {
        session_.ui().messageBox("Error changing skin! Error: " + QString::number(e.number()) + "  " +
                                     e.description(),
                                 "Zephrin", MsgIcon::Critical);
    }
}

void frmSettings::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmSettings::Form_Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    if (session_.state.TodayText != todayTextAtOpen_) {
        session_.LoadIconImages();
        session_.DoScreenMain();
    }
    if (theSettingsDialog == this) theSettingsDialog = nullptr;
}

} // namespace orv
