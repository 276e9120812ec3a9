#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/FileCalls.h"

namespace quirn::filecalls {

namespace {
constexpr size_t kReadChunk = 64 * 1024;

int fdOf(FileHandle file) {
    return static_cast<int>(file);
}
}  // namespace

FileHandle openForWriting(const std::string& path, WriteMode mode) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    if (mode == WriteMode::Truncate) flags |= O_TRUNC;
    if (mode == WriteMode::Append) flags |= O_APPEND;
    int fd = ::open(path.c_str(), flags, 0644);
    return fd < 0 ? kNoFile : fd;
}

FileHandle openRegularForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return kNoFile;
    struct stat st {};
    // A folder opens for reading on some systems but holds no file's bytes.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kNoFile;
    }
    return fd;
}

bool writeAll(FileHandle file, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fdOf(file), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool readAll(FileHandle file, std::string& out) {
    struct stat st {};
    if (::fstat(fdOf(file), &st) == 0 && st.st_size > 0)
        out.reserve(out.size() + static_cast<size_t>(st.st_size));
    char chunk[kReadChunk];
    while (true) {
        ssize_t n = ::read(fdOf(file), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(chunk, static_cast<size_t>(n));
    }
}

bool syncFile(FileHandle file) {
    return ::fsync(fdOf(file)) == 0;
}

bool closeFile(FileHandle file) {
    return ::close(fdOf(file)) == 0;
}

bool renameReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool syncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    // Some file systems refuse fsync on a folder (EINVAL); the rename itself is done then.
    bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

bool pathPresent(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::time_t> modifiedTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mtime;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

long long processId() {
    return ::getpid();
}

}  // namespace quirn::filecalls
