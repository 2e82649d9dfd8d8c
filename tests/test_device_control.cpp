// The Cradlelink control through its dispatch interface against a handheld folder: searches,
// the named properties, the copies both ways, deletion, the control's boxes and errors, CE path
// rules and paths that try to leave the device folder.
#include "device_test_kit.h"

#include <sys/stat.h>

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
    VARIANT number{};
    number.vt = VT_I4;
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
        {DISPID_CRapi_PPCSearchPath, DISPATCH_PROPERTYPUT, &number, 1, true, DISP_E_TYPEMISMATCH},
        {DISPID_CRapi_PPCFileToDelete, DISPATCH_PROPERTYGET, nullptr, 0, false, DISP_E_MEMBERNOTFOUND},
        {DISPID_CRapi_PPCFoundFile, DISPATCH_PROPERTYPUT, &text, 1, true, DISP_E_MEMBERNOTFOUND},
        {DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, nullptr, 0, false, DISP_E_BADPARAMCOUNT},
        {DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, &number, 1, false, DISP_E_TYPEMISMATCH},
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

} // namespace
} // namespace orv::test
