#include "app/ui/about_window.h"

#include "app/editor_session.h"
#include "app/ui/widget_trans_form.h"
#include "preview/canvas.h"

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace orv {

namespace {

frmAbout* theAboutWindow = nullptr;

// The window's client area, 4500 by 2580 twips; the picture is two rows taller.
constexpr QSize kClientSize(300, 172);

QImage aboutPicture()
{
    try {
        return builtinPicture("ABOUT").convertToFormat(QImage::Format_RGB32);
    } catch (const AppError&) {
        QImage plain(kClientSize, QImage::Format_RGB32);
        plain.fill(QColor(34, 58, 120));
        return plain;
    }
}

} // namespace

frmAbout::frmAbout(const QString& programDir, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), picture_(aboutPicture())
{
    theAboutWindow = this;
    setObjectName("frmAbout");
    setModal(true);
    setFixedSize(kClientSize);
    setWindowTitle(kAppTitle + "  Version " + kVersion);

    btnButton = new QPushButton("OK", this);
    btnButton->setObjectName("btnButton");
    btnButton->setGeometry(246, 144, 35, 20); // 3690, 2160, 525 x 300 twips
    btnButton->setDefault(true);
    connect(btnButton, &QPushButton::clicked, this, &QDialog::close);

    Label1 = new QLabel("Version " + kVersion, this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(116, 146, 120, 16);
    Label1->setStyleSheet("QLabel { color: rgb(190, 210, 250); background: transparent; }");
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);

    shaper_ = new WidgetTransForm(this);
    const QString region = programDir + "/" + kRegionDataFileName;
    try {
        // Load is true either way: with no file name the picture is scanned and nothing written.
        shaper_->ShapeMe(this, kAboutTransparent, true, QFileInfo(region).isFile() ? region : QString());
    } catch (const AppError&) {
        clearMask(); // a region file that cannot be read leaves the window unshaped
    }
}

frmAbout::~frmAbout()
{
    delete shaper_;
    shaper_ = nullptr;
    if (theAboutWindow == this) theAboutWindow = nullptr;
}

frmAbout* frmAbout::current() { return theAboutWindow; }

void frmAbout::showModal(const QString& programDir, QWidget* parent)
{
    frmAbout* window = theAboutWindow ? theAboutWindow : new frmAbout(programDir, parent);
    window->setAttribute(Qt::WA_DeleteOnClose); // unloaded by OK; the next About makes it anew
    window->exec();
}

void frmAbout::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

// The move starts on the first motion with the left button held, as the main window's
// does: a window manager handed the move on the press itself may place the window wrongly.
void frmAbout::mousePressEvent(QMouseEvent* event)
{
    leftHeld_ = event->button() == Qt::LeftButton;
}

void frmAbout::mouseMoveEvent(QMouseEvent* event)
{
    if (!leftHeld_ || !(event->buttons() & Qt::LeftButton)) {
        leftHeld_ = false;
        return;
    }
    leftHeld_ = false;
    shaper_->DragForm(this, mouseButtonCode(Qt::LeftButton));
}

void frmAbout::mouseReleaseEvent(QMouseEvent*)
{
    leftHeld_ = false;
}

} // namespace orv
