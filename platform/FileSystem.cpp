#include "platform/FileSystem.h"

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/FileCalls.h"
#include "platform/FileFaults.h"

namespace quirn {

using namespace filecalls;

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
    if (filefaults::failsBefore(FileCall::Remove)) return false;
    std::error_code ec;
    return std::filesystem::remove(path, ec) && !ec;
}

std::optional<std::time_t> fileModifiedTime(const std::string& path) {
    return modifiedTime(path);
}

std::optional<std::string> readWholeFile(const std::string& path) {
    FileHandle file = openRegularForReading(path);
    if (file == kNoFile) return std::nullopt;
    // Read to the end rather than trust the size: a file that fails part-way (an I/O error, a
    // device gone) must read as unreadable, never as a shorter file.
    std::string data;
    bool ok = readAll(file, data);
    closeFile(file);
    if (!ok) return std::nullopt;
    return data;
}

bool pathExists(const std::string& path) {
    return pathPresent(path);
}

std::optional<std::string> readOrCreateFile(const std::string& path) {
    if (!pathExists(path)) {
        touchFile(path);
        return std::string();
    }
    return readWholeFile(path);
}

bool touchFile(const std::string& path) {
    FileHandle file = openForWriting(path, WriteMode::CreateOnly);
    if (file == kNoFile) return false;
    closeFile(file);
    return true;
}

bool appendToFile(const std::string& path, std::string_view bytes) {
    FileHandle file = openForWriting(path, WriteMode::Append);
    if (file == kNoFile) return false;
    bool ok = !filefaults::failsBefore(FileCall::Write) && writeAll(file, bytes);
    ok = closeFile(file) && ok;
    return ok;
}

bool sameFolder(const std::string& a, const std::string& b) {
    // By the system's identity of the folder: the C++ library's comparison cannot tell folders
    // apart on every platform (on Windows it answered "not the same" for any spelling).
    return filecalls::sameFile(a, b);
}

bool copyFile(const std::string& from, const std::string& to) {
    // Through the atomic replace, so that a copy cut short never leaves half a file behind.
    std::optional<std::string> bytes = readWholeFile(from);
    return bytes && replaceFileAtomically(to, *bytes);
}

}  // namespace quirn
