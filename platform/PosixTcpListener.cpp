#ifndef _WIN32
#include "platform/PosixTcpListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quirn {

namespace {

constexpr int kBacklog = 8;
constexpr unsigned kMaxPort = 65535;

class PosixTcpConnection final : public TcpConnection {
  public:
    PosixTcpConnection(int fd, std::string peer) : fd_(fd), peer_(std::move(peer)) {}
    ~PosixTcpConnection() override { close(); }
    PosixTcpConnection(const PosixTcpConnection&) = delete;
    PosixTcpConnection& operator=(const PosixTcpConnection&) = delete;

    long receive(unsigned char* buffer, std::size_t capacity) override {
        if (fd_ < 0) return -1;
        if (capacity == 0) return 0;
        ssize_t n = ::recv(fd_, buffer, capacity, 0);
        if (n > 0) return static_cast<long>(n);
        if (n == 0) return -1;  // the peer closed
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    }
    long send(const unsigned char* bytes, std::size_t count) override {
        if (fd_ < 0) return -1;
        if (count == 0) return 0;
        ssize_t n = ::send(fd_, bytes, count, MSG_NOSIGNAL);
        if (n >= 0) return static_cast<long>(n);
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    }
    void close() override {
        if (fd_ < 0) return;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        fd_ = -1;
    }
    bool isOpen() const override { return fd_ >= 0; }
    const std::string& peer() const override { return peer_; }

  private:
    int fd_;
    std::string peer_;
};

}  // namespace

std::unique_ptr<TcpListener> createTcpListener() {
    return std::make_unique<PosixTcpListener>();
}

PosixTcpListener::~PosixTcpListener() {
    close();
}

bool PosixTcpListener::fail(const char* what) {
    errorText_ = std::string(what) + ": " + std::strerror(errno);
    close();
    return false;
}

bool PosixTcpListener::listen(const std::string& address, unsigned port) {
    close();
    errorText_.clear();
    sockaddr_in a{};
    a.sin_family = AF_INET;
    if (port > kMaxPort || ::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1) {
        errorText_ = "not a dotted IPv4 address and port: " + address;
        return false;
    }
    a.sin_port = htons(static_cast<uint16_t>(port));
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return fail("socket");
    int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return fail("bind");
    if (::listen(fd_, kBacklog) != 0) return fail("listen");
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &len) != 0)
        return fail("getsockname");
    port_ = ntohs(bound.sin_port);
    return true;
}

std::unique_ptr<TcpConnection> PosixTcpListener::accept() {
    if (fd_ < 0) return nullptr;
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return nullptr;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    return std::make_unique<PosixTcpConnection>(
        fd, std::string(text) + ":" + std::to_string(ntohs(peer.sin_port)));
}

void PosixTcpListener::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    port_ = 0;
}

}  // namespace quirn
#endif
