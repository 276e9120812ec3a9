#include "platform/FileFaults.h"

#include <atomic>
#include <cstdlib>

namespace quirn {

namespace {

enum class Mode { Off, Counting, Armed, DiskIsFull };

// The injector's whole state; see the header for why it is process-wide.
std::atomic<Mode> gMode{Mode::Off};
std::atomic<long> gCalls{0};
std::atomic<long> gTargetCall{0};
std::atomic<FileFault> gFault{FileFault::Fail};

}  // namespace

void FileFaultInjector::startCounting() {
    gCalls = 0;
    gMode = Mode::Counting;
}

void FileFaultInjector::arm(FileFault fault, long nth) {
    gCalls = 0;
    gFault = fault;
    gTargetCall = nth;
    gMode = Mode::Armed;
}

void FileFaultInjector::disarm() {
    gMode = Mode::Off;
    gCalls = 0;
}

long FileFaultInjector::callsCounted() {
    return gCalls;
}

bool filefaults::failsBefore(FileCall call) {
    Mode mode = gMode.load(std::memory_order_relaxed);
    if (mode == Mode::Off) return false;
    long number = ++gCalls;
    if (mode == Mode::DiskIsFull) return call == FileCall::Write;
    if (mode != Mode::Armed || number != gTargetCall) return false;
    switch (gFault.load()) {
        case FileFault::Crash:
            std::_Exit(kFileFaultCrashExitCode);
        case FileFault::DiskFull:
            gMode = Mode::DiskIsFull;
            return call == FileCall::Write;
        case FileFault::Fail:
            return true;
    }
    return false;
}

}  // namespace quirn
