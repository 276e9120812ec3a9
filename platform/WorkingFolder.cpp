#include "platform/WorkingFolder.h"

#include <cstdlib>
#include <utility>

#include "platform/Paths.h"

namespace quirn {

WorkingFolder::WorkingFolder(std::string path) : path_(withTrailingSeparator(std::move(path))) {}

std::string WorkingFolder::parent() const {
    if (path_.empty()) return std::string();
    std::string folder = path_;
    folder.pop_back();
    auto pos = folder.find_last_of("/\\");
    return pos == std::string::npos ? std::string() : folder.substr(0, pos + 1);
}

std::string WorkingFolder::logs() const {
    return file(std::string("LogFiles") + pathSeparator());
}

WorkingFolder defaultWorkingFolder() {
#ifdef _WIN32
    return WorkingFolder("c:\\vorn\\quirn3\\");
#else
    if (const char* root = std::getenv("QUIRN_ROOT"); root && *root) return WorkingFolder(root);
    const char* home = std::getenv("HOME");
    return WorkingFolder(std::string(home && *home ? home : ".") + "/vorn/quirn3/");
#endif
}

}  // namespace quirn
