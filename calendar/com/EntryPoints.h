#pragma once
#include "calendar/com/Guid.h"
#include "calendar/com/HResult.h"

// The four self-registration entry points every in-process control module exports, as plain C
// functions a host finds by name.
extern "C" {
// Writes the type library's and the classes' entries into the registry file: kOk,
// kSelfRegTypeLib when the type library's could not be written, kSelfRegClass when the classes'
// could not.
quirn::com::HResult DllRegisterServer();
// Removes them in the same order with the same codes; entries already gone are no failure.
quirn::com::HResult DllUnregisterServer();
// The class factory of `clsid` as interface `iid`; kClassNotAvailable for an unknown class.
quirn::com::HResult DllGetClassObject(const quirn::com::Guid* clsid, const quirn::com::Guid* iid,
                                      void** out);
// kOk when no object of the module lives and no lock is held, else kFalse.
quirn::com::HResult DllCanUnloadNow();
}

namespace quirn::com {

using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();
using DllGetClassObjectFn = HResult (*)(const Guid*, const Guid*, void**);
using DllCanUnloadNowFn = HResult (*)();

inline constexpr const char* kDllRegisterServer = "DllRegisterServer";
inline constexpr const char* kDllUnregisterServer = "DllUnregisterServer";
inline constexpr const char* kDllGetClassObject = "DllGetClassObject";
inline constexpr const char* kDllCanUnloadNow = "DllCanUnloadNow";

}  // namespace quirn::com
