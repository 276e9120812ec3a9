#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/Paths.h"
#include "platform/SingleInstance.h"

namespace quirn {

namespace {

// The lock and the hand-over socket live in the user's runtime folder (it exists before the
// working folder does, and unix socket paths must be short), under a name derived from the
// working folder, so two working folders never share them.
std::string runtimeBase(const std::string& name, const std::string& folder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base = runtime && *runtime ? runtime : "/tmp";
    return base + "/quirnradio-" + name + "-" +
           std::to_string(std::hash<std::string>{}(withTrailingSeparator(folder)));
}

bool fillAddress(sockaddr_un& address, const std::string& path) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

SingleInstance::SingleInstance(std::string name, std::string folder)
    : lockPath_(runtimeBase(name, folder) + ".lock"),
      socketPath_(runtimeBase(name, folder) + ".sock") {}

SingleInstance::~SingleInstance() {
    endHandOver();
    if (lockFd_ >= 0) ::close(lockFd_);  // releases the lock; the file stays for the next run
}

void SingleInstance::endHandOver() {
    if (listenFd_ < 0) return;
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
    listenFd_ = -1;
}

bool SingleInstance::acquire() {
    if (lockFd_ >= 0) return true;
    // Open without creating first: a second instance must leave nothing behind.
    int fd = ::open(lockPath_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return true;  // no lock possible: run rather than refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    ::unlink(socketPath_.c_str());  // left by a copy that died
    sockaddr_un address;
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s >= 0 && fillAddress(address, socketPath_) &&
        ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(s, 4) == 0) {
        listenFd_ = s;
    } else if (s >= 0) {
        ::close(s);
    }
    return true;
}

void SingleInstance::publishWindow(std::intptr_t) {}

bool SingleInstance::askFirstToComeForward() const {
    sockaddr_un address;
    if (!fillAddress(address, socketPath_)) return false;
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::send(s, "F", 1, MSG_NOSIGNAL) == 1;
    ::close(s);
    return ok;
}

bool SingleInstance::takeComeForwardRequest() {
    if (listenFd_ < 0) return false;
    bool requested = false;
    while (true) {
        int c = ::accept(listenFd_, nullptr, nullptr);
        if (c < 0) break;
        requested = true;
        ::close(c);
    }
    return requested;
}

}  // namespace quirn
