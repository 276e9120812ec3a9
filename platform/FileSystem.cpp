#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace quirn {

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

bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

std::optional<std::time_t> fileModifiedTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mtime;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    // A folder opens as a stream on some systems but has no size to read.
    if (!fileExists(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data;
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    if (size < 0) return std::nullopt;
    if (size > 0) {
        data.resize(static_cast<size_t>(size));
        in.seekg(0);
        in.read(data.data(), size);
        data.resize(static_cast<size_t>(in.gcount()));
    }
    return data;
}

std::string readOrCreateFile(const std::string& path) {
    if (auto text = readWholeFile(path)) return std::move(*text);
    touchFile(path);
    return {};
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

bool copyFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

}  // namespace quirn
