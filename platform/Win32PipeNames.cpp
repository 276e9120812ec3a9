#include "platform/Win32PipeNames.h"

#include <windows.h>

#include <atomic>
#include <cctype>
#include <cstring>

#include "platform/Win32Text.h"

namespace quirn::win32 {

namespace {
constexpr const char* kDevicePipeStem = "quirn-sim-";
// Long enough for the answer, too short to wait for a free instance.
constexpr DWORD kServedProbeMs = 1;
}  // namespace

bool isPipePath(const std::string& path) {
    const std::size_t length = std::strlen(kPipeNamespace);
    if (path.size() <= length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(path[i])) != kPipeNamespace[i]) return false;
    return true;
}

bool pipeServed(const std::string& path) {
    if (WaitNamedPipeW(widened(path).c_str(), kServedProbeMs)) return true;
    // Busy (taken by another program) is served; no such pipe is not.
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_BAD_PATHNAME &&
           error != ERROR_INVALID_NAME;
}

std::string newDevicePipeName() {
    // The process id keeps programs apart, the count keeps one program's pipes apart.
    static std::atomic<unsigned> made{0};
    return std::string(kPipeNamespace) + kDevicePipeStem + std::to_string(GetCurrentProcessId()) +
           "-" + std::to_string(++made);
}

}  // namespace quirn::win32
