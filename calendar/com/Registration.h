#pragma once
#include <optional>
#include <string>
#include <vector>

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

// One line of what self-registration writes: a named value of a key ("@" names the default
// value), or a key that stands without values. Both builds write the same list: a registry file
// here, the system's registry in the Windows module.
struct RegistryEntry {
    std::string key;
    std::string name;
    std::string value;
    bool keyOnly = false;
};

// The type library's entries (the Windows module leaves these to the system's type library
// registration) and the classes' entries (control and property page: class keys, ProgIDs,
// "Insertable", "Control", apartment threading, misc status, type library, version).
std::vector<RegistryEntry> typeLibraryEntries(const std::string& modulePath);
std::vector<RegistryEntry> classEntries(const std::string& modulePath);
// The keys whose trees unregistration removes, for each of the two steps.
std::vector<std::string> typeLibraryKeys();
std::vector<std::string> classKeys();

// Every key above starts with this; the Windows module opens the rest below the real root.
inline constexpr const char* kClassesRootPrefix = "HKEY_CLASSES_ROOT\\";
// The drawing aspect (DVASPECT_CONTENT) under which the misc status bits are registered.
inline constexpr const char* kMiscStatusAspect = "1";

// Registry keys, for hosts and tests.
std::string classKey(const Guid& clsid);
std::string progIdKey(const std::string& progId);
std::string typeLibKey(const Guid& libId);
std::string interfaceKey(const Guid& iid);

inline constexpr const char* kInprocServer = "InprocServer32";
inline constexpr const char* kThreadingModelName = "ThreadingModel";
inline constexpr const char* kApartmentThreading = "Apartment";

}  // namespace quirn::vorncal
