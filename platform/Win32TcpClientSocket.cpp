#include "platform/Win32Sockets.h"
// The Winsock headers come first: windows.h would otherwise bring the old winsock.h.
#include "platform/TcpClientSocket.h"

namespace quirn {

namespace {

// TcpClientSocket on a non-blocking Winsock stream socket; select() with a zero time-out
// stands in for the connect and close notifications.
class Win32TcpClientSocket final : public TcpClientSocket {
  public:
    Win32TcpClientSocket() = default;
    ~Win32TcpClientSocket() override { closeSocket(); }
    Win32TcpClientSocket(const Win32TcpClientSocket&) = delete;
    Win32TcpClientSocket& operator=(const Win32TcpClientSocket&) = delete;

    bool connect(const std::string& address, unsigned port) override {
        closeSocket();
        status_ = Status::Failed;
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(static_cast<u_short>(port));
        if (!win32::winsockReady() || port > 0xFFFF ||
            inet_pton(AF_INET, address.c_str(), &peer.sin_addr) != 1)
            return false;
        s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s_ == INVALID_SOCKET) return false;
        if (!win32::makeNonBlocking(s_)) {
            closeSocket();
            return false;
        }
        if (::connect(s_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
            status_ = Status::Connected;
            return true;
        }
        if (WSAGetLastError() == WSAEWOULDBLOCK) {
            status_ = Status::Connecting;
            return true;
        }
        // Refused at once: the caller learns it from poll() like any other failure.
        closeSocket();
        return true;
    }

    Status poll() override {
        if (s_ == INVALID_SOCKET) return status_;
        timeval now{0, 0};
        if (status_ == Status::Connecting) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s_, &writable);
            FD_SET(s_, &failed);
            if (select(0, nullptr, &writable, &failed, &now) <= 0) return status_;
            // A failed connect is reported as an exception, never as writable.
            if (FD_ISSET(s_, &failed)) {
                closeSocket();
                status_ = Status::Failed;
                return status_;
            }
            status_ = Status::Connected;
        }
        if (status_ == Status::Connected) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(s_, &readable);
            if (select(0, &readable, nullptr, nullptr, &now) > 0 && FD_ISSET(s_, &readable)) {
                // Readable with nothing to read means the peer has closed its side.
                char probe;
                int n = recv(s_, &probe, 1, MSG_PEEK);
                if (n == 0 || (n < 0 && !win32::wouldBlock())) status_ = Status::PeerClosed;
            }
        }
        return status_;
    }

    long send(const unsigned char* bytes, std::size_t count) override {
        if (s_ == INVALID_SOCKET) return -1;
        if (status_ == Status::Connecting) return 0;
        int n = ::send(s_, reinterpret_cast<const char*>(bytes), win32::callSize(count), 0);
        if (n < 0) return win32::wouldBlock() ? 0 : -1;
        return n;
    }

    long receive(unsigned char* buffer, std::size_t capacity) override {
        if (s_ == INVALID_SOCKET) return -1;
        if (capacity == 0 || status_ == Status::Connecting) return 0;
        int n = recv(s_, reinterpret_cast<char*>(buffer), win32::callSize(capacity), 0);
        if (n > 0) return n;
        if (n == 0) {
            status_ = Status::PeerClosed;
            return -1;
        }
        if (win32::wouldBlock()) return 0;
        status_ = Status::Failed;
        return -1;
    }

    void close() override {
        if (s_ != INVALID_SOCKET) shutdown(s_, SD_BOTH);
        closeSocket();
        status_ = Status::Idle;
    }

  private:
    void closeSocket() {
        if (s_ == INVALID_SOCKET) return;
        closesocket(s_);
        s_ = INVALID_SOCKET;
    }

    SOCKET s_ = INVALID_SOCKET;
    Status status_ = Status::Idle;
};

}  // namespace

std::unique_ptr<TcpClientSocket> createTcpClientSocket() {
    return std::make_unique<Win32TcpClientSocket>();
}

}  // namespace quirn
