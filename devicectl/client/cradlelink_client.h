#pragma once
// How a host loads the Cradlelink control and drives it: the library is found through its
// registration (classes.ini) or beside the host's executable, loaded at run time, the control
// created through DllGetClassObject, and CRapi's members called by id through IDispatch::Invoke.
// A member that fails as a call throws AppError with the control's number and description.

#include "app/errors.h"
#include "devicectl/cradlelink.h"

#include <QString>
#include <functional>
#include <memory>

namespace orv::cradlelink {

// The library the registration names, when its group is present and the file exists.
QString registeredLibrary();
// The registered library, else libcradlelink.so in `programDir`.
QString locateLibrary(const QString& programDir);
// The folder the control loads the device link from unless ORVANTIS_RAPI_LIBRARY names one:
// the folder of the library locateLibrary finds, its links resolved as the control resolves them.
QString deviceLinkFolder(const QString& programDir);

class ControlHost {
public:
    // Loads the library and creates the control; null with a one-line reason on failure.
    static std::unique_ptr<ControlHost> load(const QString& libraryPath, QString* problem = nullptr);
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // The control's message boxes (text, title). Without a handler they go to stderr.
    void setMessageHandler(std::function<void(const QString& text, const QString& title)> handler);

    // Calls by member id on the control's CRapi.
    int callLong(DISPID id);
    bool callBool(DISPID id);
    void call(DISPID id);
    int getLong(DISPID id);
    QString getString(DISPID id);
    void putString(DISPID id, const QString& value);

    // The members by name.
    int ConnectRapi() { return callLong(DISPID_CRapi_ConnectRapi); }
    int DisconnectRapi() { return callLong(DISPID_CRapi_DisconnectRapi); }
    int FindFirstFile() { return callLong(DISPID_CRapi_FindFirstFile); }
    int FindNextFile() { return callLong(DISPID_CRapi_FindNextFile); }
    void FindClose() { call(DISPID_CRapi_FindClose); }
    int LastError() { return callLong(DISPID_CRapi_LastError); }
    int Attributes() { return getLong(DISPID_CRapi_Attributes); }
    QString PPCFoundFile() { return getString(DISPID_CRapi_PPCFoundFile); }
    void setPPCSearchPath(const QString& v) { putString(DISPID_CRapi_PPCSearchPath, v); }
    void setPPCFileNameToRead(const QString& v) { putString(DISPID_CRapi_PPCFileNameToRead, v); }
    void setPPCFileNameToWrite(const QString& v) { putString(DISPID_CRapi_PPCFileNameToWrite, v); }
    void setPPCFileToDelete(const QString& v) { putString(DISPID_CRapi_PPCFileToDelete, v); }
    void setPCFileNameToRead(const QString& v) { putString(DISPID_CRapi_PCFileNameToRead, v); }
    void setPCFileNameToWrite(const QString& v) { putString(DISPID_CRapi_PCFileNameToWrite, v); }
    // The argument goes by reference, as the window passes it.
    int GetPPCFileSize(const QString& file);
    bool TransferFileFromPPC() { return callBool(DISPID_CRapi_TransferFileFromPPC); }
    bool TransferFileToPPC() { return callBool(DISPID_CRapi_TransferFileToPPC); }
    bool DeletePPCFile() { return callBool(DISPID_CRapi_DeletePPCFile); }

    // One raw Invoke on CRapi; the result (if any) is the caller's to clear with clear().
    HRESULT invoke(DISPID id, WORD flags, VARIANT* args, UINT count, bool namedPut, VARIANT* result,
                   EXCEPINFO* excep);
    void clear(VARIANT* v) const { variantClear(v); }
    BSTR allocString(const QString& text) const;
    void freeString(BSTR s) const { sysFreeString(s); }
    IDispatch* control() const { return control_; }
    IDispatch* crapi() const { return crapi_; }
    void* libraryHandle() const { return library_; }

private:
    ControlHost() = default;
    [[noreturn]] void raise(HRESULT hr, EXCEPINFO& excep);
    VARIANT invokeOrThrow(DISPID id, WORD flags, VARIANT* args, UINT count, bool namedPut);

    void* library_ = nullptr;
    IDispatch* control_ = nullptr;
    IDispatch* crapi_ = nullptr;
    PFN_SysAllocStringLen sysAllocStringLen = nullptr;
    PFN_SysStringLen sysStringLen = nullptr;
    PFN_SysFreeString sysFreeString = nullptr;
    PFN_VariantClear variantClear = nullptr;
    PFN_DllCanUnloadNow canUnloadNow = nullptr;
    PFN_CradlelinkSetMessageHandler setHandler = nullptr;
    std::function<void(const QString&, const QString&)> handler_;
};

} // namespace orv::cradlelink
