#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/support/PtyPair.h"

namespace quirn::test {

// The far end of the station's radio port: a pseudo-terminal whose every byte the station
// sends is heard by several simulated time switches at once, as on the air; whichever switch
// is addressed answers on the same line. Runs in this process on the station's manual clock.
class RadioChannel {
  public:
    explicit RadioChannel(const Clock& clock) : clock_(clock) {}

    bool ok() const { return pty_.ok(); }
    const std::string& devicePath() const { return pty_.slavePath(); }

    // A QN510 at master group 1, group 1, `location`; `silent` computes its replies but never
    // sends them (a switch that stopped answering).
    void addSwitch(int location, bool silent = false);

    // Carries what the station wrote to every switch and their answers back; waits at most
    // `waitMs` of real time for the station's bytes.
    void serve(int waitMs);

    // Answers each switch gave so far (a silent one counts none).
    int answers(int location) const;
    // Messages each switch heard that made it answer (or would have, when silent).
    int readRequests(int location) const;

  private:
    const Clock& clock_;
    PtyPair pty_;
    std::map<int, std::unique_ptr<sim::SimulatedTimeSwitch>> switches_;
    std::map<int, int> answers_;
    std::map<int, int> requests_;
};

}  // namespace quirn::test
