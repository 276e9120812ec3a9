#pragma once
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

namespace quirn::win32 {

// Starts Winsock once for the whole program, before the first socket is made.
bool winsockReady();
// Puts a socket in non-blocking mode; false when refused.
bool makeNonBlocking(SOCKET s);
// Whether the last Winsock failure only means "not now" (nothing to read, buffer full).
bool wouldBlock();
std::string socketFailureText(const char* what);

}  // namespace quirn::win32
#endif
