#include <windows.h>

#include <cctype>
#include <functional>

#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "platform/WorkingFolder.h"

namespace quirn {

namespace {

HANDLE handleOf(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The station in its own folder holds the mutex by its plain name, as every copy on this
// computer expects; a copy in another folder (a test's, a second agency's) gets a name of its
// own, so two folders never stop each other.
std::string mutexName(const std::string& name, const std::string& folder) {
    const std::string wanted = lowered(withTrailingSeparator(folder));
    if (wanted == lowered(defaultWorkingFolder().path())) return name;
    return name + "-" + std::to_string(std::hash<std::string>{}(wanted));
}

}  // namespace

SingleInstance::SingleInstance(std::string name, std::string folder)
    : lockPath_(mutexName(name, folder)), socketPath_(lockPath_ + "-ComeForward") {}

SingleInstance::~SingleInstance() {
    endHandOver();
    if (lockFd_ != -1) CloseHandle(handleOf(lockFd_));  // the mutex goes with its last handle
}

void SingleInstance::endHandOver() {
    // The event goes with its last handle: a second copy can then no longer open it.
    if (listenFd_ != -1) CloseHandle(handleOf(listenFd_));
    listenFd_ = -1;
}

bool SingleInstance::acquire() {
    if (lockFd_ != -1) return true;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, lockPath_.c_str());
    if (!mutex) return true;  // no lock possible: run rather than refuse to start
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    lockFd_ = reinterpret_cast<std::intptr_t>(mutex);
    // An auto-reset event: each request raises it once, each take lowers it.
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, socketPath_.c_str());
    if (event) listenFd_ = reinterpret_cast<std::intptr_t>(event);
    return true;
}

bool SingleInstance::askFirstToComeForward() const {
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, socketPath_.c_str());
    if (!event) return false;
    bool ok = SetEvent(event) != 0;
    CloseHandle(event);
    return ok;
}

bool SingleInstance::takeComeForwardRequest() {
    if (listenFd_ == -1) return false;
    return WaitForSingleObject(handleOf(listenFd_), 0) == WAIT_OBJECT_0;
}

}  // namespace quirn
