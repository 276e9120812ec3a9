#include "platform/Win32DosDevices.h"

#include <windows.h>

namespace quirn::win32 {

namespace {
// The list grows with every drive, port and mapping; it is asked again in a larger buffer
// until it fits, up to a size no real list comes near.
constexpr DWORD kFirstBufferSize = 64 * 1024;
constexpr DWORD kLargestBufferSize = 16 * 1024 * 1024;
}  // namespace

std::vector<std::string> dosDeviceNames() {
    std::vector<char> buffer(kFirstBufferSize);
    DWORD length = 0;
    while ((length = QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) ==
           0) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= kLargestBufferSize)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    // One name after another, each ended by a NUL, the list by one more.
    std::vector<std::string> names;
    for (DWORD start = 0; start < length;) {
        DWORD end = start;
        while (end < length && buffer[end] != '\0') ++end;
        if (end > start) names.emplace_back(buffer.data() + start, end - start);
        start = end + 1;
    }
    return names;
}

}  // namespace quirn::win32
