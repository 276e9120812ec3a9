#include "platform/Win32Text.h"

#include <windows.h>

namespace quirn::win32 {

std::wstring widened(const std::string& utf8) {
    if (utf8.empty()) return {};
    int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            length);
    return wide;
}

std::string narrowed(const std::wstring& utf16) {
    if (utf16.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(),
                            length, nullptr, nullptr);
    return text;
}

std::string failureText(const char* what, unsigned long error) {
    char* message = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    std::string text =
        length && message ? std::string(message, length) : "error " + std::to_string(error);
    if (message) LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return std::string(what) + ": " + text;
}

}  // namespace quirn::win32
