#pragma once
// frmTheForm: the preview, the element list, the name box, the sliders, the commands and the
// hover menus. Every widget is wired to the session in makeConnections().

#include "app/editor_session.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QPushButton;

namespace orv {

class HelpViewer;
class HoverLabel;
class ElementCursor;
class HoverMenus;
class PreviewView;
class RecoveryLine;

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
    HoverMenus& menus() { return *menus_; }
    // 1: the handheld screen at its own size; 2: twice as large.
    void setPreviewScale(int scale);
    int previewScale() const;

public slots:
    void showHelp();
    // The windows of their own: each entry, label and button runs one of these.
    void showAbout();
    void showThemeTransfer();
    void showSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void buildShortcuts();
    void buildReach();
    void makeConnections();
    void applyAppearance();
    void layoutFace();
    void placePlainButtons();
    void paintSkin();
    void shapeWindow();
    void showPreview();
    void syncSliders();
    void syncCaptions();
    bool skinned() const;
    void openDropped(const QString& path, bool onPreview);
    void keepTopStripOnScreen();
    void fitToText();
    void keepOnScreenAfterGrowing();
    QString doubleSizeRefusal() const;
    void setHoverLook(QLabel* label, bool on);

    EditorSession& session_;
    PreviewView* preview_ = nullptr;
    QComboBox* cmbElements_ = nullptr;
    QLineEdit* txtThemeName_ = nullptr;
    QLabel* lblFilename_ = nullptr;
    QSlider* sldBrightness_ = nullptr;
    QSlider* sldContrast_ = nullptr;
    QSlider* sldGamma_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblCaption_ = nullptr;
    HoverLabel* Xlabel_ = nullptr;
    HoverLabel* lblMin_ = nullptr;
    HoverLabel* HelpLabel_ = nullptr;
    HoverLabel* AboutLabel_ = nullptr;
    HoverMenus* menus_ = nullptr;
    QList<QPushButton*> btnButtons_;
    QList<QPushButton*> btnButtonsXP_;
    HoverLabel* lblSave_ = nullptr;
    HoverLabel* lblFileManager_ = nullptr;
    HoverLabel* lblDitherMain_ = nullptr;
    HoverLabel* lblDitherMenu_ = nullptr;
    HoverLabel* lblColorDepth_ = nullptr;
    QPointer<HelpViewer> help_;
    QImage skin_;
    // Window drag: the pointer position at the last step, and how the move is being made.
    QPoint dragOrigin_;
    QPoint grabOffset_;
    bool leftHeld_ = false;
    bool movingByHand_ = false;
    bool syncing_ = false;
    ElementCursor* cursor_ = nullptr;
    RecoveryLine* recoveryLine_ = nullptr;
    QSize laidOutSize_;
};

} // namespace orv
