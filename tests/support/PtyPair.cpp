#include "tests/support/PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>

namespace quirn::test {

PtyPair::PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return;
    char* name = ::ptsname(master_);
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || !name) {
        closeMaster();
        return;
    }
    slavePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    closeMaster();
}

void PtyPair::closeMaster() {
    if (master_ < 0) return;
    ::close(master_);
    master_ = -1;
}

bool PtyPair::send(const std::string& bytes) {
    if (master_ < 0) return false;
    std::size_t done = 0;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (done < bytes.size() && std::chrono::steady_clock::now() < until) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 5);
        }
    }
    // Give the line discipline a moment to move the bytes to the slave's input queue.
    pollfd p{master_, 0, 0};
    ::poll(&p, 1, 2);
    return done == bytes.size();
}

std::string PtyPair::receive(std::size_t atLeast, int waitMs) {
    std::string out;
    if (master_ < 0) return out;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    unsigned char buffer[4096];
    for (;;) {
        ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
            continue;
        }
        if (out.size() >= atLeast || std::chrono::steady_clock::now() >= until) break;
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, 5);
    }
    return out;
}

std::string PtyPair::receiveAtMost(std::size_t limit) {
    std::string out(limit, '\0');
    ssize_t n = master_ < 0 ? -1 : ::read(master_, out.data(), limit);
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

void PtyPair::drain() {
    receive(static_cast<std::size_t>(-1), 0);
}

bool PtyPair::slaveSettings(termios& out) const {
    if (master_ < 0) return false;
    int slave = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0) {
        bool ok = ::tcgetattr(slave, &out) == 0;
        ::close(slave);
        return ok;
    }
    // Held exclusively: the master reports the same settings on this system.
    return ::tcgetattr(master_, &out) == 0;
}

}  // namespace quirn::test
