#pragma once
#include <termios.h>

#include <string>

namespace quirn::test {

// A pseudo-terminal pair standing in for a serial line (POSIX only). The code under test opens
// slavePath(); the test plays the far end (the radio and the time switch) on the master side.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }

    // Writes bytes to the slave's input; false when not all were taken.
    bool send(const std::string& bytes);
    // Reads what the slave side has written, waiting up to `waitMs` for at least `atLeast`
    // bytes to arrive (bounded; returns what arrived).
    std::string receive(std::size_t atLeast = 1, int waitMs = 200);
    // Reads at most `limit` bytes of what the slave has written, without waiting: a far end
    // that drains the line slowly reads a little at a time.
    std::string receiveAtMost(std::size_t limit);
    // Drops everything the slave has written so far.
    void drain();
    // The slave's line settings as the code under test left them.
    bool slaveSettings(termios& out) const;
    // Closes the master side: the slave sees a hang-up, like an unplugged adapter.
    void closeMaster();

  private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace quirn::test
