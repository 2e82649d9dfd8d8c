#include "transfer/file_manager_window.h"

#include "devicectl/client/transfer_names.h"
#include "transfer/replace_question.h"
#include "transfer/trash.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

namespace orv {

namespace {

FileManagerWindow* gFileManager = nullptr;

const QString kZephrin = QStringLiteral("Zephrin");

// A hostile or looping handheld listing must not run away with the window: folders named
// like packages are followed this deep, and this many entries are read from one folder.
constexpr int kMaxFolderDepth = 8;
constexpr int kMaxFolderEntries = 10000;

// The busy pointer of a button action; boxes turn it off first, whatever way the action ends
// it is off afterwards.
class BusyPointer {
public:
    explicit BusyPointer(UserInteraction& ui) : ui_(ui) { on(); }
    ~BusyPointer() { off(); }
    void on()
    {
        if (!busy_) ui_.setBusy(true);
        busy_ = true;
    }
    void off()
    {
        if (busy_) ui_.setBusy(false);
        busy_ = false;
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    UserInteraction& ui_;
    bool busy_ = false;
};

// The window is drawn in twips; one pixel is 15 of them, times the font's own scale.
struct Twips {
    double scale;
    int operator()(int twips) const { return qRound(twips / 15.0 * scale); }
    QRect rect(int left, int top, int width, int height) const
    {
        return QRect((*this)(left), (*this)(top), (*this)(width), (*this)(height));
    }
};

QString lastErrorText(int n) { return " Last Error: " + QString::number(n); }

// Only a file with other content is worth a question; sizes tell most cases apart, and
// `same` compares the contents when they do not.
ReplaceQuestion::Answer askBeforeReplacing(ReplaceQuestion& question, BusyPointer& busy, const QString& name,
                                           bool sameSize, const std::function<bool()>& same)
{
    if (sameSize && same()) return ReplaceQuestion::Answer::Replace;
    busy.off();
    const ReplaceQuestion::Answer answer = question.ask(name);
    busy.on();
    return answer;
}

} // namespace

FileManagerWindow::FileManagerWindow(EditorSession& session, QWidget* parent)
    : QDialog(parent), session_(session), ui_(session.ui())
{
    setObjectName("frmFileManager");
    setWindowTitle("Orvantis Theme Transfer");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    gFileManager = this;
    buildWidgets();
    makeConnections();
}

FileManagerWindow::~FileManagerWindow()
{
    if (gFileManager == this) gFileManager = nullptr;
}

FileManagerWindow* FileManagerWindow::instance() { return gFileManager; }

void FileManagerWindow::buildWidgets()
{
    QFont arial("Arial");
    arial.setStyleHint(QFont::SansSerif);
    arial.setPointSizeF(font().pointSizeF());
    setFont(arial);
    // Laid out at 15 twips a pixel, grown evenly when the desktop's font needs more room
    // than the buttons were drawn for.
    const QFontMetrics fm(arial);
    const double scale = std::max({1.0, (fm.horizontalAdvance("Delete Theme(s) on PPC") + 14) / 133.0,
                                   (fm.height() + 8) / 22.0});
    const Twips tw{scale};
    setFixedSize(tw(6090), tw(4515));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    setPalette(pal);

    const struct { int index; int top; const char* caption; } buttons[] = {
        {1, 240, "Send Themes to PC"}, {4, 630, "Delete Theme(s) on PPC"},
        {2, 1125, "Send Theme(s) to PPC"}, {5, 1515, "Delete Theme(s) on PC"}, {3, 2025, "Exit"}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(QString("btnButtons%1").arg(b.index));
        button->setGeometry(tw.rect(195, b.top, 2000, 330));
        button->setAutoDefault(false);
        btnButtons_[b.index] = button;
    }
    for (const auto& [name, top] : {std::pair{"Line1", 1035}, std::pair{"Line2", 1935}}) {
        auto* line = new QFrame(this);
        line->setObjectName(name);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(tw(105), tw(top) - 1, tw(2265) - tw(105), 3);
    }

    auto* label1 = new QLabel("Themes on PocketPC", this);
    label1->setObjectName("Label1");
    label1->move(tw(2865), tw(30));
    // The caption over the PC list names the folder copies go to, whatever is highlighted in
    // the folder list.
    label3_ = new QLabel("Themes on PC", this);
    label3_->setObjectName("Label3");
    label3_->setGeometry(tw(2445), tw(2250), tw(3540), tw(240));
    label3_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label3_->setTextFormat(Qt::PlainText);

    lstFiles_ = new QListWidget(this);
    lstFiles_->setObjectName("lstFiles");
    lstFiles_->setGeometry(tw.rect(2445, 270, 3540, 1920));
    lstLocalFiles_ = new QListWidget(this);
    lstLocalFiles_->setObjectName("lstLocalFiles");
    lstLocalFiles_->setGeometry(tw.rect(2445, 2490, 3540, 1920));
    for (QListWidget* list : {lstFiles_, lstLocalFiles_}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setUniformItemSizes(true);
    }

    lstDrives_ = new QComboBox(this);
    lstDrives_->setObjectName("lstDrives");
    lstDrives_->setGeometry(tw(90), tw(2505), tw(2280), lstDrives_->sizeHint().height());
    lstDirs_ = new QTreeWidget(this);
    lstDirs_->setObjectName("lstDirs");
    lstDirs_->setGeometry(tw.rect(90, 2880, 2265, 1530));
    lstDirs_->setHeaderHidden(true);
    lstDirs_->setRootIsDecorated(false);
    lstDirs_->setIndentation(fm.averageCharWidth());
    lstDirs_->setItemsExpandable(false);
    // The chain is always open: no expand marks beside it.
    lstDirs_->setStyleSheet("QTreeView::branch { image: none; }");

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setInterval(1000);
    Timer1_->setSingleShot(true);

    setTabOrder(btnButtons_[1], btnButtons_[4]);
    setTabOrder(btnButtons_[4], btnButtons_[2]);
    setTabOrder(btnButtons_[2], btnButtons_[5]);
    setTabOrder(btnButtons_[5], btnButtons_[3]);
    setTabOrder(btnButtons_[3], lstFiles_);
    setTabOrder(lstFiles_, lstLocalFiles_);
    setTabOrder(lstLocalFiles_, lstDirs_);
    setTabOrder(lstDirs_, lstDrives_);
}

void FileManagerWindow::makeConnections()
{
    for (int i = 1; i <= 5; ++i)
        connect(btnButtons_[i], &QPushButton::clicked, this, [this, i] { btnButtons_Click(i); });
    connect(Timer1_, &QTimer::timeout, this, &FileManagerWindow::Timer1_Timer);
    connect(lstDrives_, &QComboBox::activated, this, &FileManagerWindow::setDrive);
    connect(lstDirs_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        // A folder that vanished since the list was drawn leaves the list where it was.
        const QString dir = item->data(0, Qt::UserRole).toString();
        if (QFileInfo(dir).isDir()) setFolder(dir);
    });
}

MsgResult FileManagerWindow::box(const QString& text, const QString& title, MsgIcon icon)
{
    return ui_.messageBox(text, title, icon, MsgButtons::Ok);
}

cradlelink::ControlHost& FileManagerWindow::rapi()
{
    if (!UCRapi1_) throw AppError(91, "Orvantis", "Object variable or With block variable not set");
    return *UCRapi1_;
}

void FileManagerWindow::disconnectQuietly()
{
    try {
        rapi().DisconnectRapi();
    } catch (const AppError&) {
        // The connection is gone either way; the action's own box has told the user.
    }
}

// ---- the PC side -----------------------------------------------------------------------

bool FileManagerWindow::Form_Load()
{
    try {
        const QString tskPath = session_.transferFolder();
        UCRapi1_ = cradlelink::ControlHost::load(cradlelink::locateLibrary(session_.folders().programDir));
        if (!UCRapi1_) throw AppError(429, "Cradlelink", "ActiveX component can't create object");
        UCRapi1_->setMessageHandler([this](const QString& text, const QString& title) {
            ui_.messageBox(text, title, MsgIcon::None, MsgButtons::Ok);
        });
        drives_ = pickableDrives();
        lstDrives_->clear();
        for (const Drive& d : drives_) lstDrives_->addItem(d.label);
        setFolder(tskPath);
        lstDrives_->setCurrentIndex(driveIndexOf(drives_, folder_));
        Timer1_->start();
        return true;
    } catch (const AppError& e) {
        box("Error in FileManager Load: " + e.description(), kAppTitle, MsgIcon::Critical);
        close();
        return false;
    }
}

void FileManagerWindow::setDrive(int index)
{
    if (index < 0 || index >= drives_.size()) return;
    try {
        setFolder(drives_[index].root);
    } catch (const AppError& e) {
        // A medium taken out since the list was drawn: say so and stay where we were.
        session_.ShowErrorBox("lstDrives_Change", e);
        lstDrives_->setCurrentIndex(driveIndexOf(drives_, folder_));
    }
}

void FileManagerWindow::setFolder(const QString& dir)
{
    const QFileInfo info(dir);
    if (!info.isDir()) throw AppError(76, "Orvantis", "Path not found");
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    const QString caption = "Themes on PC: " + QDir::toNativeSeparators(folder_);
    label3_->setText(label3_->fontMetrics().elidedText(caption, Qt::ElideMiddle, label3_->width()));
    label3_->setToolTip(folder_);
    fillFolderList();
    refreshLocalFiles();
}

void FileManagerWindow::fillFolderList()
{
    // As the classic folder list draws it: the chain of folders from the drive's root down
    // to the chosen one, open, and below it the chosen folder's own subfolders.
    lstDirs_->clear();
    const QStyle* st = style();
    const int d = driveIndexOf(drives_, folder_);
    QString path = d >= 0 ? drives_[d].root : QStringLiteral("/");
    QStringList chain{path};
    const QString rest = folder_.mid(path.size());
    for (const QString& part : rest.split('/', Qt::SkipEmptyParts)) {
        path = path.endsWith('/') ? path + part : path + '/' + part;
        chain << path;
    }
    QTreeWidgetItem* parent = nullptr;
    for (const QString& p : chain) {
        const QString name = p == "/" ? p : QFileInfo(p).fileName();
        auto* item = parent ? new QTreeWidgetItem(parent, {name}) : new QTreeWidgetItem(lstDirs_, {name});
        item->setData(0, Qt::UserRole, p);
        item->setIcon(0, st->standardIcon(QStyle::SP_DirOpenIcon));
        parent = item;
    }
    const QDir dir(folder_);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QTreeWidgetItem(parent, {sub});
        item->setData(0, Qt::UserRole, dir.filePath(sub));
        item->setIcon(0, st->standardIcon(QStyle::SP_DirIcon));
    }
    lstDirs_->expandAll();
    lstDirs_->setCurrentItem(parent);
    lstDirs_->scrollToItem(parent);
}

void FileManagerWindow::refreshLocalFiles()
{
    lstLocalFiles_->clear();
    const QDir dir(folder_, "*.tsk", QDir::Name | QDir::IgnoreCase, QDir::Files);
    lstLocalFiles_->addItems(dir.entryList());
}

// ---- the handheld side ------------------------------------------------------------------

void FileManagerWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void FileManagerWindow::Form_Activate()
{
    if (!initialised_) Timer1_->start();
}

void FileManagerWindow::Timer1_Timer()
{
    BusyPointer busy(ui_);
    initialised_ = true;
    if (!DeviceListing()) {
        for (int i : {1, 2, 4, 5}) btnButtons_[i]->setEnabled(false);
    }
    busy.off();
    Timer1_->stop();
}

bool FileManagerWindow::DeviceListing()
{
    try {
        cradlelink::ControlHost& r = rapi();
        if (r.ConnectRapi() != 0) {
            box("Error Connection to PPC!", kZephrin, MsgIcon::Critical);
            r.DisconnectRapi();
            return false;
        }
        // The connection start is accepted at once; only a first search shows whether the
        // handheld really answers.
        r.setPPCSearchPath("\\windows\\*.exe");
        if (r.FindFirstFile() == -1) {
            box("Unable to connect! Make sure ActiveSync is working!", kAppTitle, MsgIcon::Exclamation);
            showMissingDeviceFolder();
            r.DisconnectRapi();
            return false;
        }
        lstFiles_->clear();
        for (const QString& folder : kDeviceFolders) listDeviceFolder(folder, 0);
        r.DisconnectRapi();
        return true;
    } catch (const AppError& e) {
        session_.ShowErrorBox("DeviceListing", e);
        disconnectQuietly();
        return false;
    }
}

void FileManagerWindow::showMissingDeviceFolder()
{
    // Without a folder standing for the handheld nothing here can work: say where it was
    // looked for and how to make one, as a line that cannot be selected.
    const QString folder = deviceFolderFromEnvironment();
    if (QFileInfo(folder).isDir()) return;
    lstFiles_->clear();
    auto* line = new QListWidgetItem(missingDeviceFolderHint(folder), lstFiles_);
    line->setFlags(Qt::NoItemFlags);
}

void FileManagerWindow::listDeviceFolder(const QString& folder, int depth)
{
    // The control holds one search at a time, so the whole folder is read before any
    // package-named folder in it is searched; its entries still come before it in the list.
    struct Entry {
        QString name;
        int attributes;
    };
    QList<Entry> entries;
    cradlelink::ControlHost& r = rapi();
    r.setPPCSearchPath(folder + "*.tsk");
    if (r.FindFirstFile() == -1)
        r.LastError();
    else
        entries.append({r.PPCFoundFile(), r.Attributes()});
    while (entries.size() < kMaxFolderEntries && r.FindNextFile() != 0)
        entries.append({r.PPCFoundFile(), r.Attributes()});

    for (const Entry& e : entries) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if ((e.attributes & KFILE_ATTRIBUTE_DIRECTORY) && depth < kMaxFolderDepth && isPlainFileName(e.name))
            listDeviceFolder(folder + e.name + "\\", depth + 1);
        lstFiles_->addItem(folder + e.name);
    }
}

// ---- the buttons --------------------------------------------------------------------------

void FileManagerWindow::btnButtons_Click(int index)
{
    switch (index) {
    case 1: sendThemesToPC(); break;
    case 2: sendThemesToPPC(); break;
    case 3: close(); break;
    case 4: deleteThemesOnPPC(); break;
    case 5: deleteThemesOnPC(); break;
    default: break;
    }
}

void FileManagerWindow::sendThemesToPC()
{
    if (lstFiles_->selectedItems().isEmpty()) return;
    BusyPointer busy(ui_);
    ReplaceQuestion replace(ui_);
    try {
        cradlelink::ControlHost& r = rapi();
        if (!connectForAction(r, [&] { busy.off(); })) return;
        for (int i = 0; i < lstFiles_->count(); ++i) {
            QListWidgetItem* item = lstFiles_->item(i);
            if (!item->isSelected()) continue;
            const QString devicePath = item->text();
            // The listing is the handheld's word: a name that would land outside the chosen
            // folder, on the folder itself or as a hidden file is left alone and stays selected.
            const QString name = pcNameOfDevicePath(devicePath);
            if (name.isEmpty()) {
                busy.off();
                box(kNotCopiedText + devicePath, kAppTitle, MsgIcon::Exclamation);
                busy.on();
                continue;
            }
            const LONG size = r.GetPPCFileSize(devicePath);
            if (size > 0) {
                const QString target = folder_ + '/' + name;
                auto answer = ReplaceQuestion::Answer::Replace;
                if (const QFileInfo existing(target); existing.exists())
                    answer = askBeforeReplacing(replace, busy, name, existing.size() == size,
                                                [&] { return deviceFileEquals(devicePath, target); });
                if (answer == ReplaceQuestion::Answer::Stop) break;
                if (answer == ReplaceQuestion::Answer::Skip) continue;
                r.setPCFileNameToWrite(target);
                r.setPPCFileNameToRead(devicePath);
                if (!r.TransferFileFromPPC()) break;
            }
            item->setSelected(false);
            refreshLocalFiles();
        }
        r.DisconnectRapi();
    } catch (const AppError& e) {
        busy.off();
        box("Error In GetPPCFile! Error: " + e.description(), kAppTitle, MsgIcon::Critical);
        disconnectQuietly();
    }
}

bool FileManagerWindow::deviceFileEquals(const QString& devicePath, const QString& pcFile)
{
    // The control reads device files only by copying them: a private copy is compared.
    QTemporaryDir scratch;
    if (!scratch.isValid()) return false;
    const QString copy = scratch.filePath("compare.tsk");
    cradlelink::ControlHost& r = rapi();
    r.setPCFileNameToWrite(copy);
    r.setPPCFileNameToRead(devicePath);
    try {
        if (!r.TransferFileFromPPC()) return false;
    } catch (const AppError&) {
        return false;
    }
    return sameContent(copy, pcFile);
}

bool FileManagerWindow::connectForAction(cradlelink::ControlHost& r,
                                         const std::function<void()>& pointerOff)
{
    if (r.ConnectRapi() == 0) return true;
    const int n = r.LastError();
    pointerOff();
    box("Error Connection to PPC!" + lastErrorText(n), kZephrin, MsgIcon::Critical);
    r.DisconnectRapi();
    return false;
}

void FileManagerWindow::sendThemesToPPC()
{
    BusyPointer busy(ui_);
    ReplaceQuestion replace(ui_);
    try {
        cradlelink::ControlHost& r = rapi();
        if (!connectForAction(r, [&] { busy.off(); })) return;
        for (int i = 0; i < lstLocalFiles_->count(); ++i) {
            QListWidgetItem* item = lstLocalFiles_->item(i);
            if (!item->isSelected()) continue;
            const QString name = item->text();
            // A backslash in a PC name would reach into another folder of the handheld.
            if (!isPlainFileName(name)) {
                busy.off();
                box(kNotSentText + name, kAppTitle, MsgIcon::Exclamation);
                busy.on();
                continue;
            }
            const QString source = folder_ + '/' + name;
            const QString devicePath = kDeviceInbox + name;
            if (const LONG onDevice = r.GetPPCFileSize(devicePath); onDevice > 0) {
                const auto answer = askBeforeReplacing(replace, busy, name, QFileInfo(source).size() == onDevice,
                                                       [&] { return deviceFileEquals(devicePath, source); });
                if (answer == ReplaceQuestion::Answer::Stop) break;
                if (answer == ReplaceQuestion::Answer::Skip) continue;
            }
            r.setPCFileNameToRead(source);
            r.setPPCFileNameToWrite(devicePath);
            if (r.TransferFileToPPC()) {
                item->setSelected(false);
                continue;
            }
            busy.off();
            const int n = r.LastError();
            r.DisconnectRapi();
            box("Error Sending Themes to PPC!" + lastErrorText(n), kZephrin, MsgIcon::Critical);
            return;
        }
        r.DisconnectRapi();
    } catch (const AppError& e) {
        busy.off();
        box("Error Sending Themes to PPC! Error: " + e.description(), kAppTitle, MsgIcon::Critical);
        disconnectQuietly();
        return;
    }
    DeviceListing();
}

void FileManagerWindow::deleteThemesOnPPC()
{
    BusyPointer busy(ui_);
    try {
        cradlelink::ControlHost& r = rapi();
        if (!connectForAction(r, [&] { busy.off(); })) return;
        for (int i = 0; i < lstFiles_->count(); ++i) {
            QListWidgetItem* item = lstFiles_->item(i);
            if (!item->isSelected()) continue;
            r.setPPCFileToDelete(item->text());
            r.DeletePPCFile(); // true whether or not the file went; the new listing tells
        }
        DeviceListing();
        r.DisconnectRapi();
    } catch (const AppError&) {
        busy.off();
        box("Error Deleting PPC File!", kAppTitle, MsgIcon::Critical);
        disconnectQuietly();
    }
}

void FileManagerWindow::deleteThemesOnPC()
{
    BusyPointer busy(ui_);
    try {
        for (int i = 0; i < lstLocalFiles_->count(); ++i) {
            const QListWidgetItem* item = lstLocalFiles_->item(i);
            if (item->isSelected()) discardFile(folder_ + '/' + item->text());
        }
        refreshLocalFiles();
    } catch (const AppError& e) {
        busy.off();
        box("Error Deleting Local Themes! Error: " + e.description(), kAppTitle, MsgIcon::Critical);
        refreshLocalFiles();
    }
}

} // namespace orv
