#pragma once
#include <oaidl.h>

#include "calendar/com/Guid.h"

namespace quirn::activex {

// The module's own type library (its TYPELIB resource), loaded without touching the registry.
// Both return an added reference, or null and the failure code.
HRESULT loadTypeLibrary(ITypeLib** out);
HRESULT typeInfoOf(const com::Guid& guid, ITypeInfo** out);

}  // namespace quirn::activex
