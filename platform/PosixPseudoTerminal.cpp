#ifndef _WIN32
#include "platform/PosixPseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/PosixLineSpeed.h"

namespace quirn {

namespace {

constexpr int kFastBaud = 4800;

}  // namespace

std::unique_ptr<PseudoTerminal> createPseudoTerminal() {
    return std::make_unique<PosixPseudoTerminal>();
}

PosixPseudoTerminal::~PosixPseudoTerminal() {
    close();
}

bool PosixPseudoTerminal::fail(const char* what) {
    errorText_ = std::string(what) + ": " + std::strerror(errno);
    close();
    return false;
}

bool PosixPseudoTerminal::open(int baud) {
    close();
    errorText_.clear();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("unlockpt");
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
    path_ = name;
    if (::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0)
        return fail("non-blocking");
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) return fail("open device side");
    // Raw from the start: with the default echo a program that opens the device without
    // setting it up would see its own bytes come back.
    termios t{};
    if (::tcgetattr(slave_, &t) != 0) return fail("get line settings");
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    speed_t speed = baud == kFastBaud ? B4800 : B2400;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return fail("speed");
    if (::tcsetattr(slave_, TCSANOW, &t) != 0) return fail("set line settings");
    return true;
}

void PosixPseudoTerminal::close() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = -1;
    master_ = -1;
    path_.clear();
}

long PosixPseudoTerminal::read(unsigned char* buffer, std::size_t capacity) {
    if (master_ < 0) return -1;
    if (capacity == 0) return 0;
    ssize_t n = ::read(master_, buffer, capacity);
    if (n < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return static_cast<long>(n);
}

long PosixPseudoTerminal::write(const unsigned char* bytes, std::size_t count) {
    if (master_ < 0) return -1;
    if (count == 0) return 0;
    ssize_t n = ::write(master_, bytes, count);
    if (n < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return static_cast<long>(n);
}

bool PosixPseudoTerminal::waitReadable(int timeoutMs) {
    if (master_ < 0) return false;
    pollfd p{master_, POLLIN, 0};
    int n = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    return n > 0 && (p.revents & POLLIN) != 0;
}

int PosixPseudoTerminal::deviceBaud() const {
    return reportedBaud(slave_);
}

}  // namespace quirn
#endif
