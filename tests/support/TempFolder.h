#pragma once
#include <string>

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

  private:
    std::string path_;
};

// A temporary working folder that the whole process uses while the object lives.
class TempWorkingFolder : public TempFolder {
  public:
    TempWorkingFolder();
    ~TempWorkingFolder();
};

// Writes a file whole (test input); returns false on failure.
bool writeFile(const std::string& path, const std::string& bytes);
// Reads a file whole; "" when missing.
std::string readFile(const std::string& path);

}  // namespace quirn::test
