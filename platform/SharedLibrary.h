#pragma once
#include <string>

namespace quirn {

// A shared library loaded at run time and the symbols found in it. The POSIX backend uses the
// dynamic loader; a Win32 backend fills the same contract with LoadLibrary and GetProcAddress.
class SharedLibrary {
  public:
    SharedLibrary() = default;
    // Unloads the library unless keepLoaded() was called.
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library at `path`, resolving every symbol now and keeping its symbols to
    // itself. False when it cannot be loaded; errorText() then says why.
    bool open(const std::string& path);
    // The address of an exported symbol; null when the library is not open or lacks it.
    void* symbol(const char* name) const;
    // Leaves the library loaded for the rest of the program: functions taken from it stay
    // callable after this object is gone.
    void keepLoaded() { kept_ = true; }
    bool isOpen() const { return handle_ != nullptr; }
    const std::string& errorText() const { return error_; }

  private:
    void* handle_ = nullptr;
    bool kept_ = false;
    std::string error_;
};

// The absolute path of the program or library file that holds `address` (a function of it);
// empty when the system cannot tell.
std::string moduleFileOf(const void* address);

}  // namespace quirn
