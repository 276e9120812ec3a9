#include "platform/Win32Sockets.h"
// The Winsock headers come first: windows.h would otherwise bring the old winsock.h.
#include "platform/TcpListener.h"

namespace quirn {

namespace {

constexpr int kBacklog = 8;
constexpr unsigned kMaxPort = 65535;

class Win32TcpConnection final : public TcpConnection {
  public:
    Win32TcpConnection(SOCKET s, std::string peer) : s_(s), peer_(std::move(peer)) {}
    ~Win32TcpConnection() override { close(); }
    Win32TcpConnection(const Win32TcpConnection&) = delete;
    Win32TcpConnection& operator=(const Win32TcpConnection&) = delete;

    long receive(unsigned char* buffer, std::size_t capacity) override {
        if (s_ == INVALID_SOCKET) return -1;
        if (capacity == 0) return 0;
        int n = recv(s_, reinterpret_cast<char*>(buffer), win32::callSize(capacity), 0);
        if (n > 0) return n;
        if (n == 0) return -1;  // the peer closed
        return win32::wouldBlock() ? 0 : -1;
    }
    long send(const unsigned char* bytes, std::size_t count) override {
        if (s_ == INVALID_SOCKET) return -1;
        if (count == 0) return 0;
        int n = ::send(s_, reinterpret_cast<const char*>(bytes), win32::callSize(count), 0);
        if (n >= 0) return n;
        return win32::wouldBlock() ? 0 : -1;
    }
    void close() override {
        if (s_ == INVALID_SOCKET) return;
        shutdown(s_, SD_BOTH);
        closesocket(s_);
        s_ = INVALID_SOCKET;
    }
    bool isOpen() const override { return s_ != INVALID_SOCKET; }
    const std::string& peer() const override { return peer_; }

  private:
    SOCKET s_;
    std::string peer_;
};

// TcpListener on a non-blocking Winsock stream socket. The port is held exclusively: on
// Windows, address reuse would let another program take over a port already in use.
class Win32TcpListener final : public TcpListener {
  public:
    Win32TcpListener() = default;
    ~Win32TcpListener() override { close(); }
    Win32TcpListener(const Win32TcpListener&) = delete;
    Win32TcpListener& operator=(const Win32TcpListener&) = delete;

    bool listen(const std::string& address, unsigned port) override {
        close();
        errorText_.clear();
        sockaddr_in a{};
        a.sin_family = AF_INET;
        if (port > kMaxPort || inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1) {
            errorText_ = "not a dotted IPv4 address and port: " + address;
            return false;
        }
        a.sin_port = htons(static_cast<u_short>(port));
        if (!win32::winsockReady()) return fail("start Winsock");
        s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s_ == INVALID_SOCKET) return fail("socket");
        BOOL on = TRUE;
        setsockopt(s_, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                   sizeof on);
        if (!win32::makeNonBlocking(s_)) return fail("non-blocking");
        if (bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return fail("bind");
        if (::listen(s_, kBacklog) != 0) return fail("listen");
        sockaddr_in bound{};
        int length = sizeof bound;
        if (getsockname(s_, reinterpret_cast<sockaddr*>(&bound), &length) != 0)
            return fail("getsockname");
        port_ = ntohs(bound.sin_port);
        return true;
    }
    unsigned port() const override { return port_; }

    std::unique_ptr<TcpConnection> accept() override {
        if (s_ == INVALID_SOCKET) return nullptr;
        sockaddr_in peer{};
        int length = sizeof peer;
        SOCKET c = ::accept(s_, reinterpret_cast<sockaddr*>(&peer), &length);
        if (c == INVALID_SOCKET) return nullptr;
        // An accepted socket takes the listener's mode; set it anyway, it costs nothing.
        win32::makeNonBlocking(c);
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
        return std::make_unique<Win32TcpConnection>(
            c, std::string(text) + ":" + std::to_string(ntohs(peer.sin_port)));
    }

    void close() override {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = INVALID_SOCKET;
        port_ = 0;
    }
    const std::string& errorText() const override { return errorText_; }

  private:
    bool fail(const char* what) {
        errorText_ = win32::socketFailureText(what);
        close();
        return false;
    }

    SOCKET s_ = INVALID_SOCKET;
    unsigned port_ = 0;
    std::string errorText_;
};

}  // namespace

std::unique_ptr<TcpListener> createTcpListener() {
    return std::make_unique<Win32TcpListener>();
}

}  // namespace quirn
