#pragma once
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

namespace quirn::test {

// Sets a file's last modification time, as if it had been written at t.
inline bool setModifiedTime(const std::string& path, std::time_t t) {
    std::error_code ec;
    const auto sys = std::chrono::system_clock::from_time_t(t);
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(sys), ec);
    return !ec;
}

}  // namespace quirn::test
