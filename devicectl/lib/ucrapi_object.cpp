// The control UCRapi: no picture of its own, only the CRapi object in its property oRapi,
// made when the control is and released with it. Also the class factory and the entry points
// that hand it out.
#include "devicectl/lib/automation.h"
#include "devicectl/lib/crapi_object.h"
#include "devicectl/lib/dispatch_util.h"
#include "devicectl/lib/guid_util.h"

#include <new>

namespace orv::cradlelink {

namespace {

struct UCRapiObject : _UCRapi {
    std::atomic<ULONG> refs{1};
    _CRapi* oRapi = nullptr;

    UCRapiObject();
    ~UCRapiObject()
    {
        if (oRapi) oRapi->lpVtbl->Release(oRapi);
        --gObjects;
    }
};

UCRapiObject& object(_UCRapi* self) { return *static_cast<UCRapiObject*>(self); }

HRESULT QueryInterface(_UCRapi* self, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_IDispatch) || sameGuid(riid, IID__UCRapi)) {
        *ppv = self;
        ++object(self).refs;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG AddRef(_UCRapi* self) { return ++object(self).refs; }

ULONG Release(_UCRapi* self)
{
    const ULONG left = --object(self).refs;
    if (left == 0) delete &object(self);
    return left;
}

HRESULT GetTypeInfoCount(_UCRapi*, UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT GetTypeInfo(_UCRapi*, UINT, LCID, void** info)
{
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT GetIDsOfNames(_UCRapi*, REFIID riid, LPWSTR* names, UINT count, LCID, DISPID* ids)
{
    if (!sameGuid(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count == 1 && sameNameNoCase(names[0], "oRapi")) ids[0] = DISPID_UCRapi_oRapi;
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT setORapi(UCRapiObject& o, _CRapi* value)
{
    _CRapi* kept = nullptr;
    if (value && value->lpVtbl->QueryInterface(value, IID__CRapi, reinterpret_cast<void**>(&kept)) != S_OK)
        return DISP_E_TYPEMISMATCH;
    if (o.oRapi) o.oRapi->lpVtbl->Release(o.oRapi);
    o.oRapi = kept;
    return S_OK;
}

HRESULT Invoke(_UCRapi* self, DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
               VARIANT* result, EXCEPINFO*, UINT* argErr)
{
    if (!sameGuid(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (id != DISPID_UCRapi_oRapi) return DISP_E_MEMBERNOTFOUND;
    UCRapiObject& o = object(self);
    DISPPARAMS none{};
    if (!params) params = &none;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        // oRapi is an object: it is set by reference only.
        if (!(flags & DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
        if (const HRESULT hr = checkPutShape(*params); hr != S_OK) return hr;
        const VARIANT& v = params->rgvarg[0];
        IDispatch* d = nullptr;
        if (v.vt == VT_DISPATCH) d = v.u.pdispVal;
        else if (v.vt == (VT_BYREF | VT_DISPATCH) && v.u.byref) d = *static_cast<IDispatch**>(v.u.byref);
        else {
            if (argErr) *argErr = 0;
            return DISP_E_TYPEMISMATCH;
        }
        const HRESULT hr = setORapi(o, reinterpret_cast<_CRapi*>(d));
        if (hr != S_OK && argErr) *argErr = 0;
        return hr;
    }
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (result) {
        result->vt = VT_DISPATCH;
        result->u.pdispVal = reinterpret_cast<IDispatch*>(o.oRapi);
        if (o.oRapi) o.oRapi->lpVtbl->AddRef(o.oRapi);
    }
    return S_OK;
}

HRESULT get_oRapi(_UCRapi* self, _CRapi** out)
{
    if (!out) return E_POINTER;
    *out = object(self).oRapi;
    if (*out) (*out)->lpVtbl->AddRef(*out);
    return S_OK;
}

HRESULT putref_oRapi(_UCRapi* self, _CRapi* value) { return setORapi(object(self), value); }

const _UCRapiVtbl kVtbl = {QueryInterface, AddRef,  Release,  GetTypeInfoCount, GetTypeInfo,
                           GetIDsOfNames,  Invoke, get_oRapi, putref_oRapi};

UCRapiObject::UCRapiObject()
{
    lpVtbl = &kVtbl;
    ++gObjects;
}

// ---- the class factory ---------------------------------------------------------------------

struct Factory : IClassFactory {
    std::atomic<ULONG> refs{1};
    Factory();
    ~Factory() { --gObjects; }
};

Factory& factory(IClassFactory* self) { return *static_cast<Factory*>(self); }

HRESULT fQueryInterface(IClassFactory* self, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_IClassFactory)) {
        *ppv = self;
        ++factory(self).refs;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG fAddRef(IClassFactory* self) { return ++factory(self).refs; }

ULONG fRelease(IClassFactory* self)
{
    const ULONG left = --factory(self).refs;
    if (left == 0) delete &factory(self);
    return left;
}

HRESULT fCreateInstance(IClassFactory*, IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    _UCRapi* control = newUCRapiObject();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT hr = control->lpVtbl->QueryInterface(control, riid, ppv);
    control->lpVtbl->Release(control);
    return hr;
}

HRESULT fLockServer(IClassFactory*, BOOL lock)
{
    if (lock) ++gLocks;
    else if (gLocks > 0) --gLocks;
    return S_OK;
}

const IClassFactoryVtbl kFactoryVtbl = {fQueryInterface, fAddRef, fRelease, fCreateInstance, fLockServer};

Factory::Factory()
{
    lpVtbl = &kFactoryVtbl;
    ++gObjects;
}

} // namespace

_UCRapi* newUCRapiObject()
{
    auto* control = new (std::nothrow) UCRapiObject();
    if (!control) return nullptr;
    control->oRapi = newCRapiObject();
    if (!control->oRapi) {
        delete control;
        return nullptr;
    }
    return control;
}

IClassFactory* newUCRapiFactory()
{
    return new (std::nothrow) Factory();
}

} // namespace orv::cradlelink

using namespace orv::cradlelink;

CRADLELINK_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // CRapi is made by the control only.
    if (!sameGuid(rclsid, CLSID_UCRapi)) return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* f = newUCRapiFactory();
    if (!f) return E_OUTOFMEMORY;
    const HRESULT hr = f->lpVtbl->QueryInterface(f, riid, ppv);
    f->lpVtbl->Release(f);
    return hr;
}

CRADLELINK_EXPORT HRESULT DllCanUnloadNow(void)
{
    return gObjects == 0 && gLocks == 0 ? S_OK : S_FALSE;
}
