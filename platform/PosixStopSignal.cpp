#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/StopSignal.h"

namespace quirn {

namespace {

// Process-wide, as the signals are: a handler can reach nothing else. The pipe lets an event
// loop wake up on a request without doing any work inside the handler.
volatile sig_atomic_t stopFlag = 0;
int wakeRead = -1;
int wakeWrite = -1;

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onStopSignal(int) {
    const int saved = errno;
    stopFlag = 1;
    const char byte = 1;
    // A full pipe already wakes the loop; the byte may then be dropped.
    if (wakeWrite >= 0) {
        [[maybe_unused]] ssize_t n = ::write(wakeWrite, &byte, 1);
    }
    errno = saved;
}

}  // namespace

bool StopSignal::install() {
    if (wakeRead < 0) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
            wakeRead = ends[0];
            wakeWrite = ends[1];
        }
    }
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Blocking calls elsewhere carry on; the request is seen where the program looks for it.
    action.sa_flags = SA_RESTART;
    bool ok = wakeRead >= 0;
    for (int signal : kStopSignals) ok = ::sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}

bool StopSignal::requested() {
    return stopFlag != 0;
}

int StopSignal::waitHandle() {
    return wakeRead;
}

}  // namespace quirn
