#pragma once

namespace quirn {

// The requests to end that come from outside the program: interrupt (Ctrl-C), terminate
// (logout, system shutdown, `kill`) and hang-up on POSIX; the console's control events on
// Windows. The handler only notes the request; the program ends in its own order, from its
// loop (a tool asks requested() between its steps; the station's event loop watches
// waitHandle()).
class StopSignal {
  public:
    // Installs the handlers. False when the system refuses one of them.
    static bool install();
    // True once a request has arrived.
    static bool requested();
#ifndef _WIN32
    // A descriptor that becomes readable once a request has arrived (the handler writes a
    // byte that nobody reads); -1 before install() or when none could be made.
    static int waitHandle();
#endif
};

}  // namespace quirn
