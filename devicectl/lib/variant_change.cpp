// Variant coercion for the members' arguments and for the library's VariantChangeType export.
// Only the types a late-bound caller hands over are known; every other one is a mismatch, never
// a guess.
#include "devicectl/lib/variant_change.h"

#include "devicectl/lib/automation.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orv::cradlelink {

namespace {

// The value a Variant holds, with one reference (or a reference to a Variant) followed.
struct Plain {
    VARTYPE vt = VT_EMPTY;
    double number = 0;
    bool isInteger = false;
    LONG integer = 0;
    BSTR text = nullptr;
};

HRESULT plainOf(const VARIANT& given, Plain& out)
{
    const VARIANT* v = &given;
    if (v->vt == (VT_BYREF | VT_VARIANT)) {
        if (!v->u.pvarVal) return E_INVALIDARG;
        v = v->u.pvarVal;
        if (v->vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
    }
    const bool byRef = (v->vt & VT_BYREF) != 0;
    if (byRef && !v->u.byref) return E_INVALIDARG;
    out.vt = static_cast<VARTYPE>(v->vt & ~VT_BYREF);
    switch (out.vt) {
    case VT_EMPTY:
        if (byRef) return DISP_E_TYPEMISMATCH;
        out.isInteger = true;
        return S_OK;
    case VT_I2: out.integer = byRef ? *v->u.piVal : v->u.iVal; out.isInteger = true; return S_OK;
    case VT_I4: out.integer = byRef ? *v->u.plVal : v->u.lVal; out.isInteger = true; return S_OK;
    case VT_UI1: out.integer = byRef ? *v->u.pbVal : v->u.bVal; out.isInteger = true; return S_OK;
    case VT_BOOL:
        out.integer = (byRef ? *v->u.pboolVal : v->u.boolVal) ? -1 : 0;
        out.isInteger = true;
        return S_OK;
    case VT_R4: out.number = byRef ? *v->u.pfltVal : v->u.fltVal; return S_OK;
    case VT_R8: out.number = byRef ? *v->u.pdblVal : v->u.dblVal; return S_OK;
    case VT_BSTR: out.text = byRef ? *v->u.pbstrVal : v->u.bstrVal; return S_OK;
    default: return DISP_E_TYPEMISMATCH;
    }
}

std::u16string ascii(const char* text)
{
    std::u16string out;
    for (; *text; ++text) out += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return out;
}

HRESULT roundToLong(double value, LONG& out)
{
    if (std::isnan(value)) return DISP_E_OVERFLOW;
    // Halves go to the even neighbour, as the platform rounds (2.5 to 2, 3.5 to 4).
    double r = std::floor(value);
    const double rest = value - r;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    if (r < -2147483648.0 || r > 2147483647.0) return DISP_E_OVERFLOW;
    out = static_cast<LONG>(r);
    return S_OK;
}

} // namespace

HRESULT variantToText(const VARIANT& v, std::u16string& out)
{
    Plain p;
    if (const HRESULT hr = plainOf(v, p); hr != S_OK) return hr;
    char buffer[64];
    switch (p.vt) {
    case VT_EMPTY: out.clear(); return S_OK;
    case VT_BSTR: out = bstrText(p.text); return S_OK;
    case VT_R4: std::snprintf(buffer, sizeof buffer, "%.7G", p.number); break;
    case VT_R8: std::snprintf(buffer, sizeof buffer, "%.15G", p.number); break;
    default: std::snprintf(buffer, sizeof buffer, "%ld", static_cast<long>(p.integer)); break;
    }
    out = ascii(buffer);
    return S_OK;
}

HRESULT variantToLong(const VARIANT& v, LONG& out)
{
    Plain p;
    if (const HRESULT hr = plainOf(v, p); hr != S_OK) return hr;
    if (p.isInteger) {
        out = p.integer;
        return S_OK;
    }
    if (p.vt != VT_BSTR) return roundToLong(p.number, out);

    // Text: a decimal number with optional sign, fraction and exponent, blanks around it.
    const std::u16string text = bstrText(p.text);
    std::string narrow;
    for (const char16_t c : text) {
        if (c > 0x7F || c == 0) return DISP_E_TYPEMISMATCH;
        narrow += static_cast<char>(c);
    }
    const size_t first = narrow.find_first_not_of(" \t");
    const size_t last = narrow.find_last_not_of(" \t");
    if (first == std::string::npos) return DISP_E_TYPEMISMATCH;
    narrow = narrow.substr(first, last - first + 1);
    if (narrow.find_first_not_of("0123456789+-.eE") != std::string::npos) return DISP_E_TYPEMISMATCH;
    char* end = nullptr;
    const double value = std::strtod(narrow.c_str(), &end);
    if (end != narrow.c_str() + narrow.size()) return DISP_E_TYPEMISMATCH;
    return roundToLong(value, out);
}

} // namespace orv::cradlelink

using namespace orv::cradlelink;

// The platform's VariantChangeType for the targets this library knows: text and 32-bit
// integers. The result is cleared first; the source is left as it was.
CRADLELINK_EXPORT HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, WORD flags, VARTYPE vt)
{
    (void)flags;
    if (!dest || !src) return E_INVALIDARG;
    VARIANT result{};
    if (vt == VT_BSTR) {
        std::u16string text;
        if (const HRESULT hr = variantToText(*src, text); hr != S_OK) return hr;
        result.vt = VT_BSTR;
        result.u.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!result.u.bstrVal) return E_OUTOFMEMORY;
    } else if (vt == VT_I4) {
        LONG value = 0;
        if (const HRESULT hr = variantToLong(*src, value); hr != S_OK) return hr;
        result.vt = VT_I4;
        result.u.lVal = value;
    } else {
        return DISP_E_TYPEMISMATCH;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}
