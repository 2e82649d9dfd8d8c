// The main window: builds the face, wires every control to the session, and carries the
// window's own behaviour (panels, window drag, drops, shortcuts, the preview's size).
// The work of every command is the session's.
#include "app/ui/main_window.h"

#include "app/preset_answer.h"
#include "app/settings_store.h"
#include "app/shaping/shape_window.h"
#include "app/ui/about_window.h"
#include "app/ui/element_cursor.h"
#include "app/ui/face_contrast.h"
#include "app/ui/face_controls.h"
#include "app/ui/face_fit.h"
#include "app/ui/focus_ring.h"
#include "app/ui/help_viewer.h"
#include "app/ui/hover_menu.h"
#include "app/ui/legibility_line.h"
#include "app/ui/preview_view.h"
#include "app/ui/recovery_line.h"
#include "app/ui/settings_dialog.h"
#include "transfer/theme_transfer.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QUndoStack>
#include <QWindow>

namespace orv {

namespace {

// The face is laid out for the skins: 640 x 480, title strip on top, the preview well on the
// left and the controls panel on the right. At 2x the panel moves right and the face grows.
constexpr int kFaceWidth = 640;
constexpr int kFaceHeight = 480;
constexpr int kPanelLeft = 280;   // widgets from here right belong to the controls panel
constexpr int kBelowPreview = 384; // widgets below this row sit under the preview
constexpr int kTopStrip = 40;      // the part of the face that must stay on screen
constexpr int kFootBand = 440;     // the panel's dark foot band, which moves down at 2x
constexpr int kGrowDown = 300;     // how much taller the face grows at 2x
constexpr int kSkinSplitX = 285;   // skin columns left of this stretch at 2x
constexpr int kSkinTopRows = 62;   // the title strip and menu row keep their height
constexpr int kSkinFootRow = 394;  // rows from here down keep their height: the wordmark too
// The two lines under the preview (1x; they move down with it at 2x).
constexpr QRect kRecoveryLineBase(20, 388, 266, 42);
constexpr QRect kLegibilityLineBase(20, 434, 266, 24);

const char* const kButtonCaptions[10] = {
    "Open Existing Theme", "Main Image", "Menu Image", "Get Color", "Reset Colors",
    "Start New Theme", "Save Theme", "Screen Capture", "Exit", "Settings"};

const char* const kColorEntries[11] = {
    " Upper Left Titlebar", " Upper Right Titlebar", " Titlebar Text", " Today Screen Text",
    " Today Screen Lines", " Command Bar", " Navigation Tray", " Message Bar Left",
    " Message Bar Right", " Important Message Bar Left", " Important Message Bar Right"};

void setBase(QWidget* w, QRect base)
{
    w->setProperty("baseRect", base);
    w->setGeometry(base);
}

QRect placed(QRect base, int scale)
{
    const int grow = scale - 1;
    if (base.x() >= kPanelLeft)
        return base.translated(240 * grow, base.y() >= kFootBand ? kGrowDown * grow : 0);
    if (base.y() >= kBelowPreview) return base.translated(0, 320 * grow);
    return base;
}

// The skin for a larger face: the preview well and the rows of the panel stretch, the
// title strip's right end, the panel's width and the foot band keep their pixels, so the
// drawn close buttons and the panel stay under their controls.
QImage grownSkin(const QImage& skin, QSize face)
{
    if (skin.size() == face) return skin;
    const int colsIn[3] = {0, kSkinSplitX, skin.width()};
    const int colsOut[3] = {0, face.width() - (skin.width() - kSkinSplitX), face.width()};
    const int rowsIn[4] = {0, kSkinTopRows, kSkinFootRow, skin.height()};
    const int rowsOut[4] = {0, kSkinTopRows, face.height() - (skin.height() - kSkinFootRow), face.height()};
    QImage out(face, QImage::Format_RGB32);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 3; ++r)
            p.drawImage(QRect(QPoint(colsOut[c], rowsOut[r]), QPoint(colsOut[c + 1] - 1, rowsOut[r + 1] - 1)),
                        skin, QRect(QPoint(colsIn[c], rowsIn[r]), QPoint(colsIn[c + 1] - 1, rowsIn[r + 1] - 1)));
    return out;
}

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

// A face label that is part of the face: the window's own drag and hover handling see
// through it.
QLabel* makeLabel(QWidget* parent, const QString& text, const char* name, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setObjectName(name);
    setBase(l, geometry);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

HoverLabel* makeFaceLink(QWidget* parent, const QString& text, const char* name, QRect geometry)
{
    auto* l = new HoverLabel(text, parent);
    l->setObjectName(name);
    setBase(l, geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

} // namespace

MainWindow::MainWindow(EditorSession& session, QWidget* parent)
    : QWidget(parent), session_(session)
{
    setObjectName("frmTheForm");
    setMouseTracking(true);
    setAcceptDrops(true);
    setFixedSize(kFaceWidth, kFaceHeight);
    buildWidgets();
    buildMenus();
    buildShortcuts();
    buildReach();
    makeConnections();
}

MainWindow::~MainWindow()
{
    // The element cursor reads the session's theme through this window: it goes first, before
    // the children's teardown can send it a last focus or paint event.
    delete cursor_;
}

void MainWindow::buildWidgets()
{
    lblCaption_ = makeLabel(this, QString(), "lblCaption", QRect(24, 10, 420, 22));
    QFont bold = lblCaption_->font();
    bold.setBold(true);
    lblCaption_->setFont(bold);
    lblMin_ = makeFaceLink(this, "_", "lblMin", QRect(584, 8, 18, 22));
    Xlabel_ = makeFaceLink(this, "X", "Xlabel", QRect(608, 8, 18, 22));
    for (QLabel* l : {lblMin_, Xlabel_}) l->setStyleSheet("font-weight: bold; color: white;");

    preview_ = new PreviewView(this);
    setBase(preview_, QRect(QPoint(22, 62), preview_->sizeHint()));

    lblFilename_ = makeLabel(this, "Theme Name", "lblFilename", QRect(300, 52, 150, 18));
    txtThemeName_ = new ThemeNameBox(this);
    txtThemeName_->setObjectName("txtThemeName");
    setBase(txtThemeName_, QRect(300, 70, 310, 24));
    lblFilename_->setBuddy(txtThemeName_);

    cmbElements_ = new ElementList(this);
    cmbElements_->setObjectName("cmbElements");
    for (const SlotInfo& slot : kSlots)
        if (slot.element >= 0) cmbElements_->addItem(QString::fromLatin1(slot.caption));
    cmbElements_->setCurrentIndex(-1);
    setBase(cmbElements_, QRect(300, 102, 310, 24));

    sldBrightness_ = makeSlider(this, "sldBrightness");
    sldContrast_ = makeSlider(this, "sldContrast");
    sldGamma_ = makeSlider(this, "sldGamma");
    const QList<QPair<QSlider*, QString>> named = {
        {sldBrightness_, "Brightness"}, {sldContrast_, "Contrast"}, {sldGamma_, "Gamma"}};
    for (int i = 0; i < named.size(); ++i) {
        const int x = 298 + i * 52;
        // The captions sit on the light panel, above the dark band at its foot.
        setBase(named[i].first, QRect(x + 16, 134, 20, 282));
        auto* caption = makeLabel(this, named[i].second, "sliderCaption", QRect(x, 418, 52, 16));
        caption->setAlignment(Qt::AlignHCenter);
        QFont small = caption->font();
        small.setPixelSize(9);
        caption->setFont(small);
        caption->setBuddy(named[i].first);
    }

    for (int i = 0; i < 10; ++i) {
        const QRect cell(460 + (i % 2) * 78, 136 + (i / 2) * 62, 74, 56);
        auto* skin = new QPushButton(this);
        skin->setObjectName(QString("btnButtons%1").arg(i));
        skin->setToolTip(kButtonCaptions[i]);
        skin->setText(QString(kButtonCaptions[i]).replace(' ', '\n'));
        setBase(skin, cell);
        skin->setStyleSheet(
            "QPushButton { background: rgba(255,255,255,90); border: 1px solid rgba(0,0,0,110);"
            " border-radius: 6px; font-size: 11px; }"
            "QPushButton:hover { background: rgba(255,255,255,170); }"
            "QPushButton:focus { border: 2px solid rgba(0,0,0,200); }"
            "QPushButton:pressed { background: rgba(0,0,0,60); }");
        btnButtons_ << skin;
        auto* plain = new QPushButton(kButtonCaptions[i], this);
        plain->setObjectName(QString("btnButtonsXP%1").arg(i));
        plain->hide();
        btnButtonsXP_ << plain;
    }
    placePlainButtons();

    lblVersion_ = makeLabel(this, QString(), "lblVersion", QRect(300, 458, 200, 18));
    HelpLabel_ = makeFaceLink(this, "Help", "HelpLabel", QRect(22, 392, 60, 18));
    AboutLabel_ = makeFaceLink(this, "About", "AboutLabel", QRect(90, 392, 60, 18));
    // Under the preview, one above the other so both read when both show: the theme kept at
    // the last close, offered back, and the warning about text that cannot be read.
    recoveryLine_ = new RecoveryLine(session_, this);
    setBase(recoveryLine_, kRecoveryLineBase);
    setBase(new LegibilityLine(session_, this), kLegibilityLineBase);
}

// The captioned buttons stand in one column, each as wide as the widest caption needs at the
// desktop's font, so no caption is ever cut.
void MainWindow::placePlainButtons()
{
    int width = 0, height = 0;
    for (QPushButton* b : btnButtonsXP_) {
        width = std::max(width, b->sizeHint().width());
        height = std::max(height, b->sizeHint().height());
    }
    const int step = std::min(height + 4, 33);
    const int left = 460; // a wider column widens the face (fitToText), never covers a slider
    for (int i = 0; i < btnButtonsXP_.size(); ++i)
        setBase(btnButtonsXP_[i], QRect(left, 128 + i * step, width, std::min(height, step - 2)));
}

void MainWindow::buildMenus()
{
    menus_ = new HoverMenus(this, QPoint(22, 36));
    using P = MenuPanel;
    using R = OnRelease;
    auto command = [this](int i) { return [this, i] { btnButtons_Click(i); }; };

    menus_->addEntry(P::Theme, " Open Theme", "lblOpen", R::Close, command(0));
    menus_->addEntry(P::Theme, " Start  New Theme", "lblNew", R::Close, command(5));
    lblSave_ = menus_->addEntry(P::Theme, " Save Theme 256", "lblSave", R::Close, command(6));
    lblFileManager_ = menus_->addEntry(P::Theme, " Theme Transfer", "lblFileManager", R::KeepOpen,
                                       [this] { showThemeTransfer(); });
    menus_->addEntry(P::Theme, " EXIT", "lblExit", R::KeepOpen, command(8));

    menus_->addEntry(P::Image, " Load Main Image", "lblLoadMain", R::Close, command(1));
    menus_->addEntry(P::Image, " Load Menu Image", "lblLoadMenu", R::Close, command(2));
    menus_->addEntry(P::Image, " Save Main Image", "lblMain", R::Close,
                     [this] { session_.mnuSaveMainImage(); });
    menus_->addEntry(P::Image, " Save Menu Image", "lblMenu", R::Close,
                     [this] { session_.mnuSaveMenuImage(); });
    menus_->addEntry(P::Image, " Screen Capture", "lblCapture2", R::Close, command(7));
    lblDitherMain_ = menus_->addEntry(P::Image, " X Dither Main", "lblDitherMain", R::KeepOpen,
                                      [this] { session_.edit("Dither Main", [this] { session_.toggleDitherMain(); }); });
    lblDitherMenu_ = menus_->addEntry(P::Image, " X Dither Menu", "lblDitherMenu", R::KeepOpen,
                                      [this] { session_.edit("Dither Menu", [this] { session_.toggleDitherMenu(); }); });

    menus_->addEntry(P::Color, " Reset Colors", "lblColors0", R::KeepOpen, command(4));
    for (int k = 1; k <= 11; ++k) {
        menus_->addEntry(P::Color, kColorEntries[k - 1], QString("lblColors%1").arg(k), R::Close,
                         [this, k] {
                             // The list's selection runs even when it already shows the
                             // element, so its screen is up before the colour dialog opens.
                             syncing_ = true;
                             cmbElements_->setCurrentIndex(k - 1);
                             syncing_ = false;
                             session_.cmbElements_Click(k - 1);
                             session_.GetColor();
                         });
    }
    menus_->addEntry(P::Color, " Reset Sliders", "lblColors12", R::Close,
                     [this] { session_.edit("Reset Sliders", [this] { session_.resetSlidersCommand(); }); });
    lblColorDepth_ = menus_->addEntry(P::Color, " 256 Colors (click for 16M)", "lblColors13",
                                      R::KeepOpen, [this] { session_.edit("Color Depth", [this] { session_.toggleColourDepth(); }); });
    menus_->addEntry(P::Color, " Match Colors to Picture", "lblColors14", R::Close,
                     [this] { session_.edit("Match Colors to Picture", [this] { session_.matchColoursToPicture(); }); });

    // The caption's doubled ampersand shows as one; a label shows its text as it stands.
    menus_->addEntry(P::Help, " Contents & Index", "lblHelp", R::Hide, [this] { showHelp(); });
    menus_->addEntry(P::Help, " About", "lblAbout", R::Hide, [this] { showAbout(); });
}

void MainWindow::buildShortcuts()
{
    const QList<QPair<QKeySequence, int>> commands = {
        {QKeySequence::Open, 0}, {QKeySequence::New, 5}, {QKeySequence::Save, 6},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), 8}};
    for (const auto& [keys, index] : commands)
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, i = index] { btnButtons_Click(i); });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &MainWindow::showHelp);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this), &QShortcut::activated,
            &session_, &EditorSession::undo);
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        connect(new QShortcut(keys, this), &QShortcut::activated, &session_, &EditorSession::redo);
}

// Everything the mouse reaches, the keyboard reaches too: the panels open on Alt and the
// title's first letter (F10 the Theme panel), the buttons press on Return, and the preview
// takes the focus with an element cursor whose Return is a click.
void MainWindow::buildReach()
{
    FocusRing::install();
    const QList<QPair<QKeySequence, MenuPanel>> panels = {
        {QKeySequence(Qt::ALT | Qt::Key_T), MenuPanel::Theme},
        {QKeySequence(Qt::ALT | Qt::Key_I), MenuPanel::Image},
        {QKeySequence(Qt::ALT | Qt::Key_C), MenuPanel::Color},
        {QKeySequence(Qt::ALT | Qt::Key_H), MenuPanel::Help},
        {QKeySequence(Qt::Key_F10), MenuPanel::Theme}};
    for (const auto& [keys, panel] : panels)
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, p = panel] { menus_->openByKeyboard(p); });
    for (QPushButton* b : btnButtons_ + btnButtonsXP_) pressOnReturn(b);
    cursor_ = new ElementCursor(preview_, [this]() -> const Theme& { return session_.theme; });
    connect(cursor_, &ElementCursor::clicked, preview_, &PreviewView::released);
    // On a small screen the preview's menu says why Double Size is not offered.
    preview_->setDoubleSizeRefusal([this] { return doubleSizeRefusal(); });
}

void MainWindow::makeConnections()
{
    for (int i = 0; i < 10; ++i) {
        connect(btnButtons_[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });
        connect(btnButtonsXP_[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });
    }

    connect(Xlabel_, &HoverLabel::released, this, [this] { close(); });
    connect(lblMin_, &HoverLabel::released, this, [this] { showMinimized(); });
    connect(HelpLabel_, &HoverLabel::released, this, &MainWindow::showHelp);
    connect(AboutLabel_, &HoverLabel::released, this, &MainWindow::showAbout);
    connect(HelpLabel_, &HoverLabel::hovered, this, [this] { setHoverLook(HelpLabel_, true); });
    connect(AboutLabel_, &HoverLabel::hovered, this, [this] { setHoverLook(AboutLabel_, true); });

    connect(preview_, &PreviewView::released, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pixel) {
                session_.PicBufMouseUP(static_cast<int>(button), static_cast<int>(shift),
                                       pixel.x(), pixel.y());
            });
    // Moving over the preview closes an open panel, as the window background does.
    connect(preview_, &PreviewView::hovered, menus_, &HoverMenus::backgroundMoved);
    connect(preview_, &PreviewView::scaleRequested, this, &MainWindow::setPreviewScale);
    connect(preview_, &PreviewView::undoRequested, &session_, &EditorSession::undo);
    connect(preview_, &PreviewView::redoRequested, &session_, &EditorSession::redo);
    connect(preview_, &PreviewView::colourRequested, this,
            [this](QPoint pixel) { session_.editColourAt(pixel.x(), pixel.y()); });
    auto undoState = [this] {
        preview_->setUndoAvailable(session_.undoStack().canUndo(), session_.undoStack().canRedo());
    };
    connect(&session_.undoStack(), &QUndoStack::indexChanged, this, undoState);
    connect(&session_.undoStack(), &QUndoStack::cleanChanged, this, undoState);
    connect(preview_, &PreviewView::fileDropped, this,
            [this](const QString& path) { openDropped(path, true); });

    connect(cmbElements_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_ && index >= 0) session_.cmbElements_Click(index);
    });
    // Picking the element the list already shows changes no index, yet its screen must show.
    connect(cmbElements_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index == session_.selectedElement) session_.cmbElements_Click(index);
    });
    connect(txtThemeName_, &QLineEdit::textEdited, this,
            [this](const QString& text) { session_.typeThemeName(text); });
    connect(txtThemeName_, &QLineEdit::editingFinished, &session_, &EditorSession::endBurst);

    auto wireSlider = [this](QSlider* s, Slider which) {
        connect(s, &QSlider::valueChanged, this, [this, which](int v) {
            if (!syncing_)
                session_.edit("Slider", [&] { session_.sliderChanged(which, v); }, EditorSession::kMergeSlider);
        });
        // One drag is one step; the next drag is another.
        connect(s, &QSlider::sliderReleased, &session_, &EditorSession::endBurst);
    };
    wireSlider(sldBrightness_, Slider::Brightness);
    wireSlider(sldContrast_, Slider::Contrast);
    wireSlider(sldGamma_, Slider::Gamma);

    connect(&session_, &EditorSession::previewChanged, this, &MainWindow::showPreview);
    connect(&session_, &EditorSession::themeNameChanged, this, [this](const QString& name) {
        if (txtThemeName_->text() != name) static_cast<ThemeNameBox*>(txtThemeName_)->showName(name);
    });
    connect(&session_, &EditorSession::elementSelected, this, [this](int index) {
        syncing_ = true;
        cmbElements_->setCurrentIndex(index);
        syncing_ = false;
    });
    connect(&session_, &EditorSession::slidersChanged, this, &MainWindow::syncSliders);
    connect(&session_, &EditorSession::captionsChanged, this, &MainWindow::syncCaptions);
    connect(&session_, &EditorSession::modifiedChanged, this, [this](bool modified) {
        QString title = windowTitle();
        if (title.startsWith('*')) title.remove(0, 1);
        if (modified) title.prepend('*');
        setWindowTitle(title);
        lblCaption_->setText(title);
    });
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

    // A package named on the command line opens once the window shows, so that its error
    // box comes over the window and a failed open leaves the Today screen drawn.
    const QString upper = commandLine.toUpper();
    const bool opensPackage = upper.size() >= 5 && upper.endsWith("TSK");
    session_.formLoad(opensPackage ? QString() : commandLine);
    session_.state.commandLine = commandLine;
    applyAppearance();
    HelpLabel_->hide();
    AboutLabel_->hide();
    layoutFace();
    lblVersion_->setStyleSheet(session_.state.Skin == "NAKED-XP" ? "color: black;" : "color: white;");

    show();
    // H: the window's height as first laid out, stored once.
    if (GetSetting("Orvantis", "Startup", "H", "0") == "0")
        SaveSetting("Orvantis", "Startup", "H", QString::number(height() * 15));
    showPreview();
    syncCaptions();
    syncSliders();
    // Work kept at the last close is offered under the preview, never in a dialog.
    recoveryLine_->refresh();
    if (opensPackage) session_.openAtStart(commandLine);
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
    try {
        skin_ = builtinPicture(skin == "Y" ? QString("SKIN") : skin);
    } catch (const AppError&) {
        skin_ = QImage(); // an unknown skin name keeps a plain face
    }
    setWindowFlag(Qt::FramelessWindowHint, true);
    UseSkinButtons();
    paintSkin();
}

// The skin fills the face at any size; the caption and the menu titles take the text
// colour, and where needed the plate, that reads on the picture behind them.
void MainWindow::paintSkin()
{
    if (skin_.isNull()) return;
    const QImage face = grownSkin(skin_, size());
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QBrush(face));
    setAutoFillBackground(true);
    setPalette(pal);

    QList<QLabel*> onSkin = {lblCaption_};
    for (MenuPanel p : {MenuPanel::Theme, MenuPanel::Image, MenuPanel::Color, MenuPanel::Help})
        onSkin << menus_->title(p);
    for (QLabel* l : onSkin) {
        const ReadableText look = readableTextOn(face, l->geometry());
        l->setStyleSheet(QString("QLabel { color: %1; background: rgba(%2,%3,%4,%5); }")
                             .arg(look.text.name())
                             .arg(look.plate.red()).arg(look.plate.green()).arg(look.plate.blue())
                             .arg(look.plate.alpha()));
        l->setProperty("textColour", look.text);
        l->setProperty("plateColour", look.plate);
    }
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

int MainWindow::previewScale() const { return preview_->scale(); }

void MainWindow::setPreviewScale(int scale)
{
    preview_->setScale(scale);
    layoutFace();
}

void MainWindow::layoutFace()
{
    const int s = preview_->scale();
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant base = w->property("baseRect");
        if (base.isValid()) w->setGeometry(placed(base.toRect(), s));
    }
    preview_->resize(preview_->sizeHint());
    menus_->place(QPoint(22, 36));
    if (session_.state.Skin != "N") setFixedSize(kFaceWidth + 240 * (s - 1), kFaceHeight + kGrowDown * (s - 1));
    fitToText();
    paintSkin();
    shapeWindow();
    keepOnScreenAfterGrowing();
}

void MainWindow::shapeWindow()
{
    // The plain looks leave the outline as it is: a skin removed in the settings dialog
    // stays on the face, outline and all, until the next start.
    if (!skinned()) return;
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

void MainWindow::setHoverLook(QLabel* label, bool on)
{
    label->setAutoFillBackground(on);
    label->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
    label->setLineWidth(1);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    leftHeld_ = true;
    movingByHand_ = false;
    dragOrigin_ = event->globalPosition().toPoint();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    setHoverLook(HelpLabel_, false);
    setHoverLook(AboutLabel_, false);

    // The move starts only when the pointer moves with the left button held, so a quick
    // click never hands the window to the window manager after the button is already up.
    const QPoint global = event->globalPosition().toPoint();
    if (leftHeld_ && (event->buttons() & Qt::LeftButton) && global != dragOrigin_) {
        if (!movingByHand_) {
            if (windowHandle() && windowHandle()->startSystemMove()) {
                leftHeld_ = false;
            } else {
                movingByHand_ = true;
                grabOffset_ = dragOrigin_ - frameGeometry().topLeft();
            }
        }
        if (movingByHand_) {
            move(global - grabOffset_);
            keepTopStripOnScreen();
        }
        dragOrigin_ = global;
    } else if (!(event->buttons() & Qt::LeftButton)) {
        leftHeld_ = movingByHand_ = false;
    }

    menus_->backgroundMoved();
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    // Only a move made by hand is kept on screen; where the window manager put the window,
    // it stays.
    if (movingByHand_) keepTopStripOnScreen();
    leftHeld_ = movingByHand_ = false;
}

// A larger desktop font: the face grows to hold every control whole, and the menu bar
// follows its titles if the caption pushed them down.
void MainWindow::fitToText()
{
    if (session_.state.Skin == "N") return; // the compact look shows only the name box row
    const int s = preview_->scale();
    const QSize need = fitFaceToText(this, kFootBand + kGrowDown * (s - 1));
    menus_->place(QPoint(22, menus_->title(MenuPanel::Theme)->y()));
    if (need != size()) setFixedSize(need);
}

// A window that grew past the screen's edge moves back as far as it must, no further; a
// window that did not grow stays where it was put.
void MainWindow::keepOnScreenAfterGrowing()
{
    const bool grew = width() > laidOutSize_.width() || height() > laidOutSize_.height();
    laidOutSize_ = size();
    QScreen* scr = screen();
    if (!grew || !scr || !isVisible()) return;
    const QRect avail = scr->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint to = frame.topLeft();
    to.setX(std::max(avail.left(), std::min(to.x(), avail.right() + 1 - frame.width())));
    to.setY(std::max(avail.top(), std::min(to.y(), avail.bottom() + 1 - frame.height())));
    if (to != frame.topLeft()) move(to);
}

// Why Double Size cannot be offered on this screen, or an empty text when the doubled
// window fits.
QString MainWindow::doubleSizeRefusal() const
{
    const int s = preview_->scale();
    const QSize frameExtra = frameGeometry().size() - size();
    const QSize doubled = size() + QSize(240 * (2 - s), kGrowDown * (2 - s)) + frameExtra;
    const QScreen* scr = screen();
    return scr ? refusalToDouble(doubled, scr->availableGeometry().size()) : QString();
}

// The top strip holds the caption and the close label: it never ends off the screen.
void MainWindow::keepTopStripOnScreen()
{
    QScreen* scr = screen();
    if (!scr || !isVisible()) return;
    const QRect avail = scr->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint to = frame.topLeft();
    to.setY(std::clamp(to.y(), avail.top(), std::max(avail.top(), avail.bottom() - kTopStrip)));
    to.setX(std::clamp(to.x(), avail.left() - frame.width() + 2 * kTopStrip,
                       std::max(avail.left(), avail.right() - 2 * kTopStrip)));
    if (to != frame.topLeft()) move(to);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (isPackageFile(droppedFile(event->mimeData()))) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (!isPackageFile(path)) return;
    event->acceptProposedAction();
    openDropped(path, false);
}

// A package opens wherever it lands; a picture on the preview becomes the background now
// shown, through the same load and fit choice as the menu commands.
void MainWindow::openDropped(const QString& path, bool onPreview)
{
    if (isPackageFile(path)) {
        session_.openTheme(path);
        return;
    }
    if (!onPreview || !isPictureFile(path)) return;
    auto* preset = dynamic_cast<PresetOpenAnswer*>(&session_.ui());
    if (!preset) return; // without a way to hand the file over, a drop would show a dialog
    PresetOpenAnswer::Scope answer(*preset, path);
    if (session_.theme.menuEditing)
        session_.edit("Menu Image", [this] { session_.LoadMenuImage(QString(), false); });
    else
        session_.edit("Main Image", [this] { session_.LoadMainImage(); });
}

void MainWindow::showPreview()
{
    const QImage& img = session_.canvas.oPicBuf.image();
    if (img.isNull()) return;
    preview_->setScreen(img.copy(0, 0, 240, 320));
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
    auto set = [](QLabel* l, const QString& text) {
        if (!text.isEmpty()) l->setText(text);
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
    QFile readable(file);
    if (!readable.open(QIODevice::ReadOnly)) {
        session_.ui().messageBox(readable.errorString(), kAppTitle, MsgIcon::None);
        return;
    }
    if (!help_) help_ = new HelpViewer(file, this);
    help_->moveCursor(QTextCursor::Start); // the contents page heads the file
    help_->show();
    help_->raise();
}

void MainWindow::showAbout()
{
    frmAbout::showModal(session_.folders().programDir, this);
}

void MainWindow::showThemeTransfer()
{
    ThemeTransfer(session_, this, [this] {
        menus_->highlight(lblFileManager_);
        menus_->hidePanel(MenuPanel::Theme);
    });
}

void MainWindow::showSettings()
{
    // What an accepted new skin changes here, at once; the outline follows when the window
    // is next activated, as the dialog closes.
    SkinHost host;
    host.UseSkinButtons = [this] { UseSkinButtons(); };
    host.setBackground = [this](const QImage& picture) {
        skin_ = picture;
        if (!(windowFlags() & Qt::FramelessWindowHint)) {
            setWindowFlag(Qt::FramelessWindowHint, true); // hides the window: show it again
            show();
        }
        lblCaption_->show();
        lblVersion_->setStyleSheet("color: white;");
        paintSkin();
    };
    host.restoreHeight = [this](int twips) {
        if (twips > 0) setFixedHeight(twips / 15);
    };
    host.showWindowLabels = [this] {
        Xlabel_->show();
        lblMin_->show();
    };
    const QStringList owners = {session_.state.Name1, session_.state.Name2, session_.state.Name3};
    frmSettings::showModal(session_, std::move(host), this);
    // The Today screen names the owner: a new name shows at once, as a new Today Text does.
    if (owners != QStringList{session_.state.Name1, session_.state.Name2, session_.state.Name3})
        session_.redrawCurrentScreen();
}

void MainWindow::btnButtons_Click(int index)
{
    switch (index) {
    case 0: session_.openTheme(); break;
    case 1: session_.edit("Main Image", [this] { session_.LoadMainImage(); }); break;
    case 2: session_.edit("Menu Image", [this] { session_.LoadMenuImage(QString(), false); }); break;
    case 3:
        if (!cmbElements_->currentText().isEmpty()) session_.GetColor();
        break;
    case 4: session_.resetColours(); break;
    case 5: session_.newTheme(); break;
    case 6:
        // The box shows the theme's name; what was typed last belongs to the same burst.
        session_.typeThemeName(txtThemeName_->text());
        if (session_.theme.name.trimmed().isEmpty())
            session_.ui().messageBox("Please Provide a Name for the Theme!", kAppTitle,
                                     MsgIcon::Exclamation);
        else if (session_.SaveTheme())
            session_.themeSaved();
        break;
    case 7: session_.ScreenCapture(); break;
    case 8: close(); break;
    case 9: showSettings(); break;
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
