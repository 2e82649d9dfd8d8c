#include "transfer/cradlelink_control.h"

#include "app/errors.h"
#include "devicectl/cradlelink.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QFile>
#include <cstring>
#include <dlfcn.h>

// The host's half of the component model: the library is found through its registration,
// the control created through its class factory, and every member of CRapi reached by
// IDispatch::Invoke with its member id. Strings we hand over are ours to free, strings
// handed back are freed with the library's own SysFreeString.

namespace orv {

namespace {

constexpr int kErrTypeMismatch = 13;
constexpr int kErrClassNotRegistered = 429; // "ActiveX component can't create object"

QString cradlelinkSource() { return QStringLiteral(CRADLELINK_MESSAGE_TITLE); }

QString guidText(const GUID& g)
{
    return QString::asprintf("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                             g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                             g.Data4[5], g.Data4[6], g.Data4[7]);
}

// The library registered for Cradlelink.UCRapi, else the one installed beside the program.
QString registeredLibrary()
{
    const QString ini = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
                        CRADLELINK_REGISTRY_DIR + '/' + CRADLELINK_REGISTRY_FILE;
    if (QFileInfo(ini).isFile()) {
        QSettings reg(ini, QSettings::IniFormat);
        reg.beginGroup(CRADLELINK_PROGID);
        const QString path = reg.value("InprocServer32").toString();
        const QString clsid = reg.value("CLSID").toString();
        if (!path.isEmpty() && clsid.compare(guidText(CLSID_UCRapi), Qt::CaseInsensitive) == 0) return path;
    }
    return QCoreApplication::applicationDirPath() + '/' + CRADLELINK_LIBRARY_NAME;
}

class DispatchControl final : public CradlelinkControl, public RapiObject {
public:
    explicit DispatchControl(ControlMessageHandler handler) : handler_(std::move(handler)) { load(); }
    ~DispatchControl() override { unload(); }

    RapiObject& oRapi() override { return *this; }

    int ConnectRapi() override { return callLong(DISPID_CRapi_ConnectRapi); }
    int DisconnectRapi() override { return callLong(DISPID_CRapi_DisconnectRapi); }
    int LastError() override { return callLong(DISPID_CRapi_LastError); }
    int FindFirstFile() override { return callLong(DISPID_CRapi_FindFirstFile); }
    int FindNextFile() override { return callLong(DISPID_CRapi_FindNextFile); }
    QString PPCFoundFile() override { return getString(DISPID_CRapi_PPCFoundFile); }
    int Attributes() override { return toLong(invoke(DISPID_CRapi_Attributes, DISPATCH_PROPERTYGET)); }
    void setPPCSearchPath(const QString& v) override { putString(DISPID_CRapi_PPCSearchPath, v); }
    void setPCFileNameToWrite(const QString& v) override { putString(DISPID_CRapi_PCFileNameToWrite, v); }
    void setPPCFileNameToRead(const QString& v) override { putString(DISPID_CRapi_PPCFileNameToRead, v); }
    void setPCFileNameToRead(const QString& v) override { putString(DISPID_CRapi_PCFileNameToRead, v); }
    void setPPCFileNameToWrite(const QString& v) override { putString(DISPID_CRapi_PPCFileNameToWrite, v); }
    void setPPCFileToDelete(const QString& v) override { putString(DISPID_CRapi_PPCFileToDelete, v); }
    bool TransferFileFromPPC() override { return callLong(DISPID_CRapi_TransferFileFromPPC) != 0; }
    bool TransferFileToPPC() override { return callLong(DISPID_CRapi_TransferFileToPPC) != 0; }
    bool DeletePPCFile() override { return callLong(DISPID_CRapi_DeletePPCFile) != 0; }

    int GetPPCFileSize(const QString& deviceFile) override
    {
        // strFile goes by reference, as the member declares it.
        BSTR text = allocString(deviceFile);
        VARIANT arg;
        variantInit(arg);
        arg.vt = VT_BSTR | VT_BYREF;
        arg.u.pbstrVal = &text;
        struct Free {
            const DispatchControl* self;
            BSTR* text;
            ~Free() { self->free_(*text); }
        } guard{this, &text};
        return toLong(invoke(DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, &arg, 1));
    }

private:
    template <class F> F symbol(const char* name)
    {
        void* p = dlsym(lib_, name);
        if (!p)
            throw AppError(453, cradlelinkSource(),
                           QString("Can't find DLL entry point %1 in %2").arg(name, CRADLELINK_LIBRARY_NAME));
        return reinterpret_cast<F>(p);
    }

    void load()
    {
        const QString path = registeredLibrary();
        lib_ = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!lib_)
            throw AppError(kErrClassNotRegistered, cradlelinkSource(), "ActiveX component can't create object");
        try {
            auto getClassObject = symbol<PFN_DllGetClassObject>("DllGetClassObject");
            alloc_ = symbol<PFN_SysAllocStringLen>("SysAllocStringLen");
            length_ = symbol<PFN_SysStringLen>("SysStringLen");
            free_ = symbol<PFN_SysFreeString>("SysFreeString");
            clear_ = symbol<PFN_VariantClear>("VariantClear");
            setHandler_ = symbol<PFN_CradlelinkSetMessageHandler>("CradlelinkSetMessageHandler");
            setHandler_(&DispatchControl::onMessage, this);

            IClassFactory* factory = nullptr;
            check(getClassObject(CLSID_UCRapi, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
            if (!factory) throw AppError(kErrClassNotRegistered, cradlelinkSource(), "No class factory");
            const HRESULT hr = factory->lpVtbl->CreateInstance(factory, nullptr, IID_IDispatch,
                                                               reinterpret_cast<void**>(&control_));
            factory->lpVtbl->Release(factory);
            check(hr);
            if (!control_) throw AppError(kErrClassNotRegistered, cradlelinkSource(), "No control");

            VARIANT result = invokeOn(control_, DISPID_UCRapi_oRapi, DISPATCH_PROPERTYGET, nullptr, 0);
            if (result.vt != VT_DISPATCH || !result.u.pdispVal) {
                clear_(&result);
                throw AppError(kErrTypeMismatch, cradlelinkSource(), "Type mismatch");
            }
            rapi_ = result.u.pdispVal; // the reference the property handed over is ours
        } catch (...) {
            unload();
            throw;
        }
    }

    void unload()
    {
        if (rapi_) rapi_->lpVtbl->Release(rapi_);
        if (control_) control_->lpVtbl->Release(control_);
        rapi_ = control_ = nullptr;
        if (setHandler_) setHandler_(nullptr, nullptr);
        setHandler_ = nullptr;
        if (lib_) {
            auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(lib_, "DllCanUnloadNow"));
            if (canUnload && canUnload() == S_OK) dlclose(lib_);
            lib_ = nullptr;
        }
    }

    static void onMessage(void* context, const WCHAR* text, const WCHAR* title)
    {
        auto* self = static_cast<DispatchControl*>(context);
        if (!self || !self->handler_) return;
        // Nothing may unwind through the library's frames.
        try {
            Q_UNUSED(title);
            self->handler_(text ? QString::fromUtf16(text) : QString());
        } catch (...) {
        }
    }

    static void variantInit(VARIANT& v)
    {
        std::memset(&v, 0, sizeof v);
        v.vt = VT_EMPTY;
    }

    BSTR allocString(const QString& s) const
    {
        BSTR b = alloc_(reinterpret_cast<const WCHAR*>(s.utf16()), static_cast<UINT>(s.size()));
        if (!b && !s.isEmpty()) throw AppError(7, cradlelinkSource(), "Out of memory");
        return b;
    }

    QString takeString(BSTR b) const
    {
        if (!b) return {};
        const QString s = QString::fromUtf16(reinterpret_cast<const char16_t*>(b), length_(b));
        free_(b);
        return s;
    }

    void check(HRESULT hr) const
    {
        if (hr >= 0) return;
        throw AppError(hr, cradlelinkSource(),
                       QString("Automation error 0x%1").arg(static_cast<uint32_t>(hr), 8, 16, QChar('0')));
    }

    // An error the member raised: its number, source and description as the control gave them.
    AppError errorOf(HRESULT hr, EXCEPINFO& ex) const
    {
        if (ex.pfnDeferredFillIn) ex.pfnDeferredFillIn(&ex);
        QString source = takeString(ex.bstrSource);
        QString description = takeString(ex.bstrDescription);
        takeString(ex.bstrHelpFile);
        int number = hr;
        if (hr == DISP_E_EXCEPTION) {
            const uint32_t scode = static_cast<uint32_t>(ex.scode);
            if (ex.wCode) number = ex.wCode;
            else if ((scode & 0xFFFF0000u) == 0x800A0000u) number = static_cast<int>(scode & 0xFFFFu);
            else if (scode) number = ex.scode;
        }
        if (source.isEmpty()) source = cradlelinkSource();
        if (description.isEmpty())
            description = QString("Automation error 0x%1").arg(static_cast<uint32_t>(hr), 8, 16, QChar('0'));
        return AppError(number, source, description);
    }

    VARIANT invokeOn(IDispatch* target, DISPID id, WORD flags, VARIANT* args, UINT count) const
    {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{args, nullptr, count, 0};
        if (flags & DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
        VARIANT result;
        variantInit(result);
        EXCEPINFO ex;
        std::memset(&ex, 0, sizeof ex);
        UINT argError = 0;
        const HRESULT hr = target->lpVtbl->Invoke(target, id, IID_NULL, 0, flags, &params,
                                                  (flags & DISPATCH_PROPERTYPUT) ? nullptr : &result,
                                                  &ex, &argError);
        if (hr < 0) {
            clear_(&result);
            throw errorOf(hr, ex);
        }
        return result;
    }

    VARIANT invoke(DISPID id, WORD flags, VARIANT* args = nullptr, UINT count = 0)
    {
        return invokeOn(rapi_, id, flags, args, count);
    }

    // Numbers and booleans come back as Long, Integer or Boolean; nothing else is accepted.
    int toLong(VARIANT v) const
    {
        switch (v.vt) {
        case VT_I4: return v.u.lVal;
        case VT_I2: return v.u.iVal;
        case VT_BOOL: return v.u.boolVal;
        default:
            clear_(&v);
            throw AppError(kErrTypeMismatch, cradlelinkSource(), "Type mismatch");
        }
    }

    int callLong(DISPID id) { return toLong(invoke(id, DISPATCH_METHOD)); }

    QString getString(DISPID id)
    {
        VARIANT v = invoke(id, DISPATCH_PROPERTYGET);
        if (v.vt == VT_EMPTY) return {};
        if (v.vt != VT_BSTR) {
            clear_(&v);
            throw AppError(kErrTypeMismatch, cradlelinkSource(), "Type mismatch");
        }
        return takeString(v.u.bstrVal);
    }

    void putString(DISPID id, const QString& value)
    {
        VARIANT arg;
        variantInit(arg);
        arg.vt = VT_BSTR;
        arg.u.bstrVal = allocString(value);
        struct Free {
            const DispatchControl* self;
            BSTR text;
            ~Free() { self->free_(text); }
        } guard{this, arg.u.bstrVal};
        invoke(id, DISPATCH_PROPERTYPUT, &arg, 1);
    }

    ControlMessageHandler handler_;
    void* lib_ = nullptr;
    PFN_SysAllocStringLen alloc_ = nullptr;
    PFN_SysStringLen length_ = nullptr;
    PFN_SysFreeString free_ = nullptr;
    PFN_VariantClear clear_ = nullptr;
    PFN_CradlelinkSetMessageHandler setHandler_ = nullptr;
    IDispatch* control_ = nullptr;
    IDispatch* rapi_ = nullptr;
};

} // namespace

std::unique_ptr<CradlelinkControl> CradlelinkControl::create(ControlMessageHandler handler)
{
    return std::make_unique<DispatchControl>(std::move(handler));
}

} // namespace orv
