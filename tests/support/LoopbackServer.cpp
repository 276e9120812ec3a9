#include "tests/support/LoopbackServer.h"

#ifdef _WIN32
#include "platform/Win32Sockets.h"
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>

namespace quirn::test {

namespace {

using SteadyClock = std::chrono::steady_clock;

enum class Ready { Readable, Writable };

bool isLoopback(const in_addr& a) {
    return (ntohl(a.s_addr) >> 24) == 127;
}

#ifdef _WIN32
using Length = int;
constexpr int kNoSignal = 0;

void closeFd(std::intptr_t fd) {
    ::closesocket(static_cast<SOCKET>(fd));
}

std::intptr_t nonBlocking(SOCKET s) {
    if (s == INVALID_SOCKET) return -1;
    win32::makeNonBlocking(s);
    return static_cast<std::intptr_t>(s);
}

std::intptr_t newSocket() {
    if (!win32::winsockReady()) return -1;
    return nonBlocking(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

std::intptr_t acceptOne(std::intptr_t listener) {
    return nonBlocking(::accept(static_cast<SOCKET>(listener), nullptr, nullptr));
}

bool onlyNotNow() {
    return win32::wouldBlock();
}

void pause(std::intptr_t fd, Ready ready) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<SOCKET>(fd), &set);
    timeval wait{0, 2000};
    ::select(0, ready == Ready::Readable ? &set : nullptr,
             ready == Ready::Writable ? &set : nullptr, nullptr, &wait);
}
#else
using Length = socklen_t;
constexpr int kNoSignal = MSG_NOSIGNAL;

void closeFd(std::intptr_t fd) {
    ::close(static_cast<int>(fd));
}

std::intptr_t newSocket() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    }
    return fd;
}

std::intptr_t acceptOne(std::intptr_t listener) {
    return ::accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

bool onlyNotNow() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

void pause(std::intptr_t fd, Ready ready) {
    pollfd p{static_cast<int>(fd), ready == Ready::Readable ? short(POLLIN) : short(POLLOUT), 0};
    ::poll(&p, 1, 2);
}
#endif

}  // namespace

LoopbackServer::LoopbackServer(const std::string& address, unsigned port) : address_(address) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port));
    if (port > 0xFFFF || ::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        !isLoopback(local.sin_addr))
        return;
    listener_ = newSocket();
    if (listener_ < 0) return;
    Length length = sizeof local;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        stopListening();
        return;
    }
    port_ = ntohs(local.sin_port);
}

LoopbackServer::~LoopbackServer() {
    stopListening();
    for (auto& c : clients_)
        if (c.fd >= 0) closeFd(c.fd);
}

void LoopbackServer::stopListening() {
    if (listener_ < 0) return;
    closeFd(listener_);
    listener_ = -1;
}

int LoopbackServer::acceptPending() {
    int accepted = 0;
    while (listener_ >= 0) {
        std::intptr_t fd = acceptOne(listener_);
        if (fd < 0) break;
        clients_.push_back(Client{fd, {}, false});
        ++accepted;
    }
    return accepted;
}

bool LoopbackServer::waitForConnections(std::size_t count, int waitMs) {
    auto until = SteadyClock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        acceptPending();
        if (clients_.size() >= count) return true;
        if (SteadyClock::now() >= until || listener_ < 0) return false;
        pause(listener_, Ready::Readable);
    }
}

void LoopbackServer::readWaiting(Client& client) {
    if (client.fd < 0) return;
    char buffer[4096];
    for (;;) {
        auto n = ::recv(client.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            client.bytes.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0 || !onlyNotNow()) client.closed = true;
        return;
    }
}

const std::string& LoopbackServer::received(std::size_t index) {
    static const std::string kNothing;
    if (index >= clients_.size()) return kNothing;
    readWaiting(clients_[index]);
    return clients_[index].bytes;
}

bool LoopbackServer::waitForBytes(std::size_t index, std::size_t count, int waitMs) {
    auto until = SteadyClock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        acceptPending();
        if (index < clients_.size()) {
            readWaiting(clients_[index]);
            if (clients_[index].bytes.size() >= count) return true;
            if (clients_[index].closed) return false;
        }
        if (SteadyClock::now() >= until) return false;
        pause(index < clients_.size() ? clients_[index].fd : listener_, Ready::Readable);
    }
}

std::string LoopbackServer::allReceived() {
    std::string all;
    for (std::size_t i = 0; i < clients_.size(); ++i) all += received(i);
    return all;
}

bool LoopbackServer::send(std::size_t index, const std::string& bytes) {
    if (index >= clients_.size()) return false;
    std::size_t done = 0;
    auto until = SteadyClock::now() + std::chrono::milliseconds(500);
    while (done < bytes.size() && SteadyClock::now() < until) {
        done += sendWithoutWaiting(index, bytes.substr(done));
        if (done < bytes.size()) pause(clients_[index].fd, Ready::Writable);
    }
    return done == bytes.size();
}

std::size_t LoopbackServer::sendWithoutWaiting(std::size_t index, const std::string& bytes) {
    if (index >= clients_.size() || bytes.empty()) return 0;
    auto n = ::send(clients_[index].fd, bytes.data(), static_cast<int>(bytes.size()), kNoSignal);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void LoopbackServer::closeConnection(std::size_t index) {
    if (index >= clients_.size() || clients_[index].fd < 0) return;
    closeFd(clients_[index].fd);
    clients_[index].fd = -1;
    clients_[index].closed = true;
}

void LoopbackServer::resetConnection(std::size_t index) {
    if (index >= clients_.size() || clients_[index].fd < 0) return;
    linger abort{1, 0};  // a zero linger time makes the close send a reset
    ::setsockopt(clients_[index].fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                 sizeof abort);
    closeConnection(index);
}

bool LoopbackServer::peerClosed(std::size_t index) {
    if (index >= clients_.size()) return false;
    readWaiting(clients_[index]);
    return clients_[index].closed;
}

bool LoopbackServer::waitForPeerClose(std::size_t index, int waitMs) {
    auto until = SteadyClock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (peerClosed(index)) return true;
        if (SteadyClock::now() >= until || index >= clients_.size()) return false;
        pause(clients_[index].fd, Ready::Readable);
    }
}

}  // namespace quirn::test
