#pragma once
// frmTheForm: the preview, the element list, the name box, the sliders, the commands.
// Every widget is wired to the session in makeConnections().

#include "app/editor_session.h"

#include <QMainWindow>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QPushButton;
class QAction;
class QMenuBar;

namespace orv {

class HelpViewer;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(EditorSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;
    // Form_Load: the session's set-up, then the window's own part.
    void start(const QString& commandLine);

    // The ten commands of the button row and the menus.
    void btnButtons_Click(int index);
    void UsePlainButtons();
    void UseSkinButtons();
    void showHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void makeConnections();
    void applyAppearance();
    void shapeWindow();
    void showPreview();
    void syncSliders();
    void syncCaptions();
    bool skinned() const;

    EditorSession& session_;
    QLabel* preview_ = nullptr;
    QComboBox* cmbElements_ = nullptr;
    QLineEdit* txtThemeName_ = nullptr;
    QLabel* lblFilename_ = nullptr;
    QSlider* sldBrightness_ = nullptr;
    QSlider* sldContrast_ = nullptr;
    QSlider* sldGamma_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblCaption_ = nullptr;
    QLabel* Xlabel_ = nullptr;
    QLabel* lblMin_ = nullptr;
    QLabel* HelpLabel_ = nullptr;
    QLabel* AboutLabel_ = nullptr;
    QMenuBar* menus_ = nullptr;
    QList<QPushButton*> btnButtons_;
    QList<QPushButton*> btnButtonsXP_;
    QAction* lblSave_ = nullptr;
    QAction* lblDitherMain_ = nullptr;
    QAction* lblDitherMenu_ = nullptr;
    QAction* lblColorDepth_ = nullptr;
    QPointer<HelpViewer> help_;
    QPoint dragOrigin_;
    bool dragging_ = false;
    bool syncing_ = false;
};

} // namespace orv
