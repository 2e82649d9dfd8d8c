// The theme transfer window driven as a user drives it, against a handheld made of folders.
#include "device_test_kit.h"
#include "support/session_fixture.h"
#include "transfer/device_paths.h"
#include "transfer/file_manager_window.h"
#include "transfer/theme_transfer.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace orv::test {

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray faultLibrary = QByteArray(ORV_BINARY_DIR) + "/testlibs/librapi_faulty.so";

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QStringList selected(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) out << list->item(i)->text();
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

} // namespace

class TransferWindow : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        ASSERT_TRUE(device.isValid() && pc.isValid());
        qputenv("ORVANTIS_DEVICE_ROOT", device.path().toUtf8());
        QDir(device.path()).mkpath("My Documents");
        QDir(device.path()).mkpath("windows");
        writeFile(onDevice("windows/pword.exe"), "MZ");
        session->state.TSKPath = pc.path();
    }
    void TearDown() override
    {
        delete window.data();
        qunsetenv("ORVANTIS_DEVICE_ROOT");
        qunsetenv("ORVANTIS_RAPI_LIBRARY");
        SessionTest::TearDown();
    }

    QString onDevice(const QString& relative) const { return device.path() + '/' + relative; }
    QString onPC(const QString& name) const { return pc.path() + '/' + name; }

    // Form_Load, then the timer's tick without waiting for it.
    void open()
    {
        window = new FileManagerWindow(*session);
        ASSERT_TRUE(window->Form_Load());
        window->Timer1_Timer();
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
    qputenv("ORVANTIS_DEVICE_ROOT", (device.path() + "/unplugged").toUtf8());
    open();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to connect! Make sure ActiveSync is working!");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Exclamation);
    for (int i : {1, 2, 4, 5}) EXPECT_FALSE(button(i)->isEnabled()) << i;
    EXPECT_TRUE(button(3)->isEnabled());
    EXPECT_TRUE(window->initialised());
    EXPECT_FALSE(window->findChild<QTimer*>("Timer1")->isActive());
    EXPECT_EQ(ui.busyOn, ui.busyOff);
}

TEST_F(TransferWindow, ListsMyDocumentsFirstAndKeepsEntriesAfterAPackageNamedFolder)
{
    writeFile(onDevice("My Documents/alpha.tsk"), "a");
    writeFile(onDevice("My Documents/nested.tsk/inner.tsk"), "i");
    writeFile(onDevice("My Documents/zulu.tsk"), "z");
    writeFile(onDevice("My Documents/notes.txt"), "n");
    writeFile(onDevice("windows/bravo.tsk"), "b");
    open();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts(lstFiles()), QStringList({"\\My Documents\\alpha.tsk",
                                              "\\My Documents\\nested.tsk\\inner.tsk",
                                              "\\My Documents\\nested.tsk", "\\My Documents\\zulu.tsk",
                                              "\\windows\\bravo.tsk"}));
    EXPECT_EQ(lstFiles()->selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(TransferWindow, PCSideShowsThePackagesOfTheTSKFolder)
{
    writeFile(onPC("one.tsk"), "1");
    writeFile(onPC("TWO.TSK"), "2");
    writeFile(onPC("three.txt"), "3");
    QDir(pc.path()).mkpath("sub.tsk");
    open();
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"one.tsk", "TWO.TSK"}));
    EXPECT_EQ(window->folder(), QDir::cleanPath(pc.path()));
    EXPECT_GE(window->findChild<QComboBox*>("lstDrives")->currentIndex(), 0);
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
    writeFile(onDevice("windows/bravo.tsk"), "bravo");
    open();
    select(lstFiles(), {"\\My Documents\\alpha.tsk", "\\My Documents\\empty.tsk"});
    click(1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(readFile(onPC("alpha.tsk")), "alpha bytes");
    EXPECT_FALSE(QFileInfo::exists(onPC("empty.tsk")));
    EXPECT_TRUE(selected(lstFiles()).isEmpty());
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"alpha.tsk"}));
    EXPECT_EQ(ui.busyOn, ui.busyOff);
}

TEST_F(TransferWindow, SendToPCWithNothingSelectedDoesNotConnect)
{
    // A control without its device link fails any connection with a box: none may come.
    qputenv("ORVANTIS_RAPI_LIBRARY", (device.path() + "/missing.so").toUtf8());
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
    const std::u16string names[] = {u"", u".", u"..", u"sub/alpha.tsk", u"alpha.tsk"};
    std::vector<const WCHAR*> units;
    std::vector<int> lengths;
    for (const auto& n : names) {
        units.push_back(n.c_str());
        lengths.push_back(int(n.size()));
    }
    faults.listing(units.data(), lengths.data(), int(units.size()));
    writeFile(onDevice("My Documents/alpha.tsk"), "a");
    open();
    const QStringList hostile = {"\\My Documents\\", "\\My Documents\\.", "\\My Documents\\..",
                                 "\\My Documents\\sub/alpha.tsk"};
    for (const QString& item : hostile) EXPECT_TRUE(texts(lstFiles()).contains(item)) << item.toStdString();
    select(lstFiles(), hostile);
    click(1);
    ASSERT_EQ(ui.boxes.size(), size_t(hostile.size()));
    for (int i = 0; i < hostile.size(); ++i) {
        EXPECT_EQ(ui.boxes[i].text, "Not copied, the name on the PocketPC is no file name: " + hostile[i]);
        EXPECT_EQ(ui.boxes[i].title, "Orvantis by Zephrin");
        EXPECT_EQ(ui.boxes[i].icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(selected(lstFiles()), hostile);
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
    select(lstFiles(), {"\\My Documents\\alpha.tsk", "\\My Documents\\bravo.tsk"});
    click(1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error reading from PPC");
    EXPECT_EQ(ui.boxes[0].title, "Cradlelink");
    EXPECT_EQ(selected(lstFiles()), QStringList({"\\My Documents\\alpha.tsk", "\\My Documents\\bravo.tsk"}));
    EXPECT_FALSE(QFileInfo::exists(onPC("bravo.tsk")));
    EXPECT_EQ(faults.openHandles(), 0);
}

TEST_F(TransferWindow, AFailingDeviceWriteIsReportedWithTheLastError)
{
    qputenv("ORVANTIS_RAPI_LIBRARY", faultLibrary);
    FaultSwitches faults;
    writeFile(onPC("local.tsk"), "local");
    open();
    faults.set("write_fail", 112);
    select(lstLocalFiles(), {"local.tsk"});
    click(2);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Error writing to PPC");
    EXPECT_EQ(ui.boxes[0].title, "Cradlelink");
    EXPECT_EQ(ui.boxes[1].text, "Error Sending Themes to PPC! Last Error: 112");
    EXPECT_EQ(ui.boxes[1].title, "Zephrin");
    EXPECT_EQ(ui.boxes[1].icon, MsgIcon::Critical);
    EXPECT_EQ(faults.openHandles(), 0);
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
    EXPECT_TRUE(texts(lstFiles()).contains("\\My Documents\\local.tsk"));
    EXPECT_TRUE(selected(lstLocalFiles()).isEmpty());
}

TEST_F(TransferWindow, SendToPPCReportsAPackageThatVanishedAndStops)
{
    writeFile(onPC("gone.tsk"), "g");
    writeFile(onPC("kept.tsk"), "k");
    open();
    select(lstLocalFiles(), {"gone.tsk", "kept.tsk"});
    QFile::remove(onPC("gone.tsk"));
    click(2);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error Sending Themes to PPC! Error: File not found");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(QFileInfo::exists(onDevice("My Documents/kept.tsk")));
    EXPECT_EQ(ui.busyOn, ui.busyOff);
}

TEST_F(TransferWindow, DeleteOnPPCRemovesTheSelectedPackagesWithoutAQuestion)
{
    writeFile(onDevice("My Documents/alpha.tsk"), "a");
    writeFile(onDevice("My Documents/zulu.tsk"), "z");
    writeFile(onDevice("windows/bravo.tsk"), "b");
    open();
    select(lstFiles(), {"\\My Documents\\alpha.tsk", "\\windows\\bravo.tsk"});
    click(4);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(onDevice("My Documents/alpha.tsk")));
    EXPECT_FALSE(QFileInfo::exists(onDevice("windows/bravo.tsk")));
    EXPECT_EQ(texts(lstFiles()), QStringList({"\\My Documents\\zulu.tsk"}));
}

TEST_F(TransferWindow, DeleteOnPCMovesTheSelectedFilesToTheTrash)
{
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    writeFile(onPC("one.tsk"), "1");
    writeFile(onPC("two.tsk"), "2");
    writeFile(onPC("three.tsk"), "3");
    open();
    select(lstLocalFiles(), {"one.tsk", "two.tsk"});
    click(5);
    qputenv("XDG_DATA_HOME", oldData);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"three.tsk"}));
    EXPECT_EQ(readFile(data.path() + "/Trash/files/one.tsk"), "1");
    EXPECT_EQ(readFile(data.path() + "/Trash/files/two.tsk"), "2");
}

TEST_F(TransferWindow, AFailedSendToPPCShowsTheControlsBoxThenTheWindows)
{
    writeFile(onPC("local.tsk"), "l");
    QDir(device.path()).mkpath("My Documents/local.tsk"); // a folder where the copy should go
    open();
    select(lstLocalFiles(), {"local.tsk"});
    click(2);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to open WinCE file");
    EXPECT_EQ(ui.boxes[0].title, "Cradlelink");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(ui.boxes[1].text, "Error Sending Themes to PPC! Last Error: 5");
    EXPECT_EQ(ui.boxes[1].title, "Zephrin");
    EXPECT_EQ(ui.boxes[1].icon, MsgIcon::Critical);
    for (const auto& b : ui.boxes) EXPECT_EQ(b.buttons, MsgButtons::Ok);
    EXPECT_EQ(selected(lstLocalFiles()), QStringList({"local.tsk"}));
    EXPECT_EQ(ui.busyOn, ui.busyOff);
}

TEST_F(TransferWindow, ErrorsOfTheControlEndEachActionWithItsBox)
{
    // Without its device link the control fails every call with its own error.
    qputenv("ORVANTIS_RAPI_LIBRARY", (device.path() + "/missing.so").toUtf8());
    writeFile(onPC("local.tsk"), "l");
    open();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error: Error in loading DLL (DeviceListing)");
    EXPECT_FALSE(button(1)->isEnabled());

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
        SCOPED_TRACE(row.button);
        ui.boxes.clear();
        window->btnButtons_Click(row.button);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, row.text);
        EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
        EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
        EXPECT_EQ(ui.busyOn, ui.busyOff);
    }
}

TEST_F(TransferWindow, DeletingAPackageThatIsAlreadyGoneIsReported)
{
    writeFile(onPC("one.tsk"), "1");
    writeFile(onPC("two.tsk"), "2");
    open();
    select(lstLocalFiles(), {"one.tsk"});
    QFile::remove(onPC("one.tsk"));
    click(5);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error Deleting Local Themes! Error: File not found");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(texts(lstLocalFiles()), QStringList({"two.tsk"}));
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

} // namespace orv::test

namespace orv::test {

class TransferEntry : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        Folders f = session->folders();
        f.programDir = program.path();
        session = std::make_unique<EditorSession>(ui, f);
        session->state.TSKPath = program.path();
        // The control beside the program, the device link only where a row installs it.
        QFile::link(QString(ORV_BINARY_DIR) + "/libcradlelink.so", program.path() + "/libcradlelink.so");
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
        bool seenOpen = false;
        // Closes the window once its modal loop runs; gone with the row when nothing opened.
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [&seenOpen] {
            if (auto* w = FileManagerWindow::instance()) {
                seenOpen = w->isVisible() && w->isModal();
                w->close();
            }
        });
        closer.start(0);
        const bool opened = ThemeTransfer(*session, nullptr, [&highlighted] { ++highlighted; });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(opened, row.opens);
        EXPECT_EQ(seenOpen, row.opens);
        EXPECT_EQ(highlighted, row.opens ? 1 : 0);
        if (row.opens) continue;
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "ActiveSync not installed or corrupted!");
        EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
        EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
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
    if (before.isEmpty()) QFile::remove(registry); else writeFile(registry, before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error in FileManager Load: ActiveX component can't create object");
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(window.isNull());
}

} // namespace orv::test
