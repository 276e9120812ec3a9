#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Win32Text.h"

namespace quirn {

namespace {
constexpr DWORD kLongestPath = 32768;
constexpr const char* kProgramExtension = ".exe";

std::string environmentFolder(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value && *value ? withTrailingSeparator(win32::narrowed(value)) : std::string();
}
}  // namespace

std::string runningProgramFolder() {
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) return {};
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : win32::narrowed(path.substr(0, slash + 1));
}

std::string programBesideThisOne(const std::string& name) {
    return runningProgramFolder() + name + kProgramExtension;
}

std::string userCacheFolder() {
    std::string folder = environmentFolder(L"LOCALAPPDATA");
    return folder.empty() ? environmentFolder(L"TEMP") : folder;
}

}  // namespace quirn
