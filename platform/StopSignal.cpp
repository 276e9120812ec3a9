#include "platform/StopSignal.h"

#include <csignal>

namespace quirn {

namespace {

// The one process-wide flag: a signal handler can reach nothing else.
volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onStopSignal(int) {
    stopFlag = 1;
}

}  // namespace

bool StopSignal::install() {
    bool ok = std::signal(SIGINT, onStopSignal) != SIG_ERR;
    ok = std::signal(SIGTERM, onStopSignal) != SIG_ERR && ok;
    return ok;
}

bool StopSignal::requested() {
    return stopFlag != 0;
}

}  // namespace quirn
