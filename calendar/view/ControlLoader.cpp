// The one place that loads a module; a Win32 backend uses LoadLibrary and GetProcAddress.
#include "calendar/view/ControlLoader.h"

#include <dlfcn.h>

namespace quirn::vorncal {

namespace {

template <typename Fn>
bool findEntry(void* handle, const char* name, Fn& fn, std::string& error) {
    void* symbol = dlsym(handle, name);
    if (!symbol) {
        error = std::string("entry point ") + name + " not found";
        return false;
    }
    fn = reinterpret_cast<Fn>(symbol);
    return true;
}

}  // namespace

bool ControlModule::load(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : ("cannot load " + path);
        return false;
    }
    com::DllRegisterServerFn reg = nullptr;
    com::DllUnregisterServerFn unreg = nullptr;
    com::DllGetClassObjectFn get = nullptr;
    com::DllCanUnloadNowFn can = nullptr;
    if (!findEntry(handle, com::kDllRegisterServer, reg, error) ||
        !findEntry(handle, com::kDllUnregisterServer, unreg, error) ||
        !findEntry(handle, com::kDllGetClassObject, get, error) ||
        !findEntry(handle, com::kDllCanUnloadNow, can, error)) {
        dlclose(handle);
        return false;
    }
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
