#include "calendar/view/ControlLoader.h"

#include "platform/SharedLibrary.h"

namespace quirn::vorncal {

namespace {

template <typename Fn>
bool findEntry(const SharedLibrary& library, const char* name, Fn& fn, std::string& error) {
    void* symbol = library.symbol(name);
    if (!symbol) {
        error = std::string("entry point ") + name + " not found";
        return false;
    }
    fn = reinterpret_cast<Fn>(symbol);
    return true;
}

}  // namespace

bool ControlModule::load(const std::string& path, std::string& error) {
    SharedLibrary library;
    if (!library.open(path)) {
        error = library.errorText();
        return false;
    }
    com::DllRegisterServerFn reg = nullptr;
    com::DllUnregisterServerFn unreg = nullptr;
    com::DllGetClassObjectFn get = nullptr;
    com::DllCanUnloadNowFn can = nullptr;
    if (!findEntry(library, com::kDllRegisterServer, reg, error) ||
        !findEntry(library, com::kDllUnregisterServer, unreg, error) ||
        !findEntry(library, com::kDllGetClassObject, get, error) ||
        !findEntry(library, com::kDllCanUnloadNow, can, error))
        return false;
    // The entry points are called for the rest of the program.
    library.keepLoaded();
    register_ = reg;
    unregister_ = unreg;
    getClassObject_ = get;
    canUnloadNow_ = can;
    return true;
}

com::HResult ControlModule::registerServer() const {
    return register_ ? register_() : com::kUnexpected;
}

com::HResult ControlModule::unregisterServer() const {
    return unregister_ ? unregister_() : com::kUnexpected;
}

com::HResult ControlModule::getClassObject(const com::Guid& clsid, const com::Guid& iid,
                                           void** out) const {
    return getClassObject_ ? getClassObject_(&clsid, &iid, out) : com::kUnexpected;
}

com::HResult ControlModule::canUnloadNow() const {
    return canUnloadNow_ ? canUnloadNow_() : com::kUnexpected;
}

const char* controlModuleFileName() {
#ifdef _WIN32
    return "vorncal.dll";
#else
    return "libvorncal.so";
#endif
}

}  // namespace quirn::vorncal
