// The module's four exported entry points (vorncal.def names them).
#include <olectl.h>
#include <windows.h>

#include "calendar/activex/ClassFactory.h"
#include "calendar/activex/ServerModule.h"
#include "calendar/activex/SystemRegistry.h"
#include "calendar/activex/TypeLibrary.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/Registration.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "platform/Win32Text.h"

using namespace quirn;
using namespace quirn::activex;

namespace {

HRESULT registerTypeLibrary() {
    ITypeLib* lib = nullptr;
    HRESULT hr = loadTypeLibrary(&lib);
    if (FAILED(hr)) return hr;
    std::wstring path = serverModule().path();
    hr = RegisterTypeLib(lib, path.data(), nullptr);
    lib->Release();
    return hr;
}

HRESULT unregisterTypeLibrary() {
    const GUID lib = toGuid(vorncal::kLibId);
    // A library not registered is nothing to undo.
    BSTR registered = nullptr;
    if (FAILED(QueryPathOfRegTypeLib(lib, vorncal::kTypeLibMajor, vorncal::kTypeLibMinor,
                                     LOCALE_NEUTRAL, &registered)))
        return S_OK;
    SysFreeString(registered);
    return UnRegisterTypeLib(lib, vorncal::kTypeLibMajor, vorncal::kTypeLibMinor, LOCALE_NEUTRAL,
                             SYS_WIN64);
}

}  // namespace

extern "C" {

HRESULT WINAPI DllRegisterServer() {
    if (FAILED(registerTypeLibrary())) return SELFREG_E_TYPELIB;
    const std::string path = win32::narrowed(serverModule().path());
    if (!writeClassesRoot(vorncal::classEntries(path))) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT WINAPI DllUnregisterServer() {
    if (FAILED(unregisterTypeLibrary())) return SELFREG_E_TYPELIB;
    if (!removeClassesRootTrees(vorncal::classKeys())) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return ClassFactory::create(clsid, iid, out);
}

HRESULT WINAPI DllCanUnloadNow() {
    return serverModule().canUnload() ? S_OK : S_FALSE;
}

}  // extern "C"
