#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quirn::filecalls {

// The operating system's file calls that the file helpers (FileSystem.h, AtomicFile.h) are
// built on, one backend per platform (PosixFileCalls.cpp). Every write, sync and rename of the
// station passes through the helpers above these calls, which is where a test injects faults
// (FileFaults.h). No call throws; a failed call leaves errno-style detail to the backend.

// An open file; kNoFile when an open failed.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class WriteMode {
    Truncate,    // create or empty the file, write from the start
    Append,      // create when missing, every write goes to the end
    CreateOnly,  // create when missing, never empty an existing file
};

FileHandle openForWriting(const std::string& path, WriteMode mode);
// Only a regular file opens; a folder or a device gives kNoFile.
FileHandle openRegularForReading(const std::string& path);
// Writes every byte (retrying partial writes and interruptions); false on the first failure,
// after which an unknown prefix may be in the file.
bool writeAll(FileHandle file, std::string_view bytes);
// Reads the rest of the file into `out`; false when a read fails part-way.
bool readAll(FileHandle file, std::string& out);
// Makes what was written durable (the data reaches the disk).
bool syncFile(FileHandle file);
// Closes; false when the close reported a failure (a late write error).
bool closeFile(FileHandle file);
// Renames over an existing target in one step.
bool renameReplacing(const std::string& from, const std::string& to);
// Makes the folder's entries durable (a rename in it survives a power cut). A platform that
// has no such call, or a folder that cannot be opened for it, gives true.
bool syncFolder(const std::string& folder);
// Something (a file, a folder, a link, even a broken one) is at the path.
bool pathPresent(const std::string& path);
std::optional<std::time_t> modifiedTime(const std::string& path);
// Both paths name one and the same file or folder (however spelt, through links too); false
// when either is missing.
bool sameFile(const std::string& a, const std::string& b);
// This process's id, to make temporary names unique between processes.
long long processId();

}  // namespace quirn::filecalls
