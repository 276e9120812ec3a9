#include "platform/UnreadableFiles.h"

#include <algorithm>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace quirn {

std::optional<std::string> UnreadableFiles::loadText(const std::string& path) {
    std::optional<std::string> text = readOrCreateFile(path);
    remember(path, text.has_value());
    return text;
}

std::optional<std::string> UnreadableFiles::loadIfPresent(const std::string& path) {
    if (!pathExists(path)) {
        remember(path, true);
        return std::nullopt;
    }
    std::optional<std::string> bytes = readWholeFile(path);
    remember(path, bytes.has_value());
    return bytes;
}

void UnreadableFiles::remember(const std::string& path, bool readable) {
    auto it = std::find(paths_.begin(), paths_.end(), path);
    if (readable && it != paths_.end()) paths_.erase(it);
    if (!readable && it == paths_.end()) paths_.push_back(path);
}

bool UnreadableFiles::contains(const std::string& path) const {
    return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
}

bool UnreadableFiles::replace(const std::string& path, std::string_view bytes) const {
    if (contains(path)) return false;
    const bool written = replaceFileAtomically(path, bytes);
    noteWritten(path, written);
    return written;
}

void UnreadableFiles::noteWritten(const std::string& path, bool written) const {
    auto it = std::find(unwritten_.begin(), unwritten_.end(), path);
    if (written && it != unwritten_.end()) unwritten_.erase(it);
    if (!written && it == unwritten_.end()) unwritten_.push_back(path);
}

}  // namespace quirn
