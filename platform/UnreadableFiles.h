#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

// The files of one owner (the database, the settings, a store) that were there but could not be
// read when the owner last loaded them. Saving over such a file would replace content nobody saw
// with what was loaded instead of it, usually nothing; so the owner's saves leave these files
// alone until a later load reads them.
class UnreadableFiles {
  public:
    // readOrCreateFile(path), remembering whether the file could be read: nothing when it is
    // there but unreadable (permissions, an I/O error, a folder in its place).
    std::optional<std::string> loadText(const std::string& path);
    // The same for a file that is not created when missing (a missing one reads as nothing and
    // is not remembered as unreadable).
    std::optional<std::string> loadIfPresent(const std::string& path);

    bool contains(const std::string& path) const;
    bool empty() const { return paths_.empty(); }
    // In the order their loads failed.
    const std::vector<std::string>& paths() const { return paths_; }

    // Replaces the file atomically unless it could not be read at its last load. False when it
    // was left alone for that reason or the write failed.
    bool replace(const std::string& path, std::string_view bytes) const;
    // The files whose latest replace failed to write (a full disk, a read-only folder), in the
    // order they first failed; a later replace that succeeds takes its file off the list.
    const std::vector<std::string>& unwritten() const { return unwritten_; }
    // Takes note of a replace made elsewhere (by a worker thread, of bytes built from the
    // owner's records), as if replace had made it.
    void noteWritten(const std::string& path, bool written) const;

  private:
    void remember(const std::string& path, bool readable);
    std::vector<std::string> paths_;
    // Kept by the const replace: a save does not change what the store holds.
    mutable std::vector<std::string> unwritten_;
};

}  // namespace quirn
