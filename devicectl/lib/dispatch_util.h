#pragma once
// What both dispatch interfaces share: name matching, the shape of a property put and the
// translation of raised errors.

#include "devicectl/lib/automation.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace orv::cradlelink {

// Member names are ASCII; a name matches without regard to case.
inline bool sameNameNoCase(const WCHAR* name, const char* member)
{
    if (!name) return false;
    size_t i = 0;
    for (; member[i]; ++i) {
        char16_t a = name[i];
        char16_t b = static_cast<unsigned char>(member[i]);
        if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a + 32);
        if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b + 32);
        if (a != b) return false;
    }
    return name[i] == 0;
}

// A property put carries one argument, named DISPID_PROPERTYPUT.
inline HRESULT checkPutShape(const DISPPARAMS& p)
{
    if (p.cArgs != 1 || !p.rgvarg) return DISP_E_BADPARAMCOUNT;
    if (p.cNamedArgs != 1 || !p.rgdispidNamedArgs || p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTFOUND;
    return S_OK;
}

inline void fillExcepInfo(EXCEPINFO* excep, const AutomationError& e)
{
    if (!excep) return;
    std::memset(excep, 0, sizeof *excep);
    excep->scode = e.hresult();
    excep->bstrSource = SysAllocStringLen(u"Cradlelink", 10);
    excep->bstrDescription =
        SysAllocStringLen(e.description.data(), static_cast<UINT>(e.description.size()));
}

// Runs a member for Invoke: a raised error becomes DISP_E_EXCEPTION with its EXCEPINFO.
template <typename F>
HRESULT guardedInvoke(EXCEPINFO* excep, F&& body) noexcept
{
    try {
        return body();
    } catch (const AutomationError& e) {
        fillExcepInfo(excep, e);
    } catch (const std::bad_alloc&) {
        fillExcepInfo(excep, outOfMemory());
    } catch (const std::length_error&) {
        fillExcepInfo(excep, outOfMemory());
    } catch (...) {
        return E_UNEXPECTED;
    }
    return DISP_E_EXCEPTION;
}

// Runs a member for a dual-interface slot: a raised error becomes its result code.
template <typename P, typename F>
HRESULT guarded(P* out, F&& body) noexcept
{
    if (!out) return E_POINTER;
    try {
        body();
        return S_OK;
    } catch (const AutomationError& e) {
        return e.hresult();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace orv::cradlelink
