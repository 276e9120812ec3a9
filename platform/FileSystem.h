#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quirn {

// Creates one folder; false when it could not be made (an existing folder counts as made).
bool makeFolder(const std::string& path);
// Creates a folder and any missing parents; false when it could not be made.
bool makeFolders(const std::string& path);
bool folderExists(const std::string& path);
bool fileExists(const std::string& path);
// Removes a file; false when it was not there or could not be removed.
bool removeFile(const std::string& path);
// Last modification time, or nothing when the file is missing.
std::optional<std::time_t> fileModifiedTime(const std::string& path);
// Whole file as bytes, or nothing when it is missing, is not a regular file, or cannot be read
// to its end (permissions, an I/O error).
std::optional<std::string> readWholeFile(const std::string& path);
// Something (a file, a folder, a link) is at the path.
bool pathExists(const std::string& path);
// Reads one of the system's files for loading. A file that does not exist is created empty and
// reads as empty (the system's text files are always there after their first load). Nothing
// when something is there that cannot be read: its owner must not save over it (see
// UnreadableFiles).
std::optional<std::string> readOrCreateFile(const std::string& path);
// Creates an empty file when none exists (never truncates); false on failure.
bool touchFile(const std::string& path);
// Appends the bytes with one write call (open, write, close); false on failure.
bool appendToFile(const std::string& path, std::string_view bytes);
// Both paths name the same existing folder (or file), however they are spelt.
bool sameFolder(const std::string& a, const std::string& b);
// Copies a file through an atomic replace of the target; false on failure (the target is then
// as it was).
bool copyFile(const std::string& from, const std::string& to);

}  // namespace quirn
