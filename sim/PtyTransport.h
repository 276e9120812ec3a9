#pragma once
#include <functional>
#include <string>

#include "platform/Clock.h"
#include "platform/PseudoTerminal.h"
#include "sim/ReplyPacer.h"
#include "sim/SimulatedTimeSwitch.h"

namespace quirn::sim {

// A simulated switch on a pseudo-terminal, as if attached to the station's serial port. Bytes
// that arrive while the station's line rate differs from the switch's are lost, as they would
// be on a real line.
class PtyTransport {
  public:
    using LogSink = std::function<void(const std::string&)>;

    PtyTransport(PseudoTerminal& pty, SimulatedTimeSwitch& device, const Clock& host, LogSink log);

    // One turn: takes what the station wrote, answers, lets the switch's time pass and sends
    // the reply bytes now due. False when the pseudo-terminal failed.
    bool step();

  private:
    PseudoTerminal& pty_;
    SimulatedTimeSwitch& device_;
    const Clock& host_;
    LogSink log_;
    ReplyPacer pacer_;
};

}  // namespace quirn::sim
