#pragma once
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstddef>
#include <string>

namespace quirn::win32 {

// Starts Winsock once for the whole program, before the first socket is made.
bool winsockReady();
// Puts a socket in non-blocking mode; false when refused.
bool makeNonBlocking(SOCKET s);
// Whether the last Winsock failure only means "not now" (nothing to read, buffer full).
bool wouldBlock();
std::string socketFailureText(const char* what);
// A byte count as one Winsock call takes it (an int); larger counts go in several calls.
inline int callSize(std::size_t count) {
    constexpr std::size_t kMaxCall = 1 << 30;
    return static_cast<int>(count > kMaxCall ? kMaxCall : count);
}

}  // namespace quirn::win32
#endif
