#pragma once
#include <string>

#include "platform/WorkingFolder.h"

namespace quirn::test {

// A fresh temporary folder, removed with everything in it when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder, ending in "/".
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }
    // The folder as a working folder, to hand to a station, a tool or a loader.
    WorkingFolder workingFolder() const { return WorkingFolder(path_); }
    // Its log folder as a working folder has it ("LogFiles/").
    std::string logs() const { return workingFolder().logs(); }

  private:
    std::string path_;
};

// Writes a file whole (test input); returns false on failure.
bool writeFile(const std::string& path, const std::string& bytes);
// Reads a file whole; "" when missing.
std::string readFile(const std::string& path);

}  // namespace quirn::test
