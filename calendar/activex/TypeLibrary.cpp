#include "calendar/activex/TypeLibrary.h"

#include "calendar/activex/ServerModule.h"
#include "calendar/activex/WinGuid.h"

namespace quirn::activex {

HRESULT loadTypeLibrary(ITypeLib** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const std::wstring path = serverModule().path();
    if (path.empty()) return E_FAIL;
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, out);
}

HRESULT typeInfoOf(const com::Guid& guid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ITypeLib* lib = nullptr;
    HRESULT hr = loadTypeLibrary(&lib);
    if (FAILED(hr)) return hr;
    const GUID g = toGuid(guid);
    hr = lib->GetTypeInfoOfGuid(g, out);
    lib->Release();
    return hr;
}

}  // namespace quirn::activex
