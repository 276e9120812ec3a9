#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "platform/PseudoTerminal.h"

namespace quirn::test {

// A serial line whose far end has stopped reading (POSIX only): the pseudo-terminal's output
// queue is filled through a second descriptor of its device, so that the station's driver takes
// nothing more until the far end reads again. release() reads exactly the filler back out, and
// what the station writes afterwards is left for the switch.
class StalledLine {
  public:
    // Bounds of the filling: chunks down to one byte, a few rounds for the kernel to move what
    // it buffered on to the far end, and a ceiling far above any queue size.
    static constexpr std::size_t kChunk = 1024;
    static constexpr int kSettleRounds = 5;
    static constexpr int kSettleMs = 20;
    static constexpr std::size_t kCeiling = 1 << 20;
    static constexpr int kReleaseWaitMs = 200;
    static constexpr int kMaxReleaseReads = 10000;

    explicit StalledLine(PseudoTerminal& pty) : pty_(pty) {}
    ~StalledLine() {
        if (fd_ >= 0) ::close(fd_);
    }
    StalledLine(const StalledLine&) = delete;
    StalledLine& operator=(const StalledLine&) = delete;

    // Fills the line until two rounds in a row take nothing; false when it cannot be opened or
    // never fills.
    bool stall() {
        fd_ = ::open(pty_.devicePath().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return false;
        std::vector<char> zeros(kChunk, 0);
        int quietRounds = 0;
        for (int round = 0; round < 4 * kSettleRounds && quietRounds < 2; ++round) {
            std::size_t before = filled_;
            for (std::size_t chunk = kChunk; chunk > 0 && filled_ < kCeiling; chunk /= 2)
                while (filled_ < kCeiling) {
                    long n = ::write(fd_, zeros.data(), chunk);
                    if (n <= 0) break;
                    filled_ += static_cast<std::size_t>(n);
                }
            quietRounds = filled_ == before ? quietRounds + 1 : 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
        }
        return quietRounds >= 2 && filled_ < kCeiling;
    }

    // The far end reads the filler back (and nothing after it); false when it did not come.
    bool release() {
        std::vector<unsigned char> buffer(kChunk);
        std::size_t left = filled_;
        for (int i = 0; i < kMaxReleaseReads && left > 0 && pty_.waitReadable(kReleaseWaitMs);
             ++i) {
            long n = pty_.read(buffer.data(), std::min(left, buffer.size()));
            if (n < 0) return false;
            left -= static_cast<std::size_t>(n);
        }
        return left == 0;
    }

    std::size_t filled() const { return filled_; }

  private:
    PseudoTerminal& pty_;
    int fd_ = -1;
    std::size_t filled_ = 0;
};

}  // namespace quirn::test
