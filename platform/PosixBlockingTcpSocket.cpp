#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "platform/BlockingTcpSocket.h"
#include "platform/Deadline.h"

namespace quirn {

namespace {

constexpr std::size_t kHostNameBuffer = 256;
constexpr const char* kUnknownHostName = "localhost";

// Waits for one poll event on fd until the deadline or the cancel signal; restarts after
// signals.
SocketStatus waitFor(int fd, short event, SteadyClock::time_point deadline,
                     const CancelSignal* cancel) {
    while (true) {
        pollfd p[2] = {{fd, event, 0}, {cancel ? cancel->waitHandle() : -1, POLLIN, 0}};
        int n = ::poll(p, 2, millisecondsLeft(deadline));
        if (n < 0) {
            if (errno == EINTR) continue;
            return SocketStatus::Failed;
        }
        if (n == 0) return SocketStatus::TimedOut;
        if (p[1].revents & POLLIN) return SocketStatus::Failed;  // cancelled
        const short revents = p[0].revents;
        // Readable-with-hang-up still lets recv() deliver what arrived before the close.
        if (revents & event) return SocketStatus::Ok;
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) return SocketStatus::Failed;
    }
}

class PosixBlockingTcpSocket final : public BlockingTcpSocket {
  public:
    explicit PosixBlockingTcpSocket(const CancelSignal* cancel) : cancel_(cancel) {}
    ~PosixBlockingTcpSocket() override { close(); }

    SocketStatus connect(const std::string& host, unsigned port, int timeoutMs) override {
        close();
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        std::string service = std::to_string(port);
        if (host.empty() || ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 ||
            !found)
            return SocketStatus::Failed;
        auto deadline = deadlineAfter(timeoutMs);
        SocketStatus result = SocketStatus::Failed;
        for (addrinfo* a = found; a; a = a->ai_next) {
            result = tryConnect(*a, deadline);
            if (result == SocketStatus::Ok || result == SocketStatus::TimedOut) break;
        }
        ::freeaddrinfo(found);
        return result;
    }

    SocketStatus sendAll(std::string_view bytes, int timeoutMs) override {
        if (fd_ < 0) return SocketStatus::Failed;
        auto deadline = deadlineAfter(timeoutMs);
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                SocketStatus s = waitFor(fd_, POLLOUT, deadline, cancel_);
                if (s != SocketStatus::Ok) return s;
                continue;
            }
            return errno == EPIPE ? SocketStatus::Closed : SocketStatus::Failed;
        }
        return SocketStatus::Ok;
    }

    SocketStatus receive(char* buffer, std::size_t capacity, std::size_t& received,
                         int timeoutMs) override {
        received = 0;
        if (fd_ < 0 || !buffer || capacity == 0) return SocketStatus::Failed;
        auto deadline = deadlineAfter(timeoutMs);
        while (true) {
            ssize_t n = ::recv(fd_, buffer, capacity, 0);
            if (n > 0) {
                received = static_cast<std::size_t>(n);
                return SocketStatus::Ok;
            }
            if (n == 0) return SocketStatus::Closed;
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return SocketStatus::Failed;
            SocketStatus s = waitFor(fd_, POLLIN, deadline, cancel_);
            if (s != SocketStatus::Ok) return s;
        }
    }

    void close() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    bool isOpen() const override { return fd_ >= 0; }

  private:
    SocketStatus tryConnect(const addrinfo& a, SteadyClock::time_point deadline) {
        int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_CLOEXEC, a.ai_protocol);
        if (fd < 0) return SocketStatus::Failed;
        int flags = ::fcntl(fd, F_GETFL, 0);
        // Non-blocking underneath so that every wait goes through poll() with a time-out.
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
            ::close(fd);
            return SocketStatus::Failed;
        }
        int rc;
        do {
            rc = ::connect(fd, a.ai_addr, a.ai_addrlen);
        } while (rc < 0 && errno == EINTR);
        if (rc < 0 && errno != EINPROGRESS) {
            ::close(fd);
            return SocketStatus::Failed;
        }
        if (rc < 0) {
            SocketStatus s = waitFor(fd, POLLOUT, deadline, cancel_);
            int error = 0;
            socklen_t len = sizeof error;
            if (s == SocketStatus::Ok &&
                (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) < 0 || error != 0))
                s = SocketStatus::Failed;
            if (s != SocketStatus::Ok) {
                ::close(fd);
                return s;
            }
        }
        fd_ = fd;
        return SocketStatus::Ok;
    }

    const CancelSignal* cancel_;
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<BlockingTcpSocket> makeBlockingTcpSocket(const CancelSignal* cancel) {
    return std::make_unique<PosixBlockingTcpSocket>(cancel);
}

std::string localHostName(std::size_t maxLength) {
    char name[kHostNameBuffer] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return std::string(kUnknownHostName).substr(0, maxLength);
    std::string result(name, ::strnlen(name, sizeof name));
    if (result.size() > maxLength) result.resize(maxLength);
    return result;
}

}  // namespace quirn
