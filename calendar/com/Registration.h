#pragma once
#include <optional>
#include <string>

#include "calendar/com/Guid.h"
#include "calendar/com/HResult.h"

namespace quirn::vorncal {

using com::Guid;
using com::HResult;

// Self-registration of the calendar module into a registry file (RegistryFile). `modulePath`
// is the shared library's own file, written as the classes' in-process server.
//
// Registers the type library (its key and its two interfaces), then the classes (control and
// property page: class keys, ProgIDs, "Insertable", apartment threading, misc status). Each
// step loads, changes and saves the file on its own. Returns kOk, kSelfRegTypeLib when the
// first step could not read or write the file, kSelfRegClass when the second could not.
HResult registerServer(const std::string& registryPath, const std::string& modulePath);
// Removes what registerServer wrote, in the same order with the same codes. Keys already gone
// are no failure, and a file with nothing to remove is left untouched.
HResult unregisterServer(const std::string& registryPath);

// What a host needs to find a registered class: the ProgID's class and the class's module.
std::optional<Guid> classFromProgId(const std::string& registryPath, const std::string& progId);
std::optional<std::string> registeredModule(const std::string& registryPath, const Guid& clsid);

// Registry keys, for hosts and tests.
std::string classKey(const Guid& clsid);
std::string progIdKey(const std::string& progId);
std::string typeLibKey(const Guid& libId);
std::string interfaceKey(const Guid& iid);

inline constexpr const char* kInprocServer = "InprocServer32";
inline constexpr const char* kThreadingModelName = "ThreadingModel";
inline constexpr const char* kApartmentThreading = "Apartment";

}  // namespace quirn::vorncal
