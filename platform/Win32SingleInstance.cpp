#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstring>
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

// The first copy's window is published as one handle value in a named mapping beside the mutex.
using WindowValue = std::int64_t;

std::string windowRecordName(const std::string& lockName) {
    return lockName + "-Window";
}

// The second copy was just started by the user, so Windows lets it hand the foreground to the
// first copy's window (a dialog open over that window keeps its place in front of it).
void bringPublishedWindowForward(const std::string& recordName) {
    HANDLE record = OpenFileMappingA(FILE_MAP_READ, FALSE, recordName.c_str());
    if (!record) return;
    WindowValue value = 0;
    if (const void* view = MapViewOfFile(record, FILE_MAP_READ, 0, 0, sizeof value)) {
        std::memcpy(&value, view, sizeof value);
        UnmapViewOfFile(view);
    }
    CloseHandle(record);
    HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
    if (value == 0 || !IsWindow(window)) return;
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window));
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
    if (windowRecord_ != -1) CloseHandle(handleOf(windowRecord_));
    windowRecord_ = -1;
}

void SingleInstance::publishWindow(std::intptr_t nativeWindow) {
    if (listenFd_ == -1) return;  // not a first copy that takes hand-overs
    if (windowRecord_ == -1) {
        HANDLE record =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                               sizeof(WindowValue), windowRecordName(lockPath_).c_str());
        if (!record) return;
        windowRecord_ = reinterpret_cast<std::intptr_t>(record);
    }
    void* view = MapViewOfFile(handleOf(windowRecord_), FILE_MAP_WRITE, 0, 0, sizeof(WindowValue));
    if (!view) return;
    const WindowValue value = nativeWindow;
    std::memcpy(view, &value, sizeof value);
    UnmapViewOfFile(view);
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
    bringPublishedWindowForward(windowRecordName(lockPath_));
    // The first copy answers the request by activating its window as well.
    AllowSetForegroundWindow(ASFW_ANY);
    bool ok = SetEvent(event) != 0;
    CloseHandle(event);
    return ok;
}

bool SingleInstance::takeComeForwardRequest() {
    if (listenFd_ == -1) return false;
    return WaitForSingleObject(handleOf(listenFd_), 0) == WAIT_OBJECT_0;
}

}  // namespace quirn
