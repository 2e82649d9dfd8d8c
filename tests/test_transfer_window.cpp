// The theme transfer window driven as a user drives it, against a handheld made of folders
// and, for the failures, the fault-injecting device link.
#include "device_test_kit.h"
#include "support/session_fixture.h"
#include "transfer/file_manager_window.h"
#include "transfer/theme_transfer.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace orv::test {

namespace {

const QByteArray faultLibrary = QByteArray(ORV_BINARY_DIR) + "/testlibs/librapi_faulty.so";
const QString kTitle = "Orvantis by Zephrin";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList texts(const QListWidget* list, bool selectedOnly = false)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (!selectedOnly || list->item(i)->isSelected()) out << list->item(i)->text();
    return out;
}

void select(QListWidget* list, const QStringList& items)
{
    for (const QString& text : items) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        found.first()->setSelected(true);
    }
}

struct Expected {
    QString text, title;
    MsgIcon icon;
};

// Every box of the window has an OK button only.
void expectBoxes(const std::vector<RecordedBox>& boxes, const std::vector<Expected>& expected)
{
    ASSERT_EQ(boxes.size(), expected.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, expected[i].text) << i;
        EXPECT_EQ(boxes[i].title, expected[i].title) << i;
        EXPECT_EQ(boxes[i].icon, expected[i].icon) << i;
        EXPECT_EQ(boxes[i].buttons, MsgButtons::Ok) << i;
    }
}

} // namespace

class TransferWindow : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        qputenv("ORVANTIS_DEVICE_ROOT", device.path().toUtf8());
        QDir(device.path()).mkpath("My Documents");
        writeFile(onDevice("windows/pword.exe"), "MZ");
        session->state.TSKPath = pc.path();
    }
    void TearDown() override
    {
        delete window.data();
        qunsetenv("ORVANTIS_DEVICE_ROOT");
        qunsetenv("ORVANTIS_RAPI_LIBRARY");
        EXPECT_EQ(ui.busyOn, ui.busyOff);
    }

    QString onDevice(const QString& relative) const { return device.path() + '/' + relative; }
    QString onPC(const QString& name) const { return pc.path() + '/' + name; }

    // Form_Load, then the timer's tick without waiting for it.
    void open()
    {
        window = new FileManagerWindow(*session);
        ASSERT_TRUE(window->Form_Load());
        auto* timer = window->findChild<QTimer*>("Timer1");
        EXPECT_TRUE(timer->isActive() && timer->isSingleShot() && timer->interval() == 1000);
        window->Timer1_Timer();
        EXPECT_FALSE(timer->isActive());
    }
    QListWidget* lstFiles() { return window->findChild<QListWidget*>("lstFiles"); }
    QListWidget* lstLocalFiles() { return window->findChild<QListWidget*>("lstLocalFiles"); }
    QPushButton* button(int i) { return window->findChild<QPushButton*>(QString("btnButtons%1").arg(i)); }
    void click(int i) { QTest::mouseClick(button(i), Qt::LeftButton); }

    QTemporaryDir device, pc;
    QPointer<FileManagerWindow> window;
};

TEST_F(TransferWindow, WithoutAHandheldOnlyExitStaysUsable)
{
    qputenv("ORVANTIS_DEVICE_ROOT", onDevice("unplugged").toUtf8());
    open();
    expectBoxes(ui.boxes, {{"Unable to connect! Make sure ActiveSync is working!", kTitle, MsgIcon::Exclamation}});
    for (int i : {1, 2, 4, 5}) EXPECT_FALSE(button(i)->isEnabled()) << i;
    EXPECT_TRUE(button(3)->isEnabled());
    EXPECT_TRUE(window->initialised());
}

TEST_F(TransferWindow, ListsMyDocumentsFirstAndKeepsEntriesAfterAPackageNamedFolder)
{
    for (const char* name : {"My Documents/alpha.tsk", "My Documents/nested.tsk/inner.tsk",
                             "My Documents/zulu.tsk", "My Documents/notes.txt", "windows/bravo.tsk"})
        writeFile(onDevice(name), "x");
    open();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts(lstFiles()), QStringList({"\\My Documents\\alpha.tsk", "\\My Documents\\nested.tsk\\inner.tsk",
                                              "\\My Documents\\nested.tsk", "\\My Documents\\zulu.tsk",
                                              "\\windows\\bravo.tsk"}));
}

TEST_F(TransferWindow, PCSideFollowsTheFolderAndDriveLists)
{
    for (const char* name : {"one.tsk", "TWO.TSK", "three.txt", "more/inner.tsk"}) writeFile(onPC(name), "x");
    open();
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"one.tsk", "TWO.TSK"}));
    auto* dirs = window->findChild<QTreeWidget*>("lstDirs");
    QTreeWidgetItem* current = dirs->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->data(0, Qt::UserRole).toString(), QDir::cleanPath(pc.path()));
    // The chain from the drive's root down to the folder, each under the last.
    int depth = 0;
    for (QTreeWidgetItem* up = current; up->parent(); up = up->parent()) ++depth;
    EXPECT_EQ(depth, QDir::cleanPath(pc.path()).count('/'));
    ASSERT_EQ(current->childCount(), 1);

    emit dirs->itemActivated(current->child(0), 0);
    EXPECT_EQ(window->folder(), QDir::cleanPath(pc.path()) + "/more");
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"inner.tsk"}));

    auto* drives = window->findChild<QComboBox*>("lstDrives");
    ASSERT_EQ(drives->itemText(0), "/  [root]");
    emit drives->activated(0);
    EXPECT_EQ(window->folder(), "/");
    EXPECT_EQ(dirs->currentItem()->data(0, Qt::UserRole).toString(), "/");
}

TEST_F(TransferWindow, AnEmptyTSKPathStartsInThePackageFolder)
{
    session->state.TSKPath.clear();
    QDir().mkpath(session->folders().tsk());
    open();
    EXPECT_EQ(session->state.TSKPath, session->folders().tsk());
    EXPECT_EQ(window->folder(), session->folders().tsk());
}

TEST_F(TransferWindow, SendToPCCopiesPackagesAndSkipsEmptyOnes)
{
    writeFile(onDevice("My Documents/alpha.tsk"), "alpha bytes");
    writeFile(onDevice("My Documents/empty.tsk"), "");
    open();
    select(lstFiles(), {"\\My Documents\\alpha.tsk", "\\My Documents\\empty.tsk"});
    click(1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(readFile(onPC("alpha.tsk")), "alpha bytes");
    EXPECT_FALSE(QFileInfo::exists(onPC("empty.tsk")));
    EXPECT_TRUE(texts(lstFiles(), true).isEmpty());
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"alpha.tsk"}));
}

TEST_F(TransferWindow, SendToPCWithNothingSelectedDoesNotConnect)
{
    // A control without its device link fails any connection with a box: none may come.
    qputenv("ORVANTIS_RAPI_LIBRARY", onDevice("missing.so").toUtf8());
    open();
    lstFiles()->addItem("\\My Documents\\alpha.tsk");
    ui.boxes.clear();
    window->btnButtons_Click(1);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TransferWindow, HandheldNamesThatAreNoFileNamesNeverBecomePCPaths)
{
    qputenv("ORVANTIS_RAPI_LIBRARY", faultLibrary);
    FaultSwitches faults;
    const std::u16string names[] = {u"", u".", u"..", u"sub/alpha.tsk"};
    std::vector<const WCHAR*> units;
    std::vector<int> lengths;
    for (const auto& n : names) {
        units.push_back(n.c_str());
        lengths.push_back(int(n.size()));
    }
    faults.listing(units.data(), lengths.data(), int(units.size()));
    writeFile(onDevice("My Documents/sub/alpha.tsk"), "a");
    open();
    const QStringList hostile = {"\\My Documents\\", "\\My Documents\\.", "\\My Documents\\..",
                                 "\\My Documents\\sub/alpha.tsk"};
    select(lstFiles(), hostile);
    click(1);
    std::vector<Expected> expected;
    for (const QString& item : hostile)
        expected.push_back({"Not copied, the name on the PocketPC is no file name: " + item, kTitle,
                            MsgIcon::Exclamation});
    expectBoxes(ui.boxes, expected);
    EXPECT_EQ(texts(lstFiles(), true), hostile);
    EXPECT_EQ(QDir(pc.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(TransferWindow, AReadFailingPartWayEndsSendToPC)
{
    qputenv("ORVANTIS_RAPI_LIBRARY", faultLibrary);
    FaultSwitches faults;
    writeFile(onDevice("My Documents/alpha.tsk"), QByteArray(4000, 'a'));
    writeFile(onDevice("My Documents/bravo.tsk"), "b");
    open();
    faults.set("read_fail_after", 0);
    const QStringList both = {"\\My Documents\\alpha.tsk", "\\My Documents\\bravo.tsk"};
    select(lstFiles(), both);
    click(1);
    expectBoxes(ui.boxes, {{"Error reading from PPC", "Cradlelink", MsgIcon::None}});
    EXPECT_EQ(texts(lstFiles(), true), both);
    EXPECT_FALSE(QFileInfo::exists(onPC("bravo.tsk")));
}

TEST_F(TransferWindow, SendToPPCLandsInMyDocumentsAndIsListed)
{
    writeFile(onPC("local.tsk"), "local bytes");
    writeFile(onPC("other.tsk"), "other");
    open();
    select(lstLocalFiles(), {"local.tsk"});
    click(2);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(readFile(onDevice("My Documents/local.tsk")), "local bytes");
    EXPECT_FALSE(QFileInfo::exists(onDevice("My Documents/other.tsk")));
    EXPECT_EQ(texts(lstFiles()), QStringList({"\\My Documents\\local.tsk"}));
    EXPECT_TRUE(texts(lstLocalFiles(), true).isEmpty());
}

TEST_F(TransferWindow, AFailedSendToPPCShowsTheControlsBoxThenTheWindows)
{
    writeFile(onPC("local.tsk"), "l");
    QDir(device.path()).mkpath("My Documents/local.tsk"); // a folder where the copy should go
    open();
    select(lstLocalFiles(), {"local.tsk"});
    click(2);
    expectBoxes(ui.boxes, {{"Unable to open WinCE file", "Cradlelink", MsgIcon::None},
                           {"Error Sending Themes to PPC! Last Error: 5", "Zephrin", MsgIcon::Critical}});
    EXPECT_EQ(texts(lstLocalFiles(), true), QStringList({"local.tsk"}));
}

TEST_F(TransferWindow, SendToPPCReportsAPackageThatVanishedAndStops)
{
    writeFile(onPC("gone.tsk"), "g");
    writeFile(onPC("kept.tsk"), "k");
    open();
    select(lstLocalFiles(), {"gone.tsk", "kept.tsk"});
    QFile::remove(onPC("gone.tsk"));
    click(2);
    expectBoxes(ui.boxes, {{"Error Sending Themes to PPC! Error: File not found", kTitle, MsgIcon::Critical}});
    EXPECT_FALSE(QFileInfo::exists(onDevice("My Documents/kept.tsk")));
}

TEST_F(TransferWindow, ErrorsOfTheControlEndEachActionWithItsBox)
{
    // Without its device link the control fails every call with its own error.
    qputenv("ORVANTIS_RAPI_LIBRARY", onDevice("missing.so").toUtf8());
    writeFile(onPC("local.tsk"), "l");
    open();
    expectBoxes(ui.boxes, {{"Error: Error in loading DLL (DeviceListing)", kTitle, MsgIcon::Critical}});
    const struct {
        int button;
        const char* text;
    } rows[] = {{1, "Error In GetPPCFile! Error: Error in loading DLL"},
                {2, "Error Sending Themes to PPC! Error: Error in loading DLL"},
                {4, "Error Deleting PPC File!"}};
    lstFiles()->addItem("\\My Documents\\alpha.tsk");
    select(lstFiles(), {"\\My Documents\\alpha.tsk"});
    select(lstLocalFiles(), {"local.tsk"});
    for (const auto& row : rows) {
        ui.boxes.clear();
        window->btnButtons_Click(row.button);
        expectBoxes(ui.boxes, {{row.text, kTitle, MsgIcon::Critical}});
    }
}

TEST_F(TransferWindow, DeleteOnPPCRemovesTheSelectedPackagesWithoutAQuestion)
{
    for (const char* name : {"My Documents/alpha.tsk", "My Documents/zulu.tsk", "windows/bravo.tsk"})
        writeFile(onDevice(name), "x");
    open();
    select(lstFiles(), {"\\My Documents\\alpha.tsk", "\\windows\\bravo.tsk"});
    click(4);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(onDevice("My Documents/alpha.tsk")));
    EXPECT_EQ(texts(lstFiles()), QStringList({"\\My Documents\\zulu.tsk"}));
}

TEST_F(TransferWindow, DeleteOnPCMovesTheSelectedFilesToTheTrash)
{
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    for (const char* name : {"one.tsk", "two.tsk", "three.tsk"}) writeFile(onPC(name), name);
    open();
    select(lstLocalFiles(), {"one.tsk", "two.tsk"});
    click(5);
    qputenv("XDG_DATA_HOME", oldData);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"three.tsk"}));
    EXPECT_EQ(readFile(data.path() + "/Trash/files/one.tsk"), "one.tsk");
    EXPECT_EQ(readFile(data.path() + "/Trash/files/two.tsk"), "two.tsk");
}

TEST_F(TransferWindow, DeletingAPackageThatIsAlreadyGoneIsReported)
{
    writeFile(onPC("one.tsk"), "1");
    writeFile(onPC("two.tsk"), "2");
    open();
    select(lstLocalFiles(), {"one.tsk"});
    QFile::remove(onPC("one.tsk"));
    click(5);
    expectBoxes(ui.boxes, {{"Error Deleting Local Themes! Error: File not found", kTitle, MsgIcon::Critical}});
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"two.tsk"}));
}

namespace {

struct Question {
    QString text;
    MsgButtons buttons;
    bool operator==(const Question&) const = default;
};

std::vector<Question> questions(const std::vector<RecordedBox>& boxes)
{
    std::vector<Question> out;
    for (const RecordedBox& b : boxes) {
        EXPECT_EQ(b.title, kTitle);
        EXPECT_EQ(b.icon, MsgIcon::Question);
        out.push_back({b.text, b.buttons});
    }
    return out;
}

} // namespace

TEST_F(TransferWindow, ReplacingOtherContentOnThePCAsksAndEachAnswerDoesWhatItSays)
{
    const QStringList names = {"alpha.tsk", "bravo.tsk", "charlie.tsk", "delta.tsk", "echo.tsk"};
    for (const QString& n : names) writeFile(onDevice("My Documents/" + n), "handheld " + n.toUtf8());
    QStringList all;
    for (const QString& n : names) all << "\\My Documents\\" + n;
    const MsgButtons ask = MsgButtons::YesYesToAllNoCancel;
    open();
    auto resetPC = [&] {
        for (const QString& n : names) writeFile(onPC(n), "pc " + n.toUtf8());
        writeFile(onPC("delta.tsk"), "handheld delta.tsk"); // the same content: no question
        writeFile(onPC("echo.tsk"), "pc echo.tsk, longer than the handheld's"); // another size
    };

    // No keeps the PC file, Yes replaces it, Cancel ends the action there.
    resetPC();
    ui.boxAnswers = {MsgResult::No, MsgResult::Yes, MsgResult::Cancel};
    select(lstFiles(), all);
    click(1);
    EXPECT_EQ(questions(ui.boxes), (std::vector<Question>{
                                       {"Replace alpha.tsk?", ask}, {"Replace bravo.tsk?", ask}, {"Replace charlie.tsk?", ask}}));
    EXPECT_EQ(readFile(onPC("alpha.tsk")), "pc alpha.tsk");
    EXPECT_EQ(readFile(onPC("bravo.tsk")), "handheld bravo.tsk");
    EXPECT_EQ(readFile(onPC("charlie.tsk")), "pc charlie.tsk");
    EXPECT_EQ(readFile(onPC("echo.tsk")), "pc echo.tsk, longer than the handheld's");
    EXPECT_EQ(texts(lstFiles(), true), QStringList({all[0], all[2], all[3], all[4]}));

    // Yes to All answers for the rest of the action; the same content copies without asking.
    resetPC();
    ui.boxes.clear();
    ui.boxAnswers = {MsgResult::YesToAll};
    lstFiles()->clearSelection();
    select(lstFiles(), all);
    click(1);
    EXPECT_EQ(questions(ui.boxes), (std::vector<Question>{{"Replace alpha.tsk?", ask}}));
    for (const QString& n : names) EXPECT_EQ(readFile(onPC(n)), "handheld " + n.toUtf8()) << n.toStdString();
    EXPECT_TRUE(texts(lstFiles(), true).isEmpty());
    EXPECT_EQ(QDir(pc.path()).entryList(QDir::Files | QDir::Hidden), names);
}

TEST_F(TransferWindow, ReplacingOtherContentOnTheHandheldAsksFirst)
{
    for (const char* n : {"one.tsk", "two.tsk", "same.tsk"}) writeFile(onPC(n), QByteArray("pc ") + n);
    writeFile(onDevice("My Documents/one.tsk"), "handheld one");
    writeFile(onDevice("My Documents/two.tsk"), "handheld two, longer");
    writeFile(onDevice("My Documents/same.tsk"), "pc same.tsk");
    open();
    ui.boxAnswers = {MsgResult::No, MsgResult::Yes};
    select(lstLocalFiles(), {"one.tsk", "same.tsk", "two.tsk"});
    click(2);
    const MsgButtons ask = MsgButtons::YesYesToAllNoCancel;
    EXPECT_EQ(questions(ui.boxes), (std::vector<Question>{{"Replace one.tsk?", ask}, {"Replace two.tsk?", ask}}));
    EXPECT_EQ(readFile(onDevice("My Documents/one.tsk")), "handheld one");
    EXPECT_EQ(readFile(onDevice("My Documents/two.tsk")), "pc two.tsk");
    EXPECT_EQ(readFile(onDevice("My Documents/same.tsk")), "pc same.tsk");
    EXPECT_EQ(texts(lstLocalFiles(), true), QStringList({"one.tsk"}));

    // Cancel sends nothing more.
    ui.boxes.clear();
    ui.boxAnswers = {MsgResult::Cancel};
    writeFile(onPC("two.tsk"), "pc two, changed");
    select(lstLocalFiles(), {"two.tsk"});
    click(2);
    EXPECT_EQ(questions(ui.boxes), (std::vector<Question>{{"Replace one.tsk?", ask}}));
    EXPECT_EQ(readFile(onDevice("My Documents/one.tsk")), "handheld one");
    EXPECT_EQ(readFile(onDevice("My Documents/two.tsk")), "pc two.tsk");
}

TEST_F(TransferWindow, ThePCListsCaptionNamesTheFolderCopiesGoTo)
{
    QDir(pc.path()).mkpath("sub");
    open();
    auto* caption = window->findChild<QLabel*>("Label3");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->toolTip(), QDir::cleanPath(pc.path()));
    EXPECT_TRUE(caption->text().startsWith("Themes on PC: ")) << caption->text().toStdString();
    window->setFolder(pc.path() + "/sub");
    EXPECT_EQ(caption->toolTip(), QDir::cleanPath(pc.path()) + "/sub");
    EXPECT_TRUE(caption->text().endsWith("sub")) << caption->text().toStdString();
}

TEST_F(TransferWindow, WithoutAHandheldFolderTheListSaysWhereItLookedAndHowToMakeOne)
{
    qputenv("ORVANTIS_DEVICE_ROOT", onDevice("unplugged").toUtf8());
    open();
    expectBoxes(ui.boxes, {{"Unable to connect! Make sure ActiveSync is working!", kTitle, MsgIcon::Exclamation}});
    ASSERT_EQ(lstFiles()->count(), 1);
    EXPECT_EQ(lstFiles()->item(0)->text(),
              "No handheld folder at " + onDevice("unplugged") + "; orvantis-cli device init makes one");
    EXPECT_FALSE(lstFiles()->item(0)->flags() & Qt::ItemIsSelectable);

    // A handheld folder that is there but not answering gets no such line.
    delete window.data();
    ui.boxes.clear();
    qputenv("ORVANTIS_DEVICE_ROOT", onDevice("My Documents").toUtf8());
    open();
    EXPECT_EQ(lstFiles()->count(), 0);
}

TEST_F(TransferWindow, AHandheldPackageThatWouldBeAHiddenPCFileIsNotCopied)
{
    writeFile(onDevice("My Documents/.tsk"), "no name");
    writeFile(onDevice("My Documents/.hidden.tsk"), "hidden");
    open();
    const QStringList hidden = {"\\My Documents\\.hidden.tsk", "\\My Documents\\.tsk"};
    select(lstFiles(), hidden);
    click(1);
    expectBoxes(ui.boxes, {{"Not copied, the name on the PocketPC is no file name: " + hidden[0], kTitle,
                            MsgIcon::Exclamation},
                           {"Not copied, the name on the PocketPC is no file name: " + hidden[1], kTitle,
                            MsgIcon::Exclamation}});
    EXPECT_EQ(QDir(pc.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(TransferWindow, ExitUnloadsTheWindowAndClearsItsReference)
{
    open();
    EXPECT_EQ(FileManagerWindow::instance(), window.data());
    click(3);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(FileManagerWindow::instance(), nullptr);
}

class TransferEntry : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        Folders f = session->folders();
        f.programDir = program.path();
        session = std::make_unique<EditorSession>(ui, f);
        session->state.TSKPath = program.path();
        // The control beside the program, the device link only where a row installs it. A copy,
        // not a link: the control looks for the device link beside its own real file.
        QFile::copy(QString(ORV_BINARY_DIR) + "/libcradlelink.so", program.path() + "/libcradlelink.so");
    }
    QTemporaryDir program;
};

TEST_F(TransferEntry, ChecksForTheDeviceLinkUnlessStartedWithQzv)
{
    const struct {
        const char* commandLine;
        bool linkInstalled;
        bool opens;
    } rows[] = {{"", false, false}, {"QZV", false, false}, {"qzv ", false, false},
                {"qzv", false, true}, {"", true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine);
        ui.boxes.clear();
        QFile::remove(program.path() + "/librapi.so");
        if (row.linkInstalled) writeFile(program.path() + "/librapi.so", "ELF");
        session->state.commandLine = row.commandLine;
        int highlighted = 0;
        EXPECT_EQ(ThemeTransfer(*session, nullptr, [&highlighted] { ++highlighted; }), row.opens);
        EXPECT_EQ(highlighted, row.opens ? 1 : 0);
        QPointer<FileManagerWindow> window = FileManagerWindow::instance();
        EXPECT_EQ(!window.isNull(), row.opens);
        if (window) {
            EXPECT_TRUE(window->isVisible() && window->isModal());
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        if (!row.opens)
            expectBoxes(ui.boxes, {{"ActiveSync not installed or corrupted!", kTitle, MsgIcon::Critical}});
    }
    EXPECT_EQ(FileManagerWindow::instance(), nullptr);
}

TEST_F(TransferEntry, AControlThatCannotBeCreatedEndsTheLoad)
{
    const QString registry = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Cradlelink/classes.ini";
    const QByteArray before = readFile(registry);
    // Registered, present, and no library at all.
    writeFile(program.path() + "/junk.so", "not a library");
    writeFile(registry, "[Cradlelink.UCRapi]\nCLSID={B5C2787C-D240-429F-859C-A1DC012E782F}\n"
                        "InprocServer32=" + program.path().toUtf8() + "/junk.so\n");
    QPointer<FileManagerWindow> window = new FileManagerWindow(*session);
    EXPECT_FALSE(window->Form_Load());
    if (before == "<missing>") QFile::remove(registry); else writeFile(registry, before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    expectBoxes(ui.boxes, {{"Error in FileManager Load: ActiveX component can't create object", kTitle,
                            MsgIcon::Critical}});
    EXPECT_TRUE(window.isNull());
}

} // namespace orv::test
