// CRapi as a component object: one table of functions that serves IUnknown, IDispatch and the
// dual interface _CRapi. Invoke finds the member by id, checks the call's shape, changes each
// argument to the type the member takes, and turns a raised error into DISP_E_EXCEPTION with
// its EXCEPINFO. No C++ exception ever crosses the C interface.
#include "devicectl/lib/crapi_object.h"

#include "devicectl/lib/automation.h"
#include "devicectl/lib/crapi.h"
#include "devicectl/lib/dispatch_util.h"
#include "devicectl/lib/guid_util.h"
#include "devicectl/lib/variant_change.h"

#include <new>

namespace orv::cradlelink {

namespace {

enum class Kind { LongMethod, BoolMethod, VoidMethod, SizeMethod, StringGetPut, StringGet, StringPut, LongGet };

struct Member {
    DISPID id;
    const char* name;
    Kind kind;
    std::u16string CRapi::*field = nullptr;
};

const Member kMembers[] = {
    {DISPID_CRapi_ConnectRapi, "ConnectRapi", Kind::LongMethod},
    {DISPID_CRapi_DisconnectRapi, "DisconnectRapi", Kind::LongMethod},
    {DISPID_CRapi_FindFirstFile, "FindFirstFile", Kind::LongMethod},
    {DISPID_CRapi_FindNextFile, "FindNextFile", Kind::LongMethod},
    {DISPID_CRapi_FindClose, "FindClose", Kind::VoidMethod},
    {DISPID_CRapi_PPCFoundFile, "PPCFoundFile", Kind::StringGet, &CRapi::foundName},
    {DISPID_CRapi_PPCSearchPath, "PPCSearchPath", Kind::StringGetPut, &CRapi::searchPath},
    {DISPID_CRapi_PPCFileNameRead, "PPCFileNameRead", Kind::StringGet, &CRapi::foundName},
    {DISPID_CRapi_Attributes, "Attributes", Kind::LongGet},
    {DISPID_CRapi_PPCFileNameToRead, "PPCFileNameToRead", Kind::StringGetPut, &CRapi::ppcToRead},
    {DISPID_CRapi_PPCFileNameToWrite, "PPCFileNameToWrite", Kind::StringGetPut, &CRapi::ppcToWrite},
    {DISPID_CRapi_PPCFileToDelete, "PPCFileToDelete", Kind::StringPut, &CRapi::ppcToDelete},
    {DISPID_CRapi_PCFileNameToRead, "PCFileNameToRead", Kind::StringGetPut, &CRapi::pcToRead},
    {DISPID_CRapi_PCFileNameToWrite, "PCFileNameToWrite", Kind::StringGetPut, &CRapi::pcToWrite},
    {DISPID_CRapi_GetPPCFileSize, "GetPPCFileSize", Kind::SizeMethod},
    {DISPID_CRapi_TransferFileFromPPC, "TransferFileFromPPC", Kind::BoolMethod},
    {DISPID_CRapi_TransferFileToPPC, "TransferFileToPPC", Kind::BoolMethod},
    {DISPID_CRapi_LastError, "LastError", Kind::LongMethod},
    {DISPID_CRapi_DeletePPCFile, "DeletePPCFile", Kind::BoolMethod},
};

const Member* memberById(DISPID id)
{
    for (const Member& m : kMembers)
        if (m.id == id) return &m;
    return nullptr;
}

struct CRapiObject : _CRapi {
    std::atomic<ULONG> refs{1};
    CRapi state;

    CRapiObject();
    ~CRapiObject() { --gObjects; }
};

CRapiObject& object(_CRapi* self) { return *static_cast<CRapiObject*>(self); }

LONG callLong(CRapi& c, DISPID id)
{
    switch (id) {
    case DISPID_CRapi_ConnectRapi: return c.ConnectRapi();
    case DISPID_CRapi_DisconnectRapi: return c.DisconnectRapi();
    case DISPID_CRapi_FindFirstFile: return c.FindFirstFile();
    case DISPID_CRapi_FindNextFile: return c.FindNextFile();
    default: return c.LastError();
    }
}

bool callBool(CRapi& c, DISPID id)
{
    switch (id) {
    case DISPID_CRapi_TransferFileFromPPC: return c.TransferFileFromPPC();
    case DISPID_CRapi_TransferFileToPPC: return c.TransferFileToPPC();
    default: return c.DeletePPCFile();
    }
}

// ---- IUnknown and IDispatch --------------------------------------------------------------

HRESULT QueryInterface(_CRapi* self, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (sameGuid(riid, IID_IUnknown) || sameGuid(riid, IID_IDispatch) || sameGuid(riid, IID__CRapi)) {
        *ppv = self;
        ++object(self).refs;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG AddRef(_CRapi* self) { return ++object(self).refs; }

ULONG Release(_CRapi* self)
{
    const ULONG left = --object(self).refs;
    if (left == 0) delete &object(self);
    return left;
}

HRESULT GetTypeInfoCount(_CRapi*, UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT GetTypeInfo(_CRapi*, UINT, LCID, void** info)
{
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT GetIDsOfNames(_CRapi*, REFIID riid, LPWSTR* names, UINT count, LCID, DISPID* ids)
{
    if (!sameGuid(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    ids[0] = DISPID_UNKNOWN;
    for (const Member& m : kMembers)
        if (sameNameNoCase(names[0], m.name)) ids[0] = m.id;
    bool known = ids[0] != DISPID_UNKNOWN;
    // The one named argument: GetPPCFileSize's strFile.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = ids[0] == DISPID_CRapi_GetPPCFileSize && sameNameNoCase(names[i], "strFile") ? 0 : DISPID_UNKNOWN;
        known = known && ids[i] != DISPID_UNKNOWN;
    }
    return known ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT Invoke(_CRapi* self, DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
               VARIANT* result, EXCEPINFO* excep, UINT* argErr)
{
    if (!sameGuid(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const Member* m = memberById(id);
    if (!m) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{};
    if (!params) params = &none;
    CRapi& c = object(self).state;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!(flags & DISPATCH_PROPERTYPUT) || !(m->kind == Kind::StringGetPut || m->kind == Kind::StringPut))
            return DISP_E_MEMBERNOTFOUND;
        if (const HRESULT hr = checkPutShape(*params); hr != S_OK) return hr;
        std::u16string value;
        if (const HRESULT hr = variantToText(params->rgvarg[0], value); hr != S_OK) {
            if (argErr) *argErr = 0;
            return hr;
        }
        c.*(m->field) = std::move(value);
        return S_OK;
    }
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) || m->kind == Kind::StringPut)
        return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != (m->kind == Kind::SizeMethod ? 1u : 0u)) return DISP_E_BADPARAMCOUNT;
    if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;
    if (params->cNamedArgs > params->cArgs) return DISP_E_BADPARAMCOUNT;
    if (params->cNamedArgs > 0 && !params->rgdispidNamedArgs) return E_INVALIDARG;
    // Named arguments are those GetIDsOfNames maps: strFile, GetPPCFileSize's only one, at 0.
    for (UINT i = 0; i < params->cNamedArgs; ++i) {
        if (m->kind != Kind::SizeMethod || params->rgdispidNamedArgs[i] != 0) {
            if (argErr) *argErr = i;
            return DISP_E_PARAMNOTFOUND;
        }
    }

    return guardedInvoke(excep, [&] {
        VARIANT out{};
        switch (m->kind) {
        case Kind::LongMethod: out.vt = VT_I4; out.u.lVal = callLong(c, id); break;
        case Kind::BoolMethod: out.vt = VT_BOOL; out.u.boolVal = callBool(c, id) ? VARIANT_TRUE : VARIANT_FALSE; break;
        case Kind::VoidMethod: c.FindClose(); break;
        case Kind::LongGet: out.vt = VT_I4; out.u.lVal = c.Attributes(); break;
        case Kind::SizeMethod: {
            std::u16string file;
            if (const HRESULT hr = variantToText(params->rgvarg[0], file); hr != S_OK) {
                if (argErr) *argErr = 0;
                return hr;
            }
            out.vt = VT_I4;
            out.u.lVal = c.GetPPCFileSize(file);
            break;
        }
        default:
            if (result) {
                out.vt = VT_BSTR;
                out.u.bstrVal = makeBstr(c.*(m->field));
            }
            break;
        }
        if (result) *result = out;
        return S_OK;
    });
}

// ---- the dual interface's own slots ------------------------------------------------------

HRESULT dConnectRapi(_CRapi* s, LONG* r) { return guarded(r, [&] { *r = object(s).state.ConnectRapi(); }); }
HRESULT dDisconnectRapi(_CRapi* s, LONG* r) { return guarded(r, [&] { *r = object(s).state.DisconnectRapi(); }); }
HRESULT dFindFirstFile(_CRapi* s, LONG* r) { return guarded(r, [&] { *r = object(s).state.FindFirstFile(); }); }
HRESULT dFindNextFile(_CRapi* s, LONG* r) { return guarded(r, [&] { *r = object(s).state.FindNextFile(); }); }
HRESULT dFindClose(_CRapi* s) { return guarded(s, [&] { object(s).state.FindClose(); }); }
HRESULT dAttributes(_CRapi* s, LONG* r) { return guarded(r, [&] { *r = object(s).state.Attributes(); }); }
HRESULT dLastError(_CRapi* s, LONG* r) { return guarded(r, [&] { *r = object(s).state.LastError(); }); }
HRESULT dGetPPCFileSize(_CRapi* s, BSTR* file, LONG* r)
{
    return guarded(r, [&] { *r = object(s).state.GetPPCFileSize(file ? bstrText(*file) : std::u16string()); });
}
HRESULT dFromPPC(_CRapi* s, VARIANT_BOOL* r)
{
    return guarded(r, [&] { *r = object(s).state.TransferFileFromPPC() ? VARIANT_TRUE : VARIANT_FALSE; });
}
HRESULT dToPPC(_CRapi* s, VARIANT_BOOL* r)
{
    return guarded(r, [&] { *r = object(s).state.TransferFileToPPC() ? VARIANT_TRUE : VARIANT_FALSE; });
}
HRESULT dDelete(_CRapi* s, VARIANT_BOOL* r)
{
    return guarded(r, [&] { *r = object(s).state.DeletePPCFile() ? VARIANT_TRUE : VARIANT_FALSE; });
}

template <std::u16string CRapi::*Field>
HRESULT getString(_CRapi* s, BSTR* r)
{
    return guarded(r, [&] { *r = makeBstr(object(s).state.*Field); });
}

template <std::u16string CRapi::*Field>
HRESULT putString(_CRapi* s, BSTR v)
{
    return guarded(s, [&] { object(s).state.*Field = bstrText(v); });
}

const _CRapiVtbl kVtbl = {
    QueryInterface, AddRef, Release, GetTypeInfoCount, GetTypeInfo, GetIDsOfNames, Invoke,
    dConnectRapi, dDisconnectRapi, dFindFirstFile, dFindNextFile, dFindClose,
    getString<&CRapi::foundName>,
    getString<&CRapi::searchPath>, putString<&CRapi::searchPath>,
    getString<&CRapi::foundName>,
    dAttributes,
    getString<&CRapi::ppcToRead>, putString<&CRapi::ppcToRead>,
    getString<&CRapi::ppcToWrite>, putString<&CRapi::ppcToWrite>,
    putString<&CRapi::ppcToDelete>,
    getString<&CRapi::pcToRead>, putString<&CRapi::pcToRead>,
    getString<&CRapi::pcToWrite>, putString<&CRapi::pcToWrite>,
    dGetPPCFileSize, dFromPPC, dToPPC, dLastError, dDelete,
};

CRapiObject::CRapiObject()
{
    lpVtbl = &kVtbl;
    ++gObjects;
}

} // namespace

_CRapi* newCRapiObject()
{
    return new (std::nothrow) CRapiObject();
}

} // namespace orv::cradlelink
