#pragma once
#ifdef _WIN32
#include <string>

namespace quirn::win32 {

// The station's paths and texts are UTF-8; the wide Win32 calls take UTF-16.
std::wstring widened(const std::string& utf8);
std::string narrowed(const std::wstring& utf16);
// "<what>: <the system's message for error>" (GetLastError or WSAGetLastError values).
std::string failureText(const char* what, unsigned long error);

}  // namespace quirn::win32
#endif
