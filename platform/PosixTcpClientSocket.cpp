#ifndef _WIN32
#include "platform/PosixTcpClientSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace quirn {

namespace {
// Reports the peer's close even while its last bytes are still unread.
#ifdef POLLRDHUP
constexpr short kPeerHangUp = POLLRDHUP;
#else
constexpr short kPeerHangUp = 0;
#endif
}  // namespace

std::unique_ptr<TcpClientSocket> createTcpClientSocket() {
    return std::make_unique<PosixTcpClientSocket>();
}

PosixTcpClientSocket::~PosixTcpClientSocket() {
    closeDescriptor();
}

void PosixTcpClientSocket::closeDescriptor() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

bool PosixTcpClientSocket::connect(const std::string& address, unsigned port) {
    closeDescriptor();
    status_ = Status::Failed;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(port));
    if (port > 0xFFFF || ::inet_pton(AF_INET, address.c_str(), &peer.sin_addr) != 1) return false;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
        status_ = Status::Connected;
        return true;
    }
    if (errno == EINPROGRESS || errno == EINTR) {
        status_ = Status::Connecting;
        return true;
    }
    // Refused at once (loopback): the caller learns it from poll() like any other failure.
    closeDescriptor();
    return true;
}

TcpClientSocket::Status PosixTcpClientSocket::poll() {
    if (fd_ < 0) return status_;
    if (status_ == Status::Connecting) {
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, 0) <= 0) return status_;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            closeDescriptor();
            status_ = Status::Failed;
            return status_;
        }
        status_ = Status::Connected;
    }
    if (status_ == Status::Connected) {
        pollfd p{fd_, static_cast<short>(POLLIN | kPeerHangUp), 0};
        if (::poll(&p, 1, 0) > 0) {
            if (p.revents & (POLLERR | POLLNVAL)) {
                status_ = Status::Failed;
            } else if (p.revents & (kPeerHangUp | POLLHUP)) {
                status_ = Status::PeerClosed;
            } else if (p.revents & POLLIN) {
                // Readable with nothing to read means the peer has closed its side.
                unsigned char probe;
                ssize_t n = ::recv(fd_, &probe, 1, MSG_PEEK);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK))
                    status_ = Status::PeerClosed;
            }
        }
    }
    return status_;
}

long PosixTcpClientSocket::send(const unsigned char* bytes, std::size_t count) {
    if (fd_ < 0) return -1;
    if (status_ == Status::Connecting) return 0;
    ssize_t n = ::send(fd_, bytes, count, MSG_NOSIGNAL);
    if (n < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return static_cast<long>(n);
}

long PosixTcpClientSocket::receive(unsigned char* buffer, std::size_t capacity) {
    if (fd_ < 0) return -1;
    if (capacity == 0 || status_ == Status::Connecting) return 0;
    ssize_t n = ::recv(fd_, buffer, capacity, 0);
    if (n > 0) return static_cast<long>(n);
    if (n == 0) {
        status_ = Status::PeerClosed;
        return -1;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    status_ = Status::Failed;
    return -1;
}

void PosixTcpClientSocket::close() {
    if (fd_ >= 0) {
        ::shutdown(fd_, SHUT_WR);
        ::shutdown(fd_, SHUT_RDWR);
    }
    closeDescriptor();
    status_ = Status::Idle;
}

}  // namespace quirn
#endif
