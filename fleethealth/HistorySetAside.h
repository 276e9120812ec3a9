#pragma once
#include <ctime>
#include <string>

namespace quirn {

// "<path>.damaged-YYYYMMDD-HHMMSS" in local time.
std::string setAsideName(const std::string& path, std::time_t now);

// Moves a damaged history (a file or a folder in its place) out of the way, with its write-ahead
// log beside it, and drops its shared-memory index, so a fresh history can start at `path`. A
// name already taken gets "-2", "-3"... False, with `problem`, when it cannot be moved (a
// read-only folder): the file then stays as it was.
bool setAsideHistory(const std::string& path, std::time_t now, std::string& asidePath,
                     std::string& problem);

}  // namespace quirn
