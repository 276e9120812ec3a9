#pragma once

namespace quirn {

// The interrupt and terminate requests a long-running tool stops on. The handler only sets a
// flag; the tool's loop asks requested() between its steps and ends in order.
class StopSignal {
  public:
    // Installs the handlers for interrupt (Ctrl-C) and terminate. False when the system
    // refuses.
    static bool install();
    // True once either request has arrived.
    static bool requested();
};

}  // namespace quirn
