// The Cradlelink control through its dispatch interface against a handheld folder: searches,
// the named properties, the copies both ways, deletion, the control's boxes and errors, CE path
// rules and paths that try to leave the device folder.
#include "device_test_kit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orv::test {
namespace {

using Control = DeviceTest;

TEST_F(Control, FailedSearchLeavesFoundNameAndNextSearchStepFails)
{
    put(device("My Documents/a.tsk"), "x");
    connect();
    c->setPPCSearchPath("\\My Documents\\*.tsk");
    ASSERT_NE(c->FindFirstFile(), -1);
    c->setPPCSearchPath("\\My Documents\\*.zzz");
    EXPECT_EQ(c->FindFirstFile(), -1);
    EXPECT_EQ(c->PPCFoundFile(), "a.tsk");
    EXPECT_EQ(c->FindNextFile(), 0);
    EXPECT_EQ(c->getString(DISPID_CRapi_PPCFileNameRead), "a.tsk");
}

TEST_F(Control, SearchesMatchWildcardsAndCaseAndReportAttributes)
{
    put(device("My Documents/Alpha.TSK"), "1");
    put(device("My Documents/b.tsk"), "22");
    put(device("My Documents/notes.txt"), "3");
    QDir().mkpath(device("My Documents/Folder.tsk"));
    put(device("My Documents/locked.tsk"), "4");
    chmod(device("My Documents/locked.tsk").toUtf8().constData(), 0444);
    connect();
    const struct {
        const char* pattern;
        QStringList names;
    } cases[] = {
        {"\\my documents\\*.tsk", {"Alpha.TSK", "b.tsk", "Folder.tsk", "locked.tsk"}},
        {"\\MY DOCUMENTS\\?.TSK", {"b.tsk"}},
        {"\\My Documents\\*.*", {"Alpha.TSK", "b.tsk", "Folder.tsk", "locked.tsk", "notes.txt"}},
        {"\\My Documents\\ALPHA.tsk", {"Alpha.TSK"}},
        {"\\windows\\*.exe", {"explorer.exe"}},
        {"\\Nowhere\\*.tsk", {}},
    };
    for (const auto& t : cases) EXPECT_EQ(search(t.pattern), t.names) << t.pattern;

    const struct {
        const char* name;
        int attributes;
    } attributes[] = {{"b.tsk", 32}, {"Folder.tsk", 16}, {"locked.tsk", 33}};
    for (const auto& t : attributes) {
        c->setPPCSearchPath(QString("\\My Documents\\") + t.name);
        ASSERT_NE(c->FindFirstFile(), -1);
        EXPECT_EQ(c->Attributes(), t.attributes) << t.name;
    }
}

TEST_F(Control, StringPropertiesReadBackAndReadingChangesNothingElse)
{
    load();
    const DISPID props[] = {DISPID_CRapi_PPCSearchPath, DISPID_CRapi_PPCFileNameToRead,
                            DISPID_CRapi_PPCFileNameToWrite, DISPID_CRapi_PCFileNameToRead,
                            DISPID_CRapi_PCFileNameToWrite};
    for (DISPID p : props) c->putString(p, QString("value %1 \u00e9").arg(p));
    for (int round = 0; round < 2; ++round)
        for (DISPID p : props) EXPECT_EQ(c->getString(p), QString("value %1 \u00e9").arg(p));
    EXPECT_EQ(c->PPCFoundFile(), "");
}

TEST_F(Control, CopiesBothWaysKeepEveryByte)
{
    put(device("My Documents/empty.tsk"), "");
    put(device("My Documents/short.tsk"), "short");
    put(pc("long.tsk"), pattern(5000));
    put(pc("empty.tsk"), "");
    connect();

    // A zero-length device file is not copied, and nothing is shown.
    c->setPCFileNameToWrite(pc("long.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\empty.tsk");
    EXPECT_FALSE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc("long.tsk")), pattern(5000));

    // Over a longer PC file: exactly the device file remains.
    c->setPPCFileNameToRead("\\my documents\\SHORT.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc("long.tsk")), "short");

    // An empty PC file makes an empty device file.
    c->setPCFileNameToRead(pc("empty.tsk"));
    c->setPPCFileNameToWrite("\\My Documents\\made.tsk");
    EXPECT_TRUE(c->TransferFileToPPC());
    EXPECT_EQ(get(device("My Documents/made.tsk")), "");

    put(pc("big.tsk"), pattern(300000));
    c->setPCFileNameToRead(pc("big.tsk"));
    c->setPPCFileNameToWrite("\\My Documents\\big.tsk");
    EXPECT_TRUE(c->TransferFileToPPC());
    EXPECT_EQ(c->GetPPCFileSize("\\MY DOCUMENTS\\BIG.TSK"), 300000);
    c->setPCFileNameToWrite(pc("back.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\big.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc("back.tsk")), pattern(300000));
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(QDir(dir.path() + "/pc").entryList(QDir::Files | QDir::Hidden).size(), 4); // no temporary left
}

TEST_F(Control, MissingNamesAndFailedOpensShowTheControlsBoxes)
{
    put(pc("a.tsk"), "a");
    connect();
    const struct {
        QString pcWrite, ppcRead, pcRead, ppcWrite, ppcDelete;
        DISPID member;
        const char* text;
    } cases[] = {
        {"", "\\x", "", "", "", DISPID_CRapi_TransferFileFromPPC, "No name for file to Save"},
        {pc("b.tsk"), "", "", "", "", DISPID_CRapi_TransferFileFromPPC, "No name for file to Copy"},
        {"", "", "", "\\x.tsk", "", DISPID_CRapi_TransferFileToPPC, "No source file given!"},
        {"", "", pc("a.tsk"), "\\No Folder\\a.tsk", "", DISPID_CRapi_TransferFileToPPC, "Unable to open WinCE file"},
        {"", "", "", "", "", DISPID_CRapi_DeletePPCFile, "No file to delete"},
    };
    for (const auto& t : cases) {
        boxes.clear();
        c->setPCFileNameToWrite(t.pcWrite);
        c->setPPCFileNameToRead(t.ppcRead);
        c->setPCFileNameToRead(t.pcRead);
        c->setPPCFileNameToWrite(t.ppcWrite);
        c->setPPCFileToDelete(t.ppcDelete);
        EXPECT_FALSE(c->callBool(t.member)) << t.text;
        EXPECT_EQ(boxes, QList<Box>({{t.text, "Cradlelink"}}));
    }
}

TEST_F(Control, MissingPcFileFailsTheCallWithFileNotFound)
{
    connect();
    c->setPCFileNameToRead(pc("none.tsk"));
    c->setPPCFileNameToWrite("\\My Documents\\none.tsk");
    try {
        c->TransferFileToPPC();
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "File not found");
        EXPECT_EQ(e.source(), "Cradlelink");
    }
    EXPECT_FALSE(QFile::exists(device("My Documents/none.tsk")));
}

TEST_F(Control, DeleteClearsReadOnlyAndIsTrueOnlyWhenTheFileIsGone)
{
    put(device("My Documents/locked.tsk"), "x");
    chmod(device("My Documents/locked.tsk").toUtf8().constData(), 0444);
    connect();
    c->setPPCFileToDelete("\\my documents\\LOCKED.TSK");
    EXPECT_TRUE(c->DeletePPCFile());
    EXPECT_FALSE(QFile::exists(device("My Documents/locked.tsk")));

    const struct {
        const char* path;
        int lastError;
    } refused[] = {{"\\My Documents\\gone.tsk", 2}, {"\\My Documents", 5}, {"\\Nowhere\\a.tsk", 3}};
    for (const auto& t : refused) {
        c->setPPCFileToDelete(t.path);
        EXPECT_FALSE(c->DeletePPCFile()) << t.path;
        EXPECT_EQ(c->LastError(), t.lastError) << t.path;
    }
    EXPECT_TRUE(QDir(device("My Documents")).exists());
}

TEST_F(Control, SizeOfMissingFileIsZeroWhetherPassedByValueOrByReference)
{
    put(device("My Documents/a.tsk"), "12345");
    connect();
    EXPECT_EQ(c->GetPPCFileSize("\\My Documents\\missing.tsk"), 0);
    EXPECT_EQ(c->GetPPCFileSize("\\My Documents\\a.tsk"), 5);
    VARIANT arg{};
    arg.vt = VT_BSTR;
    arg.u.bstrVal = c->allocString("\\my documents\\A.TSK");
    VARIANT result{};
    EXPECT_EQ(c->invoke(DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, &arg, 1, false, &result, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.u.lVal, 5);
    c->freeString(arg.u.bstrVal);
}

TEST_F(Control, NewFilesKeepTheirCaseAndExistingNamesMatchWithoutCase)
{
    put(pc("one.tsk"), "one");
    put(pc("two.tsk"), "two");
    connect();
    c->setPCFileNameToRead(pc("one.tsk"));
    c->setPPCFileNameToWrite("\\MY DOCUMENTS\\New.Tsk");
    EXPECT_TRUE(c->TransferFileToPPC());
    c->setPCFileNameToRead(pc("two.tsk"));
    c->setPPCFileNameToWrite("\\my documents\\NEW.TSK");
    EXPECT_TRUE(c->TransferFileToPPC());
    EXPECT_EQ(QDir(device("My Documents")).entryList(QDir::Files), QStringList{"New.Tsk"});
    EXPECT_EQ(get(device("My Documents/New.Tsk")), "two");
}

TEST_F(Control, DevicePathsNeverLeaveTheDeviceFolder)
{
    put(dir.path() + "/secret.tsk", "secret");
    QFile::link(dir.path() + "/secret.tsk", device("My Documents/link.tsk"));
    QFile::link(dir.path(), device("My Documents/out"));
    QFile::link(dir.path() + "/planted.tsk", device("My Documents/dangling.tsk"));
    put(pc("a.tsk"), "a");
    put(device("My Documents/back\\slash.tsk"), "unreachable");
    const QByteArray notUtf8 = device("My Documents/").toUtf8() + "bad\xff.tsk";
    ::close(::open(notUtf8.constData(), O_CREAT | O_WRONLY, 0644));
    struct Unlink {
        QByteArray path;
        ~Unlink() { ::unlink(path.constData()); } // QDir cannot name it to remove it
    } cleanup{notUtf8};
    connect();
    const QString lone = QString("\\My Documents\\x") + QChar(0xD800) + ".tsk";
    const struct {
        QString path;
        int lastError;
    } cases[] = {
        {"\\..\\secret.tsk", 3},
        {"\\My Documents\\..\\..\\secret.tsk", 3},
        {"\\My Documents\\link.tsk", 3},
        {"\\My Documents\\out\\secret.tsk", 3},
        {"\\My Documents\\dangling.tsk", 3},
        {"\\My Documents\\a/b.tsk", 123},
        {lone, 123},
        {"\\My Documents\\" + QString(246, 'n'), 206},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(c->GetPPCFileSize(t.path), 0) << t.path.toStdString();
        EXPECT_EQ(c->LastError(), t.lastError) << t.path.toStdString();
        c->setPCFileNameToRead(pc("a.tsk"));
        c->setPPCFileNameToWrite(t.path);
        EXPECT_FALSE(c->TransferFileToPPC()) << t.path.toStdString();
    }
    EXPECT_EQ(get(dir.path() + "/secret.tsk"), "secret");
    EXPECT_FALSE(QFile::exists(dir.path() + "/planted.tsk"));
    EXPECT_EQ(search("\\My Documents\\*"), QStringList{});
    // 259 units is the longest CE path.
    c->setPPCFileNameToWrite("\\My Documents\\" + QString(245, 'n'));
    EXPECT_TRUE(c->TransferFileToPPC());
}

TEST_F(Control, HandheldWithoutFolderAcceptsTheConnectionButAnswersNothing)
{
    qputenv("ORVANTIS_DEVICE_ROOT", (dir.path() + "/no-device").toUtf8());
    connect();
    c->setPPCSearchPath("\\windows\\*.exe");
    EXPECT_EQ(c->FindFirstFile(), -1);
    EXPECT_EQ(c->LastError(), 21);
}

TEST_F(Control, InvokeChecksTheShapeOfEachCall)
{
    load();
    VARIANT text{};
    text.vt = VT_BSTR;
    text.u.bstrVal = c->allocString("x");
    VARIANT null{};
    null.vt = VT_NULL;
    const struct {
        DISPID id;
        WORD flags;
        VARIANT* args;
        UINT count;
        bool named;
        HRESULT expected;
    } cases[] = {
        {DISPID_CRapi_PPCSearchPath, DISPATCH_PROPERTYPUT, &text, 1, true, S_OK},
        {DISPID_CRapi_PPCSearchPath, DISPATCH_PROPERTYPUT, &text, 1, false, DISP_E_PARAMNOTFOUND},
        {DISPID_CRapi_PPCSearchPath, DISPATCH_PROPERTYPUT, &null, 1, true, DISP_E_TYPEMISMATCH},
        {DISPID_CRapi_PPCFileToDelete, DISPATCH_PROPERTYGET, nullptr, 0, false, DISP_E_MEMBERNOTFOUND},
        {DISPID_CRapi_PPCFoundFile, DISPATCH_PROPERTYPUT, &text, 1, true, DISP_E_MEMBERNOTFOUND},
        {DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, nullptr, 0, false, DISP_E_BADPARAMCOUNT},
        {DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, &null, 1, false, DISP_E_TYPEMISMATCH},
        {0x60030010, DISPATCH_METHOD, nullptr, 0, false, DISP_E_MEMBERNOTFOUND},
    };
    for (const auto& t : cases)
        EXPECT_EQ(c->invoke(t.id, t.flags, t.args, t.count, t.named, nullptr, nullptr), t.expected) << std::hex << t.id;
    c->freeString(text.u.bstrVal);

    IDispatch* d = c->crapi();
    DISPPARAMS none{};
    EXPECT_EQ(d->lpVtbl->Invoke(d, DISPID_CRapi_LastError, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr,
                                nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(Control, NamesMapToMemberIdsWithoutCase)
{
    load();
    const struct {
        const char16_t* name;
        DISPID id;
    } cases[] = {{u"connectrapi", DISPID_CRapi_ConnectRapi}, {u"PPCFILETODELETE", DISPID_CRapi_PPCFileToDelete},
                 {u"GetPPCFileSize", DISPID_CRapi_GetPPCFileSize}, {u"DeletePPCFile", DISPID_CRapi_DeletePPCFile},
                 {u"pcfilenametowrite", DISPID_CRapi_PCFileNameToWrite}, {u"Delete", DISPID_UNKNOWN}};
    IDispatch* d = c->crapi();
    for (const auto& t : cases) {
        LPWSTR names[] = {const_cast<LPWSTR>(t.name)};
        DISPID id = 0;
        const HRESULT hr = d->lpVtbl->GetIDsOfNames(d, IID_NULL, names, 1, 0, &id);
        EXPECT_EQ(id, t.id);
        EXPECT_EQ(hr, t.id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK);
    }
}

TEST_F(Control, InterfacesAndUnloadingFollowTheObjectsLifetimes)
{
    load();
    const auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(c->libraryHandle(), "DllCanUnloadNow"));
    const struct {
        IID iid;
        bool answered;
    } cases[] = {{IID_IUnknown, true}, {IID_IDispatch, true}, {IID__CRapi, true}, {IID__UCRapi, false},
                 {IID_IClassFactory, false}};
    for (const auto& t : cases) {
        void* p = nullptr;
        IDispatch* d = c->crapi();
        EXPECT_EQ(d->lpVtbl->QueryInterface(d, t.iid, &p) == S_OK, t.answered);
        if (p) static_cast<IUnknown*>(p)->lpVtbl->Release(static_cast<IUnknown*>(p));
    }
    void* keep = dlopen(controlLibrary().toUtf8().constData(), RTLD_NOW);
    EXPECT_EQ(canUnload(), S_FALSE);
    c.reset();
    EXPECT_EQ(canUnload(), S_OK);
    dlclose(keep);
}

TEST_F(Control, ORapiIsSetByReferenceOnlyAndOnlyToACRapi)
{
    load();
    auto other = cradlelink::ControlHost::load(controlLibrary());
    ASSERT_TRUE(other);
    other->putString(DISPID_CRapi_PPCSearchPath, "from the other control");
    IDispatch* control = c->control();
    DISPID putId = DISPID_PROPERTYPUT;
    VARIANT arg{};
    arg.vt = VT_DISPATCH;
    arg.u.pdispVal = other->crapi();
    DISPPARAMS put{&arg, &putId, 1, 1};
    EXPECT_EQ(control->lpVtbl->Invoke(control, DISPID_UCRapi_oRapi, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put,
                                      nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    arg.u.pdispVal = other->control(); // a control is not a CRapi
    EXPECT_EQ(control->lpVtbl->Invoke(control, DISPID_UCRapi_oRapi, IID_NULL, 0, DISPATCH_PROPERTYPUTREF, &put,
                                      nullptr, nullptr, nullptr),
              DISP_E_TYPEMISMATCH);
    arg.u.pdispVal = other->crapi();
    EXPECT_EQ(control->lpVtbl->Invoke(control, DISPID_UCRapi_oRapi, IID_NULL, 0, DISPATCH_PROPERTYPUTREF, &put,
                                      nullptr, nullptr, nullptr),
              S_OK);
    DISPPARAMS none{};
    VARIANT result{};
    ASSERT_EQ(control->lpVtbl->Invoke(control, DISPID_UCRapi_oRapi, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                      &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_DISPATCH);
    EXPECT_EQ(result.u.pdispVal, other->crapi());
    c->clear(&result);
}

TEST_F(Control, CutOrRefusedDevicePathsTouchNothingInAnyMember)
{
    put(device("My Documents/Blue Sky.tsk"), "blue sky");
    put(pc("a.tsk"), "from the PC");
    connect();
    const QString base = "\\My Documents\\Blue Sky.tsk";
    const QString refused[] = {base + "|X", base + ":X", base + "\tX", base + QChar(0), base + QChar(0) + "X"};
    for (const QString& path : refused) {
        const std::string why = path.toUtf8().toStdString();
        c->setPPCSearchPath(path);
        EXPECT_EQ(c->FindFirstFile(), -1) << why;
        EXPECT_EQ(c->LastError(), 123) << why;
        EXPECT_EQ(c->GetPPCFileSize(path), 0) << why;
        EXPECT_EQ(c->LastError(), 123) << why;

        c->setPCFileNameToWrite(pc("copy.tsk"));
        c->setPPCFileNameToRead(path);
        EXPECT_FALSE(c->TransferFileFromPPC()) << why;
        EXPECT_FALSE(QFile::exists(pc("copy.tsk"))) << why;

        boxes.clear();
        c->setPCFileNameToRead(pc("a.tsk"));
        c->setPPCFileNameToWrite(path);
        EXPECT_FALSE(c->TransferFileToPPC()) << why;
        EXPECT_EQ(boxes, QList<Box>({{"Unable to open WinCE file", "Cradlelink"}})) << why;
        EXPECT_EQ(c->LastError(), 123) << why;

        c->setPPCFileToDelete(path);
        EXPECT_FALSE(c->DeletePPCFile()) << why;
        EXPECT_EQ(c->LastError(), 123) << why;
        EXPECT_EQ(get(device("My Documents/Blue Sky.tsk")), "blue sky") << why;
    }
    // A refusal is over once the next member has asked the device.
    EXPECT_EQ(c->GetPPCFileSize("\\My Documents\\missing.tsk"), 0);
    EXPECT_EQ(c->LastError(), 2);
    EXPECT_EQ(c->GetPPCFileSize(base), 8);
    EXPECT_EQ(QDir(device("My Documents")).entryList(QDir::Files), QStringList{"Blue Sky.tsk"});
}

TEST_F(Control, ReplacedPcFileKeepsItsPermissionBitsAndNoTemporaryFileStays)
{
    put(device("My Documents/a.tsk"), "new content");
    put(pc("a.tsk"), "old");
    ASSERT_EQ(chmod(pc("a.tsk").toUtf8().constData(), 0640), 0);
    connect();
    c->setPCFileNameToWrite(pc("a.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\a.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc("a.tsk")), "new content");
    struct stat st{};
    ASSERT_EQ(stat(pc("a.tsk").toUtf8().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(dir.path() + "/pc").entryList(QDir::Files | QDir::Hidden), QStringList{"a.tsk"});

    // Only a regular file is replaced: a folder in its place is a path/file access error.
    QDir().mkpath(pc("folder.tsk"));
    c->setPCFileNameToWrite(pc("folder.tsk"));
    try {
        c->TransferFileFromPPC();
        FAIL() << "a folder was replaced";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(), "Path/File access error");
    }
    EXPECT_TRUE(QFileInfo(pc("folder.tsk")).isDir());
}

TEST_F(Control, NamesAsLongAsTheFolderAllowsAreCopiedBothWays)
{
    // 250 bytes: the old temporary name ("." + name + six more) passed the 255-byte limit.
    const QString name = QString(246, 'n') + ".tsk";
    const QString back = QString(246, 'b') + ".tsk";
    put(device(name), pattern(3000));
    put(pc(back), pattern(1000));
    connect();
    c->setPCFileNameToWrite(pc(name));
    c->setPPCFileNameToRead("\\" + name);
    EXPECT_TRUE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc(name)), pattern(3000));
    c->setPCFileNameToRead(pc(back));
    c->setPPCFileNameToWrite("\\" + back);
    EXPECT_TRUE(c->TransferFileToPPC());
    EXPECT_EQ(get(device(back)), pattern(1000));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(Control, LeftoversOfDeadCopiesAreRemovedByTheNextCopyIntoTheFolder)
{
    // A process that has ended, so its id names no running copy.
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_GT(dead, 0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    const QString deadLeftover = QString(".orv-%1-Ab12Cd").arg(dead);
    const QString running = QString(".orv-%1-Xy34Zw").arg(getpid()); // a copy of this process
    const QStringList kept = {running, ".orv-x-Ab12Cd", ".orvantis-1-Ab12Cd"};
    put(pc(deadLeftover), pattern(100));
    for (const QString& name : kept) put(pc(name), "keep");
    put(device("My Documents/a.tsk"), "a");
    connect();
    c->setPCFileNameToWrite(pc("a.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\a.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    QStringList expected = kept + QStringList{"a.tsk"};
    expected.sort();
    QStringList left = QDir(dir.path() + "/pc").entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, expected);
}

TEST_F(Control, NamedArgumentsAreTheOnesGetIDsOfNamesMaps)
{
    put(device("My Documents/a.tsk"), "12345");
    connect();
    IDispatch* d = c->crapi();
    LPWSTR names[] = {const_cast<LPWSTR>(u"GetPPCFileSize"), const_cast<LPWSTR>(u"strFile")};
    DISPID ids[2] = {};
    ASSERT_EQ(d->lpVtbl->GetIDsOfNames(d, IID_NULL, names, 2, 0, ids), S_OK);
    ASSERT_EQ(ids[1], 0);
    VARIANT arg{};
    arg.vt = VT_BSTR;
    arg.u.bstrVal = c->allocString("\\My Documents\\a.tsk");
    const struct {
        DISPID named;
        HRESULT expected;
        LONG size;
    } cases[] = {{ids[1], S_OK, 5}, {1, DISP_E_PARAMNOTFOUND, -1}, {DISPID_PROPERTYPUT, DISP_E_PARAMNOTFOUND, -1}};
    for (const auto& t : cases) {
        DISPID named = t.named;
        DISPPARAMS params{&arg, &named, 1, 1};
        VARIANT result{};
        UINT argErr = 99;
        EXPECT_EQ(d->lpVtbl->Invoke(d, DISPID_CRapi_GetPPCFileSize, IID_NULL, 0, DISPATCH_METHOD, &params, &result,
                                    nullptr, &argErr),
                  t.expected)
            << t.named;
        if (t.expected == S_OK) EXPECT_EQ(result.u.lVal, t.size);
        else EXPECT_EQ(argErr, 0u);
    }
    c->freeString(arg.u.bstrVal);
}

} // namespace
} // namespace orv::test
