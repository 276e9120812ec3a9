#include "platform/Win32Sockets.h"

#include "platform/Win32Text.h"

namespace quirn::win32 {

namespace {

// Winsock 2.2 for the life of the program; the system releases it when the process ends.
struct WinsockSession {
    WinsockSession() {
        WSADATA data{};
        ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    bool ready = false;
};

}  // namespace

bool winsockReady() {
    static const WinsockSession session;
    return session.ready;
}

bool makeNonBlocking(SOCKET s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

bool wouldBlock() {
    int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR || error == WSAEINPROGRESS;
}

std::string socketFailureText(const char* what) {
    return failureText(what, static_cast<unsigned long>(WSAGetLastError()));
}

}  // namespace quirn::win32
