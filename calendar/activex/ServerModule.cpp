#include "calendar/activex/ServerModule.h"

#include "calendar/activex/ControlWindowClass.h"

namespace quirn::activex {

namespace {
constexpr DWORD kLongestPath = 32768;
}  // namespace

ServerModule& serverModule() {
    static ServerModule module;
    return module;
}

std::wstring ServerModule::path() const {
    std::wstring path(kLongestPath, L'\0');
    const DWORD n = GetModuleFileNameW(instance_, path.data(), kLongestPath);
    path.resize(n < kLongestPath ? n : 0);
    return path;
}

}  // namespace quirn::activex

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        quirn::activex::serverModule().setInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Freed by its host (not the process ending): its window procedure goes with it.
        quirn::activex::unregisterControlWindowClass(instance);
    }
    return TRUE;
}
