#include "sim/TimeFileClock.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quirn::sim {

namespace {

constexpr double kMsPerSecond = 1000.0;
// Longer than any sane number of seconds: a file holding more is not a time.
constexpr std::size_t kLongestText = 64;

}  // namespace

TimeFileClock::TimeFileClock(std::string path)
    : path_(std::move(path)), lastMs_(SystemClock().nowMs()) {
    nowMs();
}

bool TimeFileClock::parse(const std::string& text, long long& ms) {
    if (text.empty() || text.size() > kLongestText) return false;
    errno = 0;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno != 0 || !std::isfinite(seconds) || seconds < 0) return false;
    while (*end == ' ' || *end == '\r' || *end == '\n' || *end == '\t') ++end;
    if (*end != '\0') return false;
    ms = std::llround(seconds * kMsPerSecond);
    return true;
}

long long TimeFileClock::nowMs() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return lastMs_;
    std::ostringstream text;
    text << in.rdbuf();
    long long ms = 0;
    if (parse(text.str(), ms)) lastMs_ = ms;
    return lastMs_;
}

std::time_t TimeFileClock::now() const {
    const long long ms = nowMs();
    return static_cast<std::time_t>(ms / static_cast<long long>(kMsPerSecond));
}

}  // namespace quirn::sim
