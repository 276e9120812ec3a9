#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quirn {

// A helper program run by this one (PosixChildProcess.cpp, Win32ChildProcess.cpp): the demo's
// simulated time switches, or a test's. Its standard output is a pipe whose first line (the device
// path or listening address) the caller reads; its standard error goes to a file. The process is
// always stopped with SIGTERM and reaped, with bounded waits; only if it ignores SIGTERM is it
// killed. On Windows, which has no such signal for a program without a window, stop() ends it at
// once.
// The helper never outlives this program, however this program ends (a SIGKILL, a crash): on
// Linux it gets SIGTERM when the thread that started it ends, so a helper is started from the
// thread that lives as long as it is needed (the main thread); on Windows it is in a job that
// ends with this program's last handle to it.
class ChildProcess {
  public:
    ChildProcess(const std::string& binary, const std::vector<std::string>& args,
                 const std::string& stderrPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // The system's process id; -1 when none runs.
    long long processId() const;
    // The first line the program printed, without its line end; empty when none came in time.
    std::string firstLine(int waitMs = 3000);
    // Sends SIGTERM and waits for the exit; the exit code, or nothing when it had to be killed
    // or ended by a signal.
    std::optional<int> stop(int waitMs = 3000);
    // Waits for the program to end by itself; the exit code, or nothing when still running
    // (it is then left running for stop()).
    std::optional<int> waitExit(int waitMs = 3000);

  private:
    std::optional<int> reap(int waitMs);
    long long pid_ = -1;      // the process id (its handle on Windows); -1 when none runs
    std::intptr_t out_ = -1;  // the read end of its standard output; -1 when none
    std::string buffered_;
#ifdef _WIN32
    std::intptr_t job_ = -1;  // the job whose end ends the helper
#endif
};

}  // namespace quirn
