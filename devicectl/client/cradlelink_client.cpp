// Loading the control library the way the editor does, and calling CRapi through Invoke.
#include "devicectl/client/cradlelink_client.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <dlfcn.h>

namespace orv::cradlelink {

namespace {

QString configFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return (xdg.isEmpty() ? QDir::homePath() + "/.config" : xdg) + "/" CRADLELINK_REGISTRY_DIR;
}

template <typename T>
T symbol(void* library, const char* name)
{
    return reinterpret_cast<T>(dlsym(library, name));
}

void messageTrampoline(void* context, const WCHAR* text, const WCHAR* title)
{
    auto* host = static_cast<std::function<void(const QString&, const QString&)>*>(context);
    (*host)(QString::fromUtf16(text), QString::fromUtf16(title));
}

} // namespace

QString registeredLibrary()
{
    QFile file(configFolder() + "/" CRADLELINK_REGISTRY_FILE);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            inGroup = line.compare("[" CRADLELINK_PROGID "]", Qt::CaseInsensitive) == 0;
        } else if (inGroup && line.startsWith("InprocServer32=", Qt::CaseInsensitive)) {
            const QString path = line.mid(int(sizeof("InprocServer32=")) - 1).trimmed();
            return QFileInfo(path).isAbsolute() && QFileInfo::exists(path) ? path : QString();
        }
    }
    return {};
}

QString locateLibrary(const QString& programDir)
{
    const QString registered = registeredLibrary();
    return registered.isEmpty() ? programDir + "/" CRADLELINK_LIBRARY_NAME : registered;
}

QString deviceLinkFolder(const QString& programDir)
{
    const QFileInfo control(locateLibrary(programDir));
    const QString real = control.canonicalFilePath();
    return real.isEmpty() ? control.absolutePath() : QFileInfo(real).absolutePath();
}

std::unique_ptr<ControlHost> ControlHost::load(const QString& libraryPath, QString* problem)
{
    auto fail = [&](const QString& why) {
        if (problem) *problem = why;
        return std::unique_ptr<ControlHost>();
    };
    std::unique_ptr<ControlHost> host(new ControlHost);
    host->library_ = dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!host->library_) return fail("cannot load " + libraryPath + ": " + QString::fromLocal8Bit(dlerror()));
    void* lib = host->library_;
    const auto getClassObject = symbol<PFN_DllGetClassObject>(lib, "DllGetClassObject");
    host->sysAllocStringLen = symbol<PFN_SysAllocStringLen>(lib, "SysAllocStringLen");
    host->sysStringLen = symbol<PFN_SysStringLen>(lib, "SysStringLen");
    host->sysFreeString = symbol<PFN_SysFreeString>(lib, "SysFreeString");
    host->variantClear = symbol<PFN_VariantClear>(lib, "VariantClear");
    host->canUnloadNow = symbol<PFN_DllCanUnloadNow>(lib, "DllCanUnloadNow");
    host->setHandler = symbol<PFN_CradlelinkSetMessageHandler>(lib, "CradlelinkSetMessageHandler");
    if (!getClassObject || !host->sysAllocStringLen || !host->sysStringLen || !host->sysFreeString ||
        !host->variantClear || !host->canUnloadNow || !host->setHandler)
        return fail(libraryPath + " is not the Cradlelink control");

    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_UCRapi, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (hr != S_OK || !factory) return fail(QString("no class factory for %1 (0x%2)").arg(CRADLELINK_PROGID).arg(uint32_t(hr), 8, 16, QChar('0')));
    hr = factory->lpVtbl->CreateInstance(factory, nullptr, IID_IDispatch, reinterpret_cast<void**>(&host->control_));
    factory->lpVtbl->Release(factory);
    if (hr != S_OK || !host->control_) return fail("the control cannot be created");

    DISPPARAMS none{};
    VARIANT result{};
    hr = host->control_->lpVtbl->Invoke(host->control_, DISPID_UCRapi_oRapi, IID_NULL, 0, DISPATCH_PROPERTYGET,
                                         &none, &result, nullptr, nullptr);
    if (hr != S_OK || result.vt != VT_DISPATCH || !result.u.pdispVal) {
        host->variantClear(&result);
        return fail("the control has no oRapi object");
    }
    host->crapi_ = result.u.pdispVal;
    return host;
}

ControlHost::~ControlHost()
{
    if (setHandler && handler_) setHandler(nullptr, nullptr);
    if (crapi_) crapi_->lpVtbl->Release(crapi_);
    if (control_) control_->lpVtbl->Release(control_);
    if (library_ && canUnloadNow && canUnloadNow() == S_OK) dlclose(library_);
}

void ControlHost::setMessageHandler(std::function<void(const QString&, const QString&)> handler)
{
    handler_ = std::move(handler);
    setHandler(handler_ ? messageTrampoline : nullptr, handler_ ? &handler_ : nullptr);
}

BSTR ControlHost::allocString(const QString& text) const
{
    return sysAllocStringLen(reinterpret_cast<const WCHAR*>(text.utf16()), static_cast<UINT>(text.size()));
}

HRESULT ControlHost::invoke(DISPID id, WORD flags, VARIANT* args, UINT count, bool namedPut, VARIANT* result,
                            EXCEPINFO* excep)
{
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, namedPut ? &putId : nullptr, count, namedPut ? 1u : 0u};
    UINT argErr = 0;
    return crapi_->lpVtbl->Invoke(crapi_, id, IID_NULL, 0, flags, &params, result, excep, &argErr);
}

void ControlHost::raise(HRESULT hr, EXCEPINFO& excep)
{
    QString source = "Cradlelink";
    QString description = "Automation error";
    int number = static_cast<int>(hr);
    if (hr == DISP_E_EXCEPTION) {
        number = static_cast<int>(excep.scode);
        if (excep.bstrSource) source = QString::fromUtf16(excep.bstrSource, sysStringLen(excep.bstrSource));
        if (excep.bstrDescription)
            description = QString::fromUtf16(excep.bstrDescription, sysStringLen(excep.bstrDescription));
    }
    sysFreeString(excep.bstrSource);
    sysFreeString(excep.bstrDescription);
    sysFreeString(excep.bstrHelpFile);
    // The control's own errors carry their number in the low word, as the caller knows them.
    if ((static_cast<uint32_t>(number) & 0xFFFF0000u) == 0x800A0000u) number &= 0xFFFF;
    throw AppError(number, source, description);
}

VARIANT ControlHost::invokeOrThrow(DISPID id, WORD flags, VARIANT* args, UINT count, bool namedPut)
{
    VARIANT result{};
    EXCEPINFO excep{};
    const HRESULT hr = invoke(id, flags, args, count, namedPut, &result, &excep);
    if (hr != S_OK) raise(hr, excep);
    return result;
}

int ControlHost::callLong(DISPID id)
{
    VARIANT r = invokeOrThrow(id, DISPATCH_METHOD, nullptr, 0, false);
    const int value = r.vt == VT_I4 ? r.u.lVal : 0;
    variantClear(&r);
    return value;
}

bool ControlHost::callBool(DISPID id)
{
    VARIANT r = invokeOrThrow(id, DISPATCH_METHOD, nullptr, 0, false);
    const bool value = r.vt == VT_BOOL && r.u.boolVal != VARIANT_FALSE;
    variantClear(&r);
    return value;
}

void ControlHost::call(DISPID id)
{
    VARIANT r = invokeOrThrow(id, DISPATCH_METHOD, nullptr, 0, false);
    variantClear(&r);
}

int ControlHost::getLong(DISPID id)
{
    VARIANT r = invokeOrThrow(id, DISPATCH_PROPERTYGET, nullptr, 0, false);
    const int value = r.vt == VT_I4 ? r.u.lVal : 0;
    variantClear(&r);
    return value;
}

QString ControlHost::getString(DISPID id)
{
    VARIANT r = invokeOrThrow(id, DISPATCH_PROPERTYGET, nullptr, 0, false);
    QString value;
    if (r.vt == VT_BSTR && r.u.bstrVal) value = QString::fromUtf16(r.u.bstrVal, sysStringLen(r.u.bstrVal));
    variantClear(&r);
    return value;
}

void ControlHost::putString(DISPID id, const QString& value)
{
    VARIANT arg{};
    arg.vt = VT_BSTR;
    arg.u.bstrVal = allocString(value);
    struct Free {
        ControlHost* h;
        BSTR s;
        ~Free() { h->sysFreeString(s); }
    } guard{this, arg.u.bstrVal};
    VARIANT r = invokeOrThrow(id, DISPATCH_PROPERTYPUT, &arg, 1, true);
    variantClear(&r);
}

int ControlHost::GetPPCFileSize(const QString& file)
{
    BSTR text = allocString(file);
    VARIANT arg{};
    arg.vt = VT_BYREF | VT_BSTR;
    arg.u.pbstrVal = &text;
    struct Free {
        ControlHost* h;
        BSTR* s;
        ~Free() { h->sysFreeString(*s); }
    } guard{this, &text};
    VARIANT r = invokeOrThrow(DISPID_CRapi_GetPPCFileSize, DISPATCH_METHOD, &arg, 1, false);
    const int value = r.vt == VT_I4 ? r.u.lVal : 0;
    variantClear(&r);
    return value;
}

} // namespace orv::cradlelink
