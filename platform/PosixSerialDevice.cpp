#ifndef _WIN32
#include "platform/PosixSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/PosixLineSpeed.h"

namespace quirn {

namespace {

speed_t speedFor(int baud) {
    return baud == kBaud4800 ? B4800 : B2400;
}

// Raw 8N1 without software flow control; hardware flow control and the modem lines are left
// as the device had them.
void makeRaw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    // Reads return at once with whatever is there.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

}  // namespace

std::unique_ptr<SerialDevice> createSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}

PosixSerialDevice::~PosixSerialDevice() {
    close();
}

bool PosixSerialDevice::fail(const char* what) {
    errorText_ = std::string(what) + ": " + std::strerror(errno);
    close();
    return false;
}

bool PosixSerialDevice::open(const std::string& path, int baud) {
    close();
    errorText_.clear();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return fail("open");
    // TIOCEXCL keeps other ordinary users out; the lock also keeps out a second copy of this
    // program running with privileges that TIOCEXCL does not stop.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) return fail("lock");
    if (::ioctl(fd_, TIOCEXCL) != 0) return fail("exclusive");
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return fail("get line settings");
    makeRaw(t);
    if (::cfsetispeed(&t, speedFor(baud)) != 0 || ::cfsetospeed(&t, speedFor(baud)) != 0)
        return fail("speed");
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return fail("set line settings");
    return true;
}

void PosixSerialDevice::close() {
    if (fd_ < 0) return;
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

long PosixSerialDevice::waiting() {
    if (fd_ < 0) return -1;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0 && errno != EINTR) return -1;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return -1;
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0) return -1;
    return count;
}

long PosixSerialDevice::read(unsigned char* buffer, std::size_t capacity) {
    if (fd_ < 0) return -1;
    if (capacity == 0) return 0;
    ssize_t n = ::read(fd_, buffer, capacity);
    if (n < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return static_cast<long>(n);
}

long PosixSerialDevice::write(const unsigned char* bytes, std::size_t count) {
    if (fd_ < 0) return -1;
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            return done > 0 ? static_cast<long>(done) : -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

bool PosixSerialDevice::discardInput() {
    if (fd_ < 0) return false;
    return ::tcflush(fd_, TCIFLUSH) == 0;
}

int PosixSerialDevice::currentBaud() const {
    return reportedBaud(fd_);
}

}  // namespace quirn
#endif
