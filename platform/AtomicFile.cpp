#include "platform/AtomicFile.h"

#include <atomic>
#include <filesystem>

#include "platform/FileCalls.h"
#include "platform/FileFaults.h"
#include "platform/FileSystem.h"

namespace quirn {

namespace {

using namespace filecalls;

// The folder part of a path ("" for a bare name: the current folder).
std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool writeDurably(const std::string& temp, std::string_view bytes) {
    FileHandle file = openForWriting(temp, WriteMode::Truncate);
    if (file == kNoFile) return false;
    bool ok = !filefaults::failsBefore(FileCall::Write) && writeAll(file, bytes);
    ok = ok && !filefaults::failsBefore(FileCall::Sync) && syncFile(file);
    ok = closeFile(file) && ok;
    return ok;
}

}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
    // A name of its own per call, so that two writers of one file never share a temporary.
    static std::atomic<unsigned> serial{0};
    std::string temp = path + "." + std::to_string(processId()) + "." +
                       std::to_string(serial.fetch_add(1)) + kTemporarySuffix;
    bool ok = writeDurably(temp, bytes);
    ok = ok && !filefaults::failsBefore(FileCall::Rename) && renameReplacing(temp, path);
    if (!ok) {
        removeFile(temp);
        return false;
    }
    // Without this a power cut soon after the rename can bring back the old file.
    return !filefaults::failsBefore(FileCall::Sync) && syncFolder(folderOf(path));
}

int removeStaleTemporaries(const std::string& folder, std::time_t now, long olderThanSeconds) {
    int removed = 0;
    std::error_code ec;
    const std::string suffix = kTemporarySuffix;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string path = entry.path().string();
        std::optional<std::time_t> modified = modifiedTime(path);
        if (!modified || now - *modified <= olderThanSeconds) continue;
        if (removeFile(path)) ++removed;
    }
    return removed;
}

}  // namespace quirn
