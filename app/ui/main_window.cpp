#include "app/ui/main_window.h"

#include "app/settings_store.h"
#include "app/shaping/shape_window.h"
#include "app/ui/help_viewer.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QWindow>

namespace orv {

namespace {

// The face is laid out for the skins: 640 x 480, title strip on top, the preview well on the
// left and the controls panel on the right.
constexpr int kFaceWidth = 640;
constexpr int kFaceHeight = 480;

const char* const kButtonCaptions[10] = {
    "Open Existing Theme", "Main Image", "Menu Image", "Get Color", "Reset Colors",
    "Start New Theme", "Save Theme", "Screen Capture", "Exit", "Settings"};

// The element list takes no typed input.
class ElementList : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        // Arrow keys still move through the list so it stays usable from the keyboard.
        switch (e->key()) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
        case Qt::Key_Home: case Qt::Key_End: case Qt::Key_F4: case Qt::Key_Space:
        case Qt::Key_Tab: case Qt::Key_Backtab:
            QComboBox::keyPressEvent(e);
            break;
        default:
            e->accept();
        }
    }
};

QSlider* makeSlider(QWidget* parent, const char* name)
{
    auto* s = new QSlider(Qt::Vertical, parent);
    s->setObjectName(name);
    s->setRange(0, 1000);
    s->setValue(500);
    s->setPageStep(50);
    s->setSingleStep(5);
    return s;
}

QLabel* makeLabel(QWidget* parent, const QString& text, const char* name, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

} // namespace

MainWindow::MainWindow(EditorSession& session, QWidget* parent)
    : QWidget(parent), session_(session)
{
    setObjectName("frmTheForm");
    setFixedSize(kFaceWidth, kFaceHeight);
    buildWidgets();
    buildMenus();
    makeConnections();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildWidgets()
{
    lblCaption_ = makeLabel(this, QString(), "lblCaption", QRect(24, 10, 420, 22));
    lblMin_ = makeLabel(this, "_", "lblMin", QRect(584, 8, 18, 22));
    Xlabel_ = makeLabel(this, "X", "Xlabel", QRect(608, 8, 18, 22));
    for (QLabel* l : {lblMin_, Xlabel_}) {
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        l->setStyleSheet("font-weight: bold; color: white;");
    }

    preview_ = makeLabel(this, QString(), "oPicBuf", QRect(22, 62, 242, 322));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setStyleSheet("QLabel#oPicBuf { background: black; border: 1px solid black; }");

    lblFilename_ = makeLabel(this, "Theme Name", "lblFilename", QRect(300, 52, 150, 18));
    txtThemeName_ = new QLineEdit(this);
    txtThemeName_->setObjectName("txtThemeName");
    txtThemeName_->setMaxLength(40);
    txtThemeName_->setGeometry(300, 70, 310, 24);
    lblFilename_->setBuddy(txtThemeName_);

    cmbElements_ = new ElementList(this);
    cmbElements_->setObjectName("cmbElements");
    for (const SlotInfo& slot : kSlots)
        if (slot.element >= 0) cmbElements_->addItem(QString::fromLatin1(slot.caption));
    cmbElements_->setCurrentIndex(-1);
    cmbElements_->setGeometry(300, 102, 310, 24);

    sldBrightness_ = makeSlider(this, "sldBrightness");
    sldContrast_ = makeSlider(this, "sldContrast");
    sldGamma_ = makeSlider(this, "sldGamma");
    const QList<QPair<QSlider*, QString>> named = {
        {sldBrightness_, "Brightness"}, {sldContrast_, "Contrast"}, {sldGamma_, "Gamma"}};
    for (int i = 0; i < named.size(); ++i) {
        const int x = 298 + i * 52;
        // The captions sit on the light panel, above the dark band at its foot.
        named[i].first->setGeometry(x + 16, 134, 20, 282);
        auto* caption = makeLabel(this, named[i].second, "sliderCaption", QRect(x - 2, 418, 56, 16));
        caption->setAlignment(Qt::AlignHCenter);
        QFont small = caption->font();
        small.setPixelSize(10);
        caption->setFont(small);
        caption->setBuddy(named[i].first);
    }

    for (int i = 0; i < 10; ++i) {
        const QRect cell(460 + (i % 2) * 78, 136 + (i / 2) * 62, 74, 56);
        auto* skin = new QPushButton(this);
        skin->setObjectName(QString("btnButtons%1").arg(i));
        skin->setToolTip(kButtonCaptions[i]);
        skin->setText(QString(kButtonCaptions[i]).replace(' ', '\n'));
        skin->setGeometry(cell);
        skin->setStyleSheet(
            "QPushButton { background: rgba(255,255,255,90); border: 1px solid rgba(0,0,0,110);"
            " border-radius: 6px; font-size: 11px; }"
            "QPushButton:hover { background: rgba(255,255,255,170); }"
            "QPushButton:pressed { background: rgba(0,0,0,60); }");
        btnButtons_ << skin;
        auto* plain = new QPushButton(kButtonCaptions[i], this);
        plain->setObjectName(QString("btnButtonsXP%1").arg(i));
        plain->setGeometry(cell.adjusted(0, 10, 0, -10));
        plain->setStyleSheet("font-size: 10px;");
        plain->hide();
        btnButtonsXP_ << plain;
    }

    lblVersion_ = makeLabel(this, QString(), "lblVersion", QRect(300, 458, 200, 18));
    HelpLabel_ = makeLabel(this, "Help", "HelpLabel", QRect(22, 392, 60, 18));
    AboutLabel_ = makeLabel(this, "About", "AboutLabel", QRect(90, 392, 60, 18));
}

void MainWindow::buildMenus()
{
    menus_ = new QMenuBar(this);
    menus_->setObjectName("menus");
    menus_->setGeometry(22, 36, 244, 22);
    menus_->setNativeMenuBar(false);

    QMenu* file = menus_->addMenu("Theme");
    file->setObjectName("oMenuFile");
    file->addAction(" Open Theme", this, [this] { btnButtons_Click(0); });
    file->addAction(" Start  New Theme", this, [this] { btnButtons_Click(5); });
    lblSave_ = file->addAction(" Save Theme 256", this, [this] { btnButtons_Click(6); });
    file->addSeparator();
    file->addAction(" EXIT", this, [this] { btnButtons_Click(8); });

    QMenu* pic = menus_->addMenu("Image");
    pic->setObjectName("oMenuPic");
    pic->addAction(" Load Main Image", this, [this] { btnButtons_Click(1); });
    pic->addAction(" Load Menu Image", this, [this] { btnButtons_Click(2); });
    pic->addAction(" Save Main Image", this, [this] { session_.mnuSaveMainImage(); });
    pic->addAction(" Save Menu Image", this, [this] { session_.mnuSaveMenuImage(); });
    pic->addAction(" Screen Capture", this, [this] { btnButtons_Click(7); });
    pic->addSeparator();
    lblDitherMain_ = pic->addAction(" X Dither Main", this, [this] { session_.toggleDitherMain(); });
    lblDitherMenu_ = pic->addAction(" X Dither Menu", this, [this] { session_.toggleDitherMenu(); });

    QMenu* colors = menus_->addMenu("Color");
    colors->setObjectName("oMenuColors");
    colors->addAction(" Reset Colors", this, [this] { btnButtons_Click(4); });
    const char* const entries[11] = {
        " Upper Left Titlebar", " Upper Right Titlebar", " Titlebar Text", " Today Screen Text",
        " Today Screen Lines", " Command Bar", " Navigation Tray", " Message Bar Left",
        " Message Bar Right", " Important Message Bar Left", " Important Message Bar Right"};
    for (int k = 0; k < 11; ++k) {
        colors->addAction(entries[k], this, [this, k] {
            cmbElements_->setCurrentIndex(k);
            session_.GetColor();
        });
    }
    colors->addSeparator();
    colors->addAction(" Reset Sliders", this, [this] { session_.resetSlidersCommand(); });
    lblColorDepth_ = colors->addAction(" 256 Colors (click for 16M)", this,
                                       [this] { session_.toggleColourDepth(); });

    QMenu* help = menus_->addMenu("Help");
    help->setObjectName("oMenuHelp");
    help->addAction(" Contents && Index", this, [this] { showHelp(); });
}

void MainWindow::makeConnections()
{
    for (int i = 0; i < 10; ++i) {
        connect(btnButtons_[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });
        connect(btnButtonsXP_[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });
    }

    connect(cmbElements_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_ && index >= 0) session_.cmbElements_Click(index);
    });
    connect(txtThemeName_, &QLineEdit::textEdited, this,
            [this](const QString& text) { session_.theme.name = text; });

    auto wireSlider = [this](QSlider* s, Slider which) {
        connect(s, &QSlider::valueChanged, this, [this, which](int v) {
            if (!syncing_) session_.sliderChanged(which, v);
        });
    };
    wireSlider(sldBrightness_, Slider::Brightness);
    wireSlider(sldContrast_, Slider::Contrast);
    wireSlider(sldGamma_, Slider::Gamma);

    connect(&session_, &EditorSession::previewChanged, this, &MainWindow::showPreview);
    connect(&session_, &EditorSession::themeNameChanged, this, [this](const QString& name) {
        if (txtThemeName_->text() != name) txtThemeName_->setText(name);
    });
    connect(&session_, &EditorSession::elementSelected, this, [this](int index) {
        syncing_ = true;
        cmbElements_->setCurrentIndex(index);
        syncing_ = false;
    });
    connect(&session_, &EditorSession::slidersChanged, this, &MainWindow::syncSliders);
    connect(&session_, &EditorSession::captionsChanged, this, &MainWindow::syncCaptions);
}

bool MainWindow::skinned() const
{
    return session_.state.Skin != "N" && session_.state.Skin != "NAKED-XP";
}

void MainWindow::start(const QString& commandLine)
{
    const QString version = kVersion;
    setWindowTitle(kAppTitle + "  Version " + version);
    lblCaption_->setText(windowTitle());
    lblVersion_->setText("Orvantis " + version);

    session_.formLoad(commandLine);
    applyAppearance();
    HelpLabel_->hide();
    AboutLabel_->hide();
    lblVersion_->setStyleSheet(session_.state.Skin == "NAKED-XP" ? "color: black;" : "color: white;");

    show();
    // H: the window's height as first laid out, stored once.
    if (GetSetting("Orvantis", "Startup", "H", "0") == "0")
        SaveSetting("Orvantis", "Startup", "H", QString::number(height() * 15));
    showPreview();
    syncCaptions();
    syncSliders();
}

void MainWindow::applyAppearance()
{
    const QString skin = session_.state.Skin;
    if (skin == "NAKED-XP") {
        UsePlainButtons();
        lblCaption_->hide();
        return;
    }
    if (skin == "N") {
        // The compact look: only the name box row is left of the face.
        setFixedHeight(txtThemeName_->geometry().bottom() + 14);
        Xlabel_->hide();
        lblMin_->hide();
        lblCaption_->hide();
        for (QPushButton* b : btnButtons_) b->setChecked(false);
        return;
    }
    QImage picture;
    try {
        picture = builtinPicture(skin == "Y" ? QString("SKIN") : skin);
    } catch (const AppError&) {
        picture = QImage(); // an unknown skin name keeps a plain face
    }
    if (!picture.isNull()) {
        QPalette pal = palette();
        pal.setBrush(QPalette::Window, QBrush(picture));
        setAutoFillBackground(true);
        setPalette(pal);
    }
    setWindowFlag(Qt::FramelessWindowHint, true);
    UseSkinButtons();
}

void MainWindow::UsePlainButtons()
{
    Xlabel_->hide();
    lblMin_->hide();
    for (int i = 0; i < 10; ++i) {
        btnButtons_[i]->hide();
        btnButtonsXP_[i]->show();
    }
}

void MainWindow::UseSkinButtons()
{
    Xlabel_->show();
    lblMin_->show();
    for (int i = 0; i < 10; ++i) {
        btnButtons_[i]->show();
        btnButtonsXP_[i]->hide();
    }
}

void MainWindow::shapeWindow()
{
    if (!skinned()) {
        clearMask();
        return;
    }
    // A frameless window: the window and its client area are the same size.
    if (auto region = ShapeMainWindow(size(), size(), session_.ui())) setMask(*region);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    shapeWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) shapeWindow();
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    if (Xlabel_->isVisible() && Xlabel_->geometry().contains(event->pos())) {
        close();
        return;
    }
    if (lblMin_->isVisible() && lblMin_->geometry().contains(event->pos())) {
        showMinimized();
        return;
    }
    // Drag the frameless window by its face.
    if (skinned() && windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOrigin_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - dragOrigin_);
    else
        dragging_ = false;
}

void MainWindow::showPreview()
{
    const QImage& img = session_.canvas.oPicBuf.image();
    if (img.isNull()) return;
    preview_->setPixmap(QPixmap::fromImage(img.copy(0, 0, 240, 320)));
}

void MainWindow::syncSliders()
{
    syncing_ = true;
    sldBrightness_->setValue(session_.sliders.brightness);
    sldContrast_->setValue(session_.sliders.contrast);
    sldGamma_->setValue(session_.sliders.gamma);
    syncing_ = false;
}

void MainWindow::syncCaptions()
{
    auto set = [](QAction* a, const QString& text) {
        if (!text.isEmpty()) a->setText(text);
    };
    set(lblSave_, session_.saveCaption());
    set(lblColorDepth_, session_.colourDepthCaption());
    set(lblDitherMain_, session_.ditherMainCaption());
    set(lblDitherMenu_, session_.ditherMenuCaption());
}

void MainWindow::showHelp()
{
    const QString file = helpFilePath(session_.folders().programDir);
    if (!QFileInfo(file).isFile()) {
        session_.ui().messageBox("Unable to display Help due to lack of a help file!", kAppTitle,
                                 MsgIcon::Exclamation);
        return;
    }
    if (!help_) help_ = new HelpViewer(file, this);
    help_->show();
    help_->raise();
}

void MainWindow::btnButtons_Click(int index)
{
    switch (index) {
    case 0: session_.LoadTheme(); break;
    case 1: session_.LoadMainImage(); break;
    case 2: session_.LoadMenuImage(QString(), false); break;
    case 3:
        if (!cmbElements_->currentText().isEmpty()) session_.GetColor();
        break;
    case 4: session_.resetColours(); break;
    case 5: session_.newTheme(); break;
    case 6:
        session_.theme.name = txtThemeName_->text();
        if (session_.theme.name.trimmed().isEmpty())
            session_.ui().messageBox("Please Provide a Name for the Theme!", kAppTitle,
                                     MsgIcon::Exclamation);
        else
            session_.SaveTheme();
        break;
    case 7: session_.ScreenCapture(); break;
    case 8: close(); break;
    case 9: break; // the settings dialog is not built yet
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // QuitHelp: the help window goes with the program.
    if (help_) help_->close();
    session_.formUnload();
    event->accept();
}

} // namespace orv
