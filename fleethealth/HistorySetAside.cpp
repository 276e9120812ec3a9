#include "fleethealth/HistorySetAside.h"

#include <filesystem>
#include <system_error>

#include "platform/Format.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
// SQLite's companion files of a database in WAL mode.
constexpr const char* kWalSuffix = "-wal";
constexpr const char* kShmSuffix = "-shm";
// Tries with "-2", "-3"... before giving up on a free name.
constexpr int kNameAttempts = 100;

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}
}  // namespace

std::string setAsideName(const std::string& path, std::time_t now) {
    return path + formatLocal(".damaged-%Y%m%d-%H%M%S", now);
}

bool setAsideHistory(const std::string& path, std::time_t now, std::string& asidePath,
                     std::string& problem) {
    const std::string base = setAsideName(path, now);
    asidePath = base;
    for (int attempt = 2; exists(asidePath) || exists(asidePath + kWalSuffix); ++attempt) {
        if (attempt > kNameAttempts) {
            problem = "no free name to set it aside";
            return false;
        }
        asidePath = format("%s-%d", base.c_str(), attempt);
    }
    std::error_code ec;
    std::filesystem::rename(path, asidePath, ec);
    if (ec) {
        problem = "it could not be set aside: " + ec.message();
        asidePath.clear();
        return false;
    }
    // The log belongs to the damaged file: left behind, a fresh file would replay it.
    if (exists(path + kWalSuffix)) {
        std::filesystem::rename(path + kWalSuffix, asidePath + kWalSuffix, ec);
        if (ec) std::filesystem::remove(path + kWalSuffix, ec);
    }
    std::filesystem::remove(path + kShmSuffix, ec);
    return true;
}

}  // namespace quirn
