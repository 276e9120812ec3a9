// The module's four exported entry points; everything else in the library stays hidden.
#include "calendar/com/EntryPoints.h"

#include "calendar/com/Registration.h"
#include "calendar/com/RegistryFile.h"
#include "calendar/control/ClassFactory.h"
#include "calendar/control/Module.h"

using namespace quirn::com;

extern "C" {

[[gnu::visibility("default")]] HResult DllRegisterServer() {
    return quirn::vorncal::registerServer(defaultRegistryPath(), quirn::vorncal::modulePath());
}

[[gnu::visibility("default")]] HResult DllUnregisterServer() {
    return quirn::vorncal::unregisterServer(defaultRegistryPath());
}

[[gnu::visibility("default")]] HResult DllGetClassObject(const Guid* clsid, const Guid* iid,
                                                         void** out) {
    if (!out) return kPointerError;
    *out = nullptr;
    if (!clsid || !iid) return kInvalidArg;
    return quirn::vorncal::ClassFactory::create(*clsid, *iid, out);
}

[[gnu::visibility("default")]] HResult DllCanUnloadNow() {
    return quirn::vorncal::canUnload() ? kOk : kFalse;
}

}  // extern "C"
