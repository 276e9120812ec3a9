#include "platform/Win32Sockets.h"
// The Winsock headers come first: windows.h would otherwise bring the old winsock.h.
#include <algorithm>

#include "platform/BlockingTcpSocket.h"
#include "platform/Deadline.h"

namespace quirn {

namespace {

constexpr std::size_t kHostNameBuffer = 256;
constexpr const char* kUnknownHostName = "localhost";
// The longest single wait, so that a raised cancel signal ends a wait this soon.
constexpr int kWaitSliceMs = 20;

enum class Wait { Readable, Writable };

// Waits until the socket is ready for `what`, the deadline passes or the cancel signal rises.
// A failed connect shows as an exception, which ends the wait as a failure.
SocketStatus waitFor(SOCKET s, Wait what, SteadyClock::time_point deadline,
                     const CancelSignal* cancel) {
    while (true) {
        if (cancel && cancel->raised()) return SocketStatus::Failed;
        const int left = millisecondsLeft(deadline);
        const int slice = std::min(left, kWaitSliceMs);
        timeval wait{0, slice * 1000};
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(s, &ready);
        FD_SET(s, &failed);
        int n = what == Wait::Readable ? select(0, &ready, nullptr, &failed, &wait)
                                       : select(0, nullptr, &ready, &failed, &wait);
        if (n < 0) return SocketStatus::Failed;
        if (n > 0) return FD_ISSET(s, &failed) ? SocketStatus::Failed : SocketStatus::Ok;
        if (left == 0) return SocketStatus::TimedOut;
    }
}

class Win32BlockingTcpSocket final : public BlockingTcpSocket {
  public:
    explicit Win32BlockingTcpSocket(const CancelSignal* cancel) : cancel_(cancel) {}
    ~Win32BlockingTcpSocket() override { close(); }

    SocketStatus connect(const std::string& host, unsigned port, int timeoutMs) override {
        close();
        if (!win32::winsockReady() || host.empty()) return SocketStatus::Failed;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        std::string service = std::to_string(port);
        if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
            return SocketStatus::Failed;
        auto deadline = deadlineAfter(timeoutMs);
        SocketStatus result = SocketStatus::Failed;
        for (addrinfo* a = found; a; a = a->ai_next) {
            result = tryConnect(*a, deadline);
            if (result == SocketStatus::Ok || result == SocketStatus::TimedOut) break;
        }
        freeaddrinfo(found);
        return result;
    }

    SocketStatus sendAll(std::string_view bytes, int timeoutMs) override {
        if (s_ == INVALID_SOCKET) return SocketStatus::Failed;
        auto deadline = deadlineAfter(timeoutMs);
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            int n = ::send(s_, bytes.data() + sent, win32::callSize(bytes.size() - sent), 0);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && win32::wouldBlock()) {
                SocketStatus s = waitFor(s_, Wait::Writable, deadline, cancel_);
                if (s != SocketStatus::Ok) return s;
                continue;
            }
            const int error = WSAGetLastError();
            return error == WSAECONNRESET || error == WSAESHUTDOWN || error == WSAECONNABORTED
                       ? SocketStatus::Closed
                       : SocketStatus::Failed;
        }
        return SocketStatus::Ok;
    }

    SocketStatus receive(char* buffer, std::size_t capacity, std::size_t& received,
                         int timeoutMs) override {
        received = 0;
        if (s_ == INVALID_SOCKET || !buffer || capacity == 0) return SocketStatus::Failed;
        auto deadline = deadlineAfter(timeoutMs);
        while (true) {
            int n = recv(s_, buffer, win32::callSize(capacity), 0);
            if (n > 0) {
                received = static_cast<std::size_t>(n);
                return SocketStatus::Ok;
            }
            if (n == 0) return SocketStatus::Closed;
            if (!win32::wouldBlock()) return SocketStatus::Failed;
            SocketStatus s = waitFor(s_, Wait::Readable, deadline, cancel_);
            if (s != SocketStatus::Ok) return s;
        }
    }

    void close() override {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = INVALID_SOCKET;
    }

    bool isOpen() const override { return s_ != INVALID_SOCKET; }

  private:
    SocketStatus tryConnect(const addrinfo& a, SteadyClock::time_point deadline) {
        SOCKET s = socket(a.ai_family, a.ai_socktype, a.ai_protocol);
        if (s == INVALID_SOCKET) return SocketStatus::Failed;
        // Non-blocking underneath so that every wait goes through select() with a time-out.
        if (!win32::makeNonBlocking(s)) {
            closesocket(s);
            return SocketStatus::Failed;
        }
        if (::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) {
                closesocket(s);
                return SocketStatus::Failed;
            }
            SocketStatus status = waitFor(s, Wait::Writable, deadline, cancel_);
            if (status != SocketStatus::Ok) {
                closesocket(s);
                return status;
            }
        }
        s_ = s;
        return SocketStatus::Ok;
    }

    const CancelSignal* cancel_;
    SOCKET s_ = INVALID_SOCKET;
};

}  // namespace

std::unique_ptr<BlockingTcpSocket> makeBlockingTcpSocket(const CancelSignal* cancel) {
    return std::make_unique<Win32BlockingTcpSocket>(cancel);
}

std::string localHostName(std::size_t maxLength) {
    char name[kHostNameBuffer] = {};
    if (!win32::winsockReady() || gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return std::string(kUnknownHostName).substr(0, maxLength);
    std::string result(name, strnlen(name, sizeof name));
    if (result.size() > maxLength) result.resize(maxLength);
    return result;
}

}  // namespace quirn
