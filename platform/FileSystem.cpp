#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace quirn {

namespace {
constexpr size_t kReadChunk = 64 * 1024;
}  // namespace

bool makeFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directory(path, ec);
    return folderExists(path);
}

bool makeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return folderExists(path);
}

bool folderExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

std::optional<std::time_t> fileModifiedTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mtime;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    // A folder opens for reading on some systems but holds no file's bytes.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    // Read to the end rather than trust the size: a file that fails part-way (an I/O error, a
    // device gone) must read as unreadable, never as a shorter file.
    std::string data;
    if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
    char chunk[kReadChunk];
    while (true) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::string> readOrCreateFile(const std::string& path) {
    if (!pathExists(path)) {
        touchFile(path);
        return std::string();
    }
    return readWholeFile(path);
}

bool touchFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool appendToFile(const std::string& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return false;
    const char* p = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ::close(fd);
    return ok;
}

bool sameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

bool copyFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

}  // namespace quirn
