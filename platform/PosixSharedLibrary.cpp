#ifndef _WIN32
#include <dlfcn.h>

#include <filesystem>

#include "platform/SharedLibrary.h"

namespace quirn {

SharedLibrary::~SharedLibrary() {
    if (handle_ && !kept_) dlclose(handle_);
}

bool SharedLibrary::open(const std::string& path) {
    if (handle_ && !kept_) dlclose(handle_);
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    kept_ = false;
    if (handle_) {
        error_.clear();
        return true;
    }
    const char* why = dlerror();
    error_ = why ? why : "cannot load " + path;
    return false;
}

void* SharedLibrary::symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

std::string moduleFileOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) return {};
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : path.lexically_normal().string();
}

}  // namespace quirn
#endif
