// Finding our own file is the one system call of the module; a Win32 backend asks
// GetModuleFileName for the module handle instead.
#include <dlfcn.h>

#include <filesystem>

#include "calendar/control/Module.h"

namespace quirn::vorncal {

std::string modulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&modulePath), &info) == 0 || !info.dli_fname) return {};
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : path.lexically_normal().string();
}

}  // namespace quirn::vorncal
