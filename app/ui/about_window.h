#pragma once
// frmAbout: the program's name and version on a picture with an irregular outline. No title
// bar, no border; everything in the transparent green is cut away, and the left button
// drags the window from anywhere on it.

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

namespace orv {

class WidgetTransForm;

// The about picture's cut-away colour: red 9, green 233, blue 9.
inline constexpr int kAboutTransparent = 0x09E909;
inline constexpr char kRegionDataFileName[] = "FRData.dat";

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Load: the caption, the shaper, and the outline read from FRData.dat in the program
    // directory when it is there, scanned from the picture otherwise.
    explicit frmAbout(const QString& programDir, QWidget* parent = nullptr);
    // Unload: the shaper goes and the program-wide reference is cleared.
    ~frmAbout() override;

    // The program-wide reference: the open about window, or nullptr.
    static frmAbout* current();
    // The About command: creates the window on first use and shows it modally.
    static void showModal(const QString& programDir, QWidget* parent);

    WidgetTransForm& shaper() { return *shaper_; }
    QPushButton* btnButton = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool leftHeld_ = false; // pressed on the face, the move not yet started
    QImage picture_;
    WidgetTransForm* shaper_ = nullptr;
};

} // namespace orv
