#include <windows.h>

#include <chrono>
#include <thread>

#include "platform/FileCalls.h"
#include "platform/Win32Text.h"

namespace quirn::filecalls {

namespace {

// Bytes per read or write call.
constexpr DWORD kChunk = 64 * 1024;
// Another program (an editor, a viewer, a virus scanner) may hold a log or a CSV open for a
// moment; the replace tries again for about half a second before it reports a failure.
constexpr int kReplaceTries = 10;
constexpr auto kReplacePause = std::chrono::milliseconds(50);
// Seconds between 1601-01-01 (FILETIME) and 1970-01-01 (time_t).
constexpr long long kEpochDifference = 11644473600LL;
constexpr long long kFileTimeUnitsPerSecond = 10000000LL;

HANDLE handleOf(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

FileHandle fileOf(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(handle);
}

// Readers never lock anyone out: a technician may open a log while the station writes it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool passingSharingFault(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

}  // namespace

FileHandle openForWriting(const std::string& path, WriteMode mode) {
    DWORD access = mode == WriteMode::Append ? FILE_APPEND_DATA : GENERIC_WRITE;
    DWORD disposition = mode == WriteMode::Truncate ? CREATE_ALWAYS : OPEN_ALWAYS;
    return fileOf(CreateFileW(win32::widened(path).c_str(), access, kShareAll, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle openRegularForReading(const std::string& path) {
    HANDLE h = CreateFileW(win32::widened(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kNoFile;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return kNoFile;
    }
    return fileOf(h);
}

bool writeAll(FileHandle file, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD chunk = left > kChunk ? kChunk : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(handleOf(file), p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        left -= written;
    }
    return true;
}

bool readAll(FileHandle file, std::string& out) {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(handleOf(file), &size) && size.QuadPart > 0)
        out.reserve(out.size() + static_cast<std::size_t>(size.QuadPart));
    std::string chunk(kChunk, '\0');
    while (true) {
        DWORD got = 0;
        if (!ReadFile(handleOf(file), chunk.data(), kChunk, &got, nullptr)) return false;
        if (got == 0) return true;
        out.append(chunk.data(), got);
    }
}

bool syncFile(FileHandle file) {
    return FlushFileBuffers(handleOf(file)) != 0;
}

bool closeFile(FileHandle file) {
    return CloseHandle(handleOf(file)) != 0;
}

bool renameReplacing(const std::string& from, const std::string& to) {
    const std::wstring source = win32::widened(from);
    const std::wstring target = win32::widened(to);
    for (int attempt = 1;; ++attempt) {
        // Write-through: the call returns only once the new name is on the disk, which is what
        // a folder sync gives elsewhere.
        if (MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (attempt >= kReplaceTries || !passingSharingFault(GetLastError())) return false;
        std::this_thread::sleep_for(kReplacePause);
    }
}

bool syncFolder(const std::string&) {
    // Folders cannot be flushed here; the write-through rename above already made it durable.
    return true;
}

bool pathPresent(const std::string& path) {
    return GetFileAttributesW(win32::widened(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::time_t> modifiedTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(win32::widened(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    ULARGE_INTEGER units{};
    units.LowPart = data.ftLastWriteTime.dwLowDateTime;
    units.HighPart = data.ftLastWriteTime.dwHighDateTime;
    return static_cast<std::time_t>(
        static_cast<long long>(units.QuadPart) / kFileTimeUnitsPerSecond - kEpochDifference);
}

namespace {

// The volume and the file's index on it, which every spelling of a path shares.
std::optional<BY_HANDLE_FILE_INFORMATION> identityOf(const std::string& path) {
    // Backup semantics let a folder open too; no access is asked, so nothing is locked.
    HANDLE h = CreateFileW(win32::widened(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!known) return std::nullopt;
    return info;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
    const auto first = identityOf(a);
    const auto second = identityOf(b);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
           first->nFileIndexHigh == second->nFileIndexHigh &&
           first->nFileIndexLow == second->nFileIndexLow;
}

long long processId() {
    return static_cast<long long>(GetCurrentProcessId());
}

}  // namespace quirn::filecalls
