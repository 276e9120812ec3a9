#include "platform/Paths.h"

#include <cstdlib>
#include <mutex>

namespace quirn {

namespace {

std::mutex gOverrideMutex;
std::string& overrideFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

const char* pathSeparator() {
#ifdef _WIN32
    return "\\";
#else
    return "/";
#endif
}

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty()) return folder;
    char last = folder.back();
    if (last != '/' && last != '\\') folder += pathSeparator();
    return folder;
}

void setWorkingFolderOverride(const std::string& folder) {
    std::lock_guard lock(gOverrideMutex);
    overrideFolder() = withTrailingSeparator(folder);
}

std::string workingFolder() {
    {
        std::lock_guard lock(gOverrideMutex);
        if (!overrideFolder().empty()) return overrideFolder();
    }
#ifdef _WIN32
    return "c:\\vorn\\quirn3\\";
#else
    if (const char* root = std::getenv("QUIRN_ROOT"); root && *root)
        return withTrailingSeparator(root);
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/vorn/quirn3/";
#endif
}

std::string workPath(const std::string& relative) {
    return workingFolder() + relative;
}

std::string workingFolderParent() {
    std::string folder = workingFolder();
    folder.pop_back();
    auto pos = folder.find_last_of("/\\");
    return pos == std::string::npos ? std::string() : folder.substr(0, pos + 1);
}

std::string logFolder() {
    return workPath(std::string("LogFiles") + pathSeparator());
}

}  // namespace quirn
