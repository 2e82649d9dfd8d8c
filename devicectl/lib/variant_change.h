#pragma once
// Arguments as late-bound callers pass them: whatever Variant a caller holds is changed to the
// type the member takes, as the platform's VariantChangeType changes it.

#include "devicectl/cradlelink.h"

#include <string>

namespace orv::cradlelink {

// To text: numbers as their decimal text (single precision to 7 significant digits, double
// to 15), booleans as "-1" and "0", Empty as "", references followed (a reference to a Variant
// one level deep). Null and every other type give DISP_E_TYPEMISMATCH; a null reference
// E_INVALIDARG.
HRESULT variantToText(const VARIANT& v, std::u16string& out);

// To a 32-bit integer: fractions rounded half to even, text read as a number (blanks around
// it allowed), booleans -1 and 0, Empty 0. Out of range gives DISP_E_OVERFLOW; Null, text that
// is no number and every other type DISP_E_TYPEMISMATCH; a null reference E_INVALIDARG.
HRESULT variantToLong(const VARIANT& v, LONG& out);

} // namespace orv::cradlelink
