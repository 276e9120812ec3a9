#include <windows.h>

#include "platform/SharedLibrary.h"
#include "platform/Win32Text.h"

namespace quirn {

SharedLibrary::~SharedLibrary() {
    if (handle_ && !kept_) FreeLibrary(static_cast<HMODULE>(handle_));
}

bool SharedLibrary::open(const std::string& path) {
    if (handle_ && !kept_) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = LoadLibraryW(win32::widened(path).c_str());
    kept_ = false;
    if (handle_) {
        error_.clear();
        return true;
    }
    error_ = win32::failureText(("cannot load " + path).c_str(), GetLastError());
    return false;
}

void* SharedLibrary::symbol(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string moduleFileOf(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module))
        return {};
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return win32::narrowed(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace quirn
