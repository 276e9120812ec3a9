#ifndef _WIN32
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/ProgramFolders.h"

namespace quirn {

std::string runningProgramFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string() + "/";
}

std::string programBesideThisOne(const std::string& name) {
    return runningProgramFolder() + name;
}

std::string userCacheFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return std::string(cache) + "/";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.cache/";
}

}  // namespace quirn
#endif
