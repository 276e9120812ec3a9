#include "platform/Win32SerialDevice.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/Win32PipeNames.h"
#include "platform/Win32Text.h"

namespace quirn {

namespace {

// A chunk small enough to leave the port after about a quarter of a second at 2400 baud, so
// that a close or a read waits no longer than that behind a write.
constexpr std::size_t kWriteChunk = 64;
constexpr std::size_t kReadChunk = 4096;
// How often the I/O thread looks for bytes that arrived (event waits do not work everywhere).
constexpr auto kPollPause = std::chrono::milliseconds(5);

// A pipe's server (the simulator) makes it ready for the next caller a moment after the last
// one closed it; a reopen waits that long rather than fail.
constexpr DWORD kPipeBusyWaitMs = 2000;
// What a pipe holds at most in one direction (the simulator's pipe has 64 KiB buffers).
constexpr std::size_t kPipeBufferBytes = 64 * 1024;

const char* settingsFor(int baud) {
    return baud == kBaud4800 ? "baud=4800 parity=N data=8 stop=1"
                             : "baud=2400 parity=N data=8 stop=1";
}

HANDLE portOf(void* handle) {
    return static_cast<HANDLE>(handle);
}

}  // namespace

std::unique_ptr<SerialDevice> createSerialDevice() {
    return std::make_unique<Win32SerialDevice>();
}

Win32SerialDevice::~Win32SerialDevice() {
    close();
}

bool Win32SerialDevice::fail(const char* what) {
    errorText_ = win32::failureText(what, GetLastError());
    close();
    return false;
}

bool Win32SerialDevice::open(const std::string& path, int baud) {
    close();
    errorText_.clear();
    pipe_ = win32::isPipePath(path);
    if (!(pipe_ ? openPipe(path, baud) : openComPort(path, baud))) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        input_.clear();
        output_.clear();
        discardRequested_ = false;
        stopping_ = false;
    }
    failed_ = false;
    worker_ = std::thread([this] { serve(); });
    return true;
}

bool Win32SerialDevice::openComPort(const std::string& path, int baud) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail("open");
    handle_ = h;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return fail("get line settings");
    if (!BuildCommDCBA(settingsFor(baud), &dcb)) return fail("line settings text");
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fBinary = TRUE;
    if (!SetCommState(h, &dcb)) return fail("set line settings");
    // Reads return at once with what the driver holds; they never ask for more anyway.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(h, &timeouts);
    DCB applied{};
    applied.DCBlength = sizeof applied;
    baud_ = GetCommState(h, &applied) ? static_cast<int>(applied.BaudRate) : baud;
    return true;
}

// A pipe has no line settings, no time-outs and no line errors: only the bytes go through. The
// rate asked for is kept as the port's rate, so that the station sees the port it configured.
bool Win32SerialDevice::openPipe(const std::string& path, int baud) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
        WaitNamedPipeA(path.c_str(), kPipeBusyWaitMs))
        h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                        nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail("open");
    handle_ = h;
    baud_ = baud == kBaud4800 ? kBaud4800 : kBaud2400;
    return true;
}

void Win32SerialDevice::close() {
    if (worker_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        worker_.join();
    }
    if (handle_) CloseHandle(portOf(handle_));
    handle_ = nullptr;
    baud_ = 0;
    pipe_ = false;
}

void Win32SerialDevice::serve() {
    while (true) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // Whatever is still queued goes out before the port closes.
            if (stopping_ && (output_.empty() || failed_)) return;
            if (output_.empty() && !discardRequested_)
                wake_.wait_for(lock, kPollPause, [this] { return stopping_ || !output_.empty(); });
        }
        if (failed_) {
            std::this_thread::sleep_for(kPollPause);
            continue;
        }
        // The input pass clears a pending line error first, which would otherwise stop writes.
        if (!moveInput() || !moveOutput()) failed_ = true;
    }
}

bool Win32SerialDevice::moveOutput() {
    unsigned char chunk[kWriteChunk];
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        count = std::min(output_.size(), kWriteChunk);
        std::copy_n(output_.begin(), count, chunk);
    }
    if (count == 0) return true;
    DWORD written = 0;
    if (!WriteFile(portOf(handle_), chunk, static_cast<DWORD>(count), &written, nullptr))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    output_.erase(output_.begin(), output_.begin() + static_cast<long>(written));
    return true;
}

bool Win32SerialDevice::bytesWaiting(unsigned long& count) {
    count = 0;
    DWORD available = 0;
    bool known = false;
    if (pipe_) {
        // Fails once the far end has closed its side: the line is gone.
        known = PeekNamedPipe(portOf(handle_), nullptr, 0, nullptr, &available, nullptr) != 0;
    } else {
        DWORD errors = 0;
        COMSTAT status{};
        // Clears a pending line error as well; a failure means the device has gone.
        known = ClearCommError(portOf(handle_), &errors, &status) != 0;
        available = status.cbInQue;
    }
    count = available;
    return known;
}

bool Win32SerialDevice::dropInput() {
    if (!pipe_) return PurgeComm(portOf(handle_), PURGE_RXCLEAR) != 0;
    // A pipe has nothing to purge with: what waits in it is read and dropped, a pipe's
    // buffer at most.
    std::vector<unsigned char> dropped(kReadChunk);
    for (std::size_t taken = 0; taken < kPipeBufferBytes;) {
        unsigned long available = 0;
        if (!bytesWaiting(available)) return false;
        if (available == 0) return true;
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(available, kReadChunk));
        if (!ReadFile(portOf(handle_), dropped.data(), wanted, &got, nullptr)) return false;
        taken += got;
    }
    return true;
}

bool Win32SerialDevice::moveInput() {
    bool discard = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        discard = discardRequested_;
        discardRequested_ = false;
    }
    if (discard && !dropInput()) return false;
    unsigned long available = 0;
    if (!bytesWaiting(available)) return false;
    if (available == 0) return true;
    std::vector<unsigned char> bytes(std::min<std::size_t>(available, kReadChunk));
    DWORD got = 0;
    if (!ReadFile(portOf(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    // Bytes that came in before a discard was asked for are dropped with the rest.
    if (!discardRequested_) input_.insert(input_.end(), bytes.begin(), bytes.begin() + got);
    return true;
}

long Win32SerialDevice::waiting() {
    if (!handle_ || failed_) return -1;
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<long>(input_.size());
}

long Win32SerialDevice::read(unsigned char* buffer, std::size_t capacity) {
    if (!handle_ || failed_) return -1;
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t count = std::min(capacity, input_.size());
    std::copy_n(input_.begin(), count, buffer);
    input_.erase(input_.begin(), input_.begin() + static_cast<long>(count));
    return static_cast<long>(count);
}

long Win32SerialDevice::write(const unsigned char* bytes, std::size_t count) {
    if (!handle_ || failed_) return -1;
    std::size_t taken = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        taken = std::min(count, kOutputCapacity - std::min(kOutputCapacity, output_.size()));
        output_.insert(output_.end(), bytes, bytes + taken);
    }
    if (taken > 0) wake_.notify_all();
    return static_cast<long>(taken);
}

bool Win32SerialDevice::discardInput() {
    if (!handle_ || failed_) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    input_.clear();
    discardRequested_ = true;
    return true;
}

}  // namespace quirn
