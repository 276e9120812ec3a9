#pragma once
#include <map>
#include <string>

namespace quirn {

// The application's profile store: named sections of integer and text entries, kept in an
// INI-style file ("[Section]" then "Entry=value" lines). Every write saves the file at once
// (atomically), so a crash never loses an earlier entry. Reads of missing entries give the
// caller's default. A missing or unreadable file reads as empty.
class ProfileStore {
public:
    // The store's file; the program uses "quirnradio.ini" in the working folder.
    explicit ProfileStore(std::string path);

    int getInt(const std::string& section, const std::string& entry, int defaultValue) const;
    std::string getString(const std::string& section, const std::string& entry,
                          const std::string& defaultValue) const;
    // False when the file could not be written (the value is still kept in memory).
    bool writeInt(const std::string& section, const std::string& entry, int value);
    bool writeString(const std::string& section, const std::string& entry,
                     const std::string& value);

    // Re-reads the file (another process may have written it).
    void reload();
    const std::string& path() const { return path_; }

private:
    bool save() const;
    std::string path_;
    std::map<std::string, std::map<std::string, std::string>> sections_;
};

// File name of the program's profile store inside the working folder.
inline constexpr const char* kProfileStoreFileName = "quirnradio.ini";

}  // namespace quirn
