#pragma once
#include <string>

#include "calendar/com/EntryPoints.h"

namespace quirn::vorncal {

// An in-process control module loaded by its file, reached only through its four exported
// entry points. The module stays loaded for the rest of the process (as a host keeps a control
// library while any window may still hold its objects).
class ControlModule {
  public:
    // Loads the module and finds its entry points; on failure `error` says why and nothing is
    // kept loaded.
    bool load(const std::string& path, std::string& error);
    bool loaded() const { return getClassObject_ != nullptr; }

    // Each returns kUnexpected when no module is loaded.
    com::HResult registerServer() const;
    com::HResult unregisterServer() const;
    com::HResult getClassObject(const com::Guid& clsid, const com::Guid& iid, void** out) const;
    com::HResult canUnloadNow() const;

  private:
    com::DllRegisterServerFn register_ = nullptr;
    com::DllUnregisterServerFn unregister_ = nullptr;
    com::DllGetClassObjectFn getClassObject_ = nullptr;
    com::DllCanUnloadNowFn canUnloadNow_ = nullptr;
};

// The module's file name on this platform ("libvorncal.so").
const char* controlModuleFileName();

}  // namespace quirn::vorncal
