#include "platform/Win32PipeNames.h"

#include <windows.h>

#include <atomic>
#include <cctype>
#include <cstring>

namespace quirn::win32 {

namespace {
constexpr const char* kDevicePipeStem = "quirn-sim-";
}  // namespace

bool isPipePath(const std::string& path) {
    const std::size_t length = std::strlen(kPipeNamespace);
    if (path.size() <= length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(path[i])) != kPipeNamespace[i]) return false;
    return true;
}

std::string newDevicePipeName() {
    // The process id keeps programs apart, the count keeps one program's pipes apart.
    static std::atomic<unsigned> made{0};
    return std::string(kPipeNamespace) + kDevicePipeStem + std::to_string(GetCurrentProcessId()) +
           "-" + std::to_string(++made);
}

}  // namespace quirn::win32
