#pragma once
// frmFileManager: theme packages on the handheld beside those of a PC folder, with buttons
// to copy and delete them on either side. Every device call goes through the Cradlelink
// control; each action opens its own connection and ends it before it returns.

#include "app/editor_session.h"
#include "devicectl/client/cradlelink_client.h"
#include "transfer/drive_list.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class FileManagerWindow : public QDialog {
    Q_OBJECT
public:
    explicit FileManagerWindow(EditorSession& session, QWidget* parent = nullptr);
    ~FileManagerWindow() override;

    // The one window of its kind, or null; unloading the window clears it.
    static FileManagerWindow* instance();

    // Sets up the PC side and the control. On failure shows the load box, closes the window
    // and returns false.
    bool Form_Load();
    // The first listing of the handheld, a second after the window opens.
    void Timer1_Timer();
    // 1 Send Themes to PC, 2 Send Theme(s) to PPC, 3 Exit, 4 Delete Theme(s) on PPC,
    // 5 Delete Theme(s) on PC.
    void btnButtons_Click(int index);
    // Fills lstFiles from the handheld; true when it answered.
    bool DeviceListing();

    void setDrive(int index);
    void setFolder(const QString& dir);
    QString folder() const { return folder_; }
    bool initialised() const { return initialised_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void makeConnections();
    void Form_Activate();
    void listDeviceFolder(const QString& folder, int depth);
    void showMissingDeviceFolder();
    void refreshLocalFiles();
    void fillFolderList();
    void sendThemesToPC();
    void sendThemesToPPC();
    void deleteThemesOnPPC();
    void deleteThemesOnPC();
    void disconnectQuietly();
    // True when the device file holds exactly the bytes of the PC file.
    bool deviceFileEquals(const QString& devicePath, const QString& pcFile);
    // Connects for an action; when the handheld refuses, puts the pointer back, tells why
    // with the last error and returns false.
    bool connectForAction(cradlelink::ControlHost& r, const std::function<void()>& pointerOff);
    cradlelink::ControlHost& rapi();
    MsgResult box(const QString& text, const QString& title, MsgIcon icon);

    EditorSession& session_;
    UserInteraction& ui_;
    std::unique_ptr<cradlelink::ControlHost> UCRapi1_; // UCRapi1, its CRapi from oRapi
    QPushButton* btnButtons_[6] = {};
    QListWidget* lstFiles_ = nullptr;
    QListWidget* lstLocalFiles_ = nullptr;
    QLabel* label3_ = nullptr;
    QComboBox* lstDrives_ = nullptr;
    QTreeWidget* lstDirs_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QList<Drive> drives_;
    QString folder_;
    bool initialised_ = false;
};

} // namespace orv
