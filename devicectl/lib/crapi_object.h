#pragma once
// The component objects of the library: CRapi behind its dual interface _CRapi, the control
// UCRapi behind _UCRapi, and the class factory that makes UCRapi.

#include "devicectl/cradlelink.h"

namespace orv::cradlelink {

// A new CRapi object with one reference, as _CRapi; null when memory runs out.
_CRapi* newCRapiObject();
// A new UCRapi control (it makes its CRapi in oRapi), with one reference.
_UCRapi* newUCRapiObject();
// The class factory for UCRapi, with one reference.
IClassFactory* newUCRapiFactory();




} // namespace orv::cradlelink
