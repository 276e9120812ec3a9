#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace quirn {

namespace {
bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}
}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
    // A name of its own per call, so that two writers of one file never share a temporary.
    static std::atomic<unsigned> serial{0};
    std::string temp = path + "." + std::to_string(::getpid()) + "." +
                       std::to_string(serial.fetch_add(1)) + ".tmp~";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace quirn
