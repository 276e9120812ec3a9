#pragma once
#include <cstdio>
#include <string>

#include "platform/Clock.h"

namespace quirn::sim {

// Writes the simulator's log: one line per event, stamped with the host's local time, to
// standard error or appended to a file, flushed line by line so a test can read it at once.
class SimLogWriter {
  public:
    explicit SimLogWriter(const Clock& clock) : clock_(clock) {}
    ~SimLogWriter();
    SimLogWriter(const SimLogWriter&) = delete;
    SimLogWriter& operator=(const SimLogWriter&) = delete;

    // Appends to `path`; an empty path means standard error. False when the file cannot be
    // opened (then lines go to standard error).
    bool open(const std::string& path);
    void write(const std::string& line);

  private:
    const Clock& clock_;
    std::FILE* file_ = nullptr;
};

}  // namespace quirn::sim
