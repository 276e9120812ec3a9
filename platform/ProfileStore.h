#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/UnreadableFiles.h"

namespace quirn {

// The application's profile store: named sections of integer and text entries, kept in an
// INI-style file ("[Section]" then "Entry=value" lines). Every write saves the file at once
// (atomically), so a crash never loses an earlier entry, and changes only its own line of the
// file as it is on disk at that moment: entries another program or the technician added while
// the station runs are kept. Reads of missing entries give the caller's default. A missing file
// reads as empty; one that cannot be read is never written over.
class ProfileStore {
  public:
    // Where writes go: the file (the program), or memory only (a tool that looks at a
    // station's folder and must leave it as it found it).
    enum class Writes { ToFile, InMemory };

    // The store's file; the program uses "quirnradio.ini" in the working folder.
    explicit ProfileStore(std::string path, Writes writes = Writes::ToFile);

    int getInt(const std::string& section, const std::string& entry, int defaultValue) const;
    std::string getString(const std::string& section, const std::string& entry,
                          const std::string& defaultValue) const;
    // False when the file could not be written, or could not be read (the value is still kept
    // in memory). Also takes in what others changed in the file since it was last read.
    // In memory only (Writes::InMemory): the value is kept, the file is left alone, true.
    bool writeInt(const std::string& section, const std::string& entry, int value);
    bool writeString(const std::string& section, const std::string& entry,
                     const std::string& value);

    // Re-reads the file (another process may have written it).
    void reload();
    const std::string& path() const { return path_; }
    // The store's file when it was there but could not be read: it is never written over.
    const UnreadableFiles& unreadableFiles() const { return unreadableFiles_; }

  private:
    void parse(std::string_view text);
    std::string path_;
    Writes writes_;
    UnreadableFiles unreadableFiles_;
    std::map<std::string, std::map<std::string, std::string>> sections_;
};

// File name of the program's profile store inside the working folder.
inline constexpr const char* kProfileStoreFileName = "quirnradio.ini";

}  // namespace quirn
