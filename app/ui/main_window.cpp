#include "app/ui/main_window.h"

#include "app/settings_store.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace orv {

namespace {

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
        if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_Space ||
            e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab || e->key() == Qt::Key_F4)
            QComboBox::keyPressEvent(e);
        else
            e->accept();
    }
};

QSlider* makeSlider(QWidget* parent, const char* name)
{
    auto* s = new QSlider(Qt::Vertical, parent);
    s->setObjectName(name);
    s->setRange(0, 1000);
    s->setValue(500);
    s->setPageStep(50);
    s->setFixedHeight(300);
    return s;
}

} // namespace

MainWindow::MainWindow(EditorSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session)
{
    setObjectName("frmTheForm");
    buildWidgets();
    buildMenus();
    makeConnections();
}

void MainWindow::buildWidgets()
{
    auto* central = new QWidget(this);
    central->setObjectName("face");
    setCentralWidget(central);
    auto* outer = new QHBoxLayout(central);

    preview_ = new QLabel(central);
    preview_->setObjectName("oPicBuf");
    preview_->setFixedSize(242, 322);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setStyleSheet("QLabel#oPicBuf { background: black; border: 1px solid black; }");
    outer->addWidget(preview_, 0, Qt::AlignTop);

    auto* side = new QVBoxLayout;
    outer->addLayout(side);

    auto* lblFilename = new QLabel("Theme Name", central);
    lblFilename->setObjectName("lblFilename");
    txtThemeName_ = new QLineEdit(central);
    txtThemeName_->setObjectName("txtThemeName");
    txtThemeName_->setMaxLength(40);
    lblFilename->setBuddy(txtThemeName_);
    side->addWidget(lblFilename);
    side->addWidget(txtThemeName_);

    cmbElements_ = new ElementList(central);
    cmbElements_->setObjectName("cmbElements");
    for (const SlotInfo& slot : kSlots)
        if (slot.element >= 0) cmbElements_->addItem(QString::fromLatin1(slot.caption));
    cmbElements_->setCurrentIndex(-1);
    side->addWidget(cmbElements_);

    auto* sliders = new QGridLayout;
    sldBrightness_ = makeSlider(central, "sldBrightness");
    sldContrast_ = makeSlider(central, "sldContrast");
    sldGamma_ = makeSlider(central, "sldGamma");
    const QList<QPair<QSlider*, const char*>> named = {
        {sldBrightness_, "Brightness"}, {sldContrast_, "Contrast"}, {sldGamma_, "Gamma"}};
    for (int i = 0; i < named.size(); ++i) {
        sliders->addWidget(named[i].first, 0, i, Qt::AlignHCenter);
        auto* caption = new QLabel(named[i].second, central);
        caption->setBuddy(named[i].first);
        sliders->addWidget(caption, 1, i, Qt::AlignHCenter);
    }
    side->addLayout(sliders);

    auto* buttons = new QGridLayout;
    for (int i = 0; i < 10; ++i) {
        auto* b = new QPushButton(kButtonCaptions[i], central);
        b->setObjectName(QString("btnButtonsXP%1").arg(i));
        btnButtonsXP_ << b;
        buttons->addWidget(b, i / 2, i % 2);
    }
    side->addLayout(buttons);

    lblVersion_ = new QLabel(central);
    lblVersion_->setObjectName("lblVersion");
    side->addWidget(lblVersion_);
    side->addStretch();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&Theme");
    file->addAction(" Open Theme", this, [this] { btnButtons_Click(0); });
    file->addAction(" Start  New Theme", this, [this] { btnButtons_Click(5); });
    lblSave_ = file->addAction(" Save Theme 256", this, [this] { btnButtons_Click(6); });
    file->addSeparator();
    file->addAction(" EXIT", this, [this] { btnButtons_Click(8); });

    QMenu* pic = menuBar()->addMenu("&Image");
    pic->addAction(" Load Main Image", this, [this] { btnButtons_Click(1); });
    pic->addAction(" Load Menu Image", this, [this] { btnButtons_Click(2); });
    pic->addAction(" Save Main Image", this, [this] { session_.mnuSaveMainImage(); });
    pic->addAction(" Save Menu Image", this, [this] { session_.mnuSaveMenuImage(); });
    pic->addAction(" Screen Capture", this, [this] { btnButtons_Click(7); });
    pic->addSeparator();
    lblDitherMain_ = pic->addAction(" X Dither Main", this, [this] { session_.toggleDitherMain(); });
    lblDitherMenu_ = pic->addAction(" X Dither Menu", this, [this] { session_.toggleDitherMenu(); });

    QMenu* colors = menuBar()->addMenu("&Color");
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

    menuBar()->addMenu("&Help");
}

void MainWindow::makeConnections()
{
    for (int i = 0; i < btnButtonsXP_.size(); ++i)
        connect(btnButtonsXP_[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });

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

void MainWindow::start(const QString& commandLine)
{
    applySkin();
    const QString version = QString("%1").arg(kVersion);
    setWindowTitle(kAppTitle + "  Version " + version);
    lblVersion_->setText("Orvantis " + version);
    session_.formLoad(commandLine);
    show();
    // H: the window's height as first laid out, stored once.
    if (GetSetting("Orvantis", "Startup", "H", "0") == "0")
        SaveSetting("Orvantis", "Startup", "H", QString::number(height() * 15));
    showPreview();
    syncCaptions();
    syncSliders();
}

void MainWindow::applySkin()
{
    const QString skin = session_.state.Skin;
    if (skin == "N" || skin == "NAKED-XP") return;
    QImage picture;
    try {
        picture = builtinPicture(skin == "Y" ? QString("SKIN") : skin);
    } catch (const AppError&) {
        return; // an unknown skin name keeps the plain face
    }
    QPalette pal = centralWidget()->palette();
    pal.setBrush(QPalette::Window, QBrush(picture));
    centralWidget()->setAutoFillBackground(true);
    centralWidget()->setPalette(pal);
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
    case 9: break;
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    session_.formUnload();
    event->accept();
}

} // namespace orv
