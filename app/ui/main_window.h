#pragma once
// frmTheForm: the preview, the element list, the name box, the sliders, the commands.
// Every widget is wired to the session in makeConnections().

#include "app/editor_session.h"

#include <QMainWindow>

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QPushButton;
class QAction;

namespace orv {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(EditorSession& session, QWidget* parent = nullptr);
    // Form_Load: the session's set-up, then the window's own part.
    void start(const QString& commandLine);

    // The ten commands of the button row and the menus.
    void btnButtons_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void makeConnections();
    void applySkin();
    void showPreview();
    void syncSliders();
    void syncCaptions();

    EditorSession& session_;
    QLabel* preview_ = nullptr;
    QComboBox* cmbElements_ = nullptr;
    QLineEdit* txtThemeName_ = nullptr;
    QSlider* sldBrightness_ = nullptr;
    QSlider* sldContrast_ = nullptr;
    QSlider* sldGamma_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QList<QPushButton*> btnButtonsXP_;
    QAction* lblSave_ = nullptr;
    QAction* lblDitherMain_ = nullptr;
    QAction* lblDitherMenu_ = nullptr;
    QAction* lblColorDepth_ = nullptr;
    bool syncing_ = false;
};

} // namespace orv
