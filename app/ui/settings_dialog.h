#pragma once
// frmSettings: the three sample names, the Today text, whether folders are remembered, and
// the window skin. Accepting writes the settings and applies a new skin to the main window
// at once; closing redraws the Today screen when its text choice changed.

#include <QDialog>
#include <QImage>
#include <QList>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orv {

class EditorSession;

// What a new skin changes on the main window; the window fills these in.
struct SkinHost {
    std::function<void()> UseSkinButtons;
    std::function<void(const QImage&)> setBackground;
    std::function<void(int twips)> restoreHeight; // the first-run height, the H setting
    std::function<void()> showWindowLabels;        // Xlabel and lblMin
};

struct SkinChoice {
    const char* caption;
    const char* value; // of the Skin setting
};
// Option index to caption and Skin value; anything not listed shows as the last, "None".
extern const SkinChoice kSkinChoices[12];

class frmSettings : public QDialog {
    Q_OBJECT
public:
    // Load: the boxes and options from the running program's settings.
    frmSettings(EditorSession& session, SkinHost host, QWidget* parent = nullptr);
    // Unload: clears the program-wide reference.
    ~frmSettings() override;

    // The program-wide reference: the open settings dialog, or nullptr.
    static frmSettings* current();
    // The Settings command: creates the dialog on first use and shows it modally.
    static void showModal(EditorSession& session, SkinHost host, QWidget* parent);

    // 0 "Cancel", 1 "Accept Changes".
    void btnButtons_Click(int index);
    // The accept routine: true when everything was stored.
    bool AcceptChanges();
    void ApplySkin();

    QLineEdit* txtName[3] = {};
    QList<QRadioButton*> radTodayText;
    QList<QRadioButton*> radSkin;
    QList<QRadioButton*> radDirectories;
    QPushButton* btnButtons[2] = {};

public slots:
    void done(int result) override;

private:
    void buildWidgets();
    void Form_Load();
    void Form_Unload();

    EditorSession& session_;
    SkinHost host_;
    QString skinAtOpen_;
    QString todayTextAtOpen_;
    bool unloaded_ = false;
};

} // namespace orv
