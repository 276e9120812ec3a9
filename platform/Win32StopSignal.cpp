#include <windows.h>

#include <atomic>
#include <csignal>

#include "platform/StopSignal.h"

namespace quirn {

namespace {

// Process-wide, as the requests are: the console's handler runs on a thread of its own and
// can reach nothing else.
std::atomic<bool> stopFlag{false};

// Windows ends the process when the handler of a close, logoff or shutdown event returns, so
// the handler holds it for the program's own shutdown (the process ends it sooner by exiting).
// The system allows about five seconds for these events.
constexpr DWORD kCloseGraceMs = 4500;

BOOL WINAPI onConsoleEvent(DWORD event) {
    stopFlag = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(kCloseGraceMs);
    return TRUE;
}

extern "C" void onStopSignal(int) {
    stopFlag = true;
}

}  // namespace

bool StopSignal::install() {
    bool ok = SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
    ok = std::signal(SIGINT, onStopSignal) != SIG_ERR && ok;
    ok = std::signal(SIGTERM, onStopSignal) != SIG_ERR && ok;
    return ok;
}

bool StopSignal::requested() {
    return stopFlag;
}

}  // namespace quirn
