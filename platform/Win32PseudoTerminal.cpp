#include <windows.h>

#include <vector>

#include "platform/Deadline.h"
#include "platform/PseudoTerminal.h"
#include "platform/Win32PipeNames.h"
#include "platform/Win32Text.h"

namespace quirn {

namespace {

// Windows has no pseudo-terminals. The device side here is a local named pipe of one instance
// ("\\.\pipe\quirn-sim-<pid>-<n>"), which the station's serial layer opens by its name as it
// opens a COM port, and only one program at a time, as a COM port. This side is the pipe's
// server: when the program on the device side closes it, the pipe is made ready for the next
// one at once, as a pseudo-terminal whose device side is held open outlives its users.
//
// A pipe carries no line settings, so the device side has no rate of its own (deviceBaud() is
// 0): the simulated switch hears the station whatever rate either side is set to.
//
// All calls on the pipe are overlapped, so that none waits: a read takes only what the pipe
// reports as waiting, a write hands its bytes over and is looked at again by the next call.
constexpr DWORD kPipeBufferBytes = 64 * 1024;
constexpr DWORD kSingleInstance = 1;
constexpr DWORD kPollStepMs = 1;

class Win32PseudoTerminal final : public PseudoTerminal {
  public:
    Win32PseudoTerminal() = default;
    ~Win32PseudoTerminal() override { close(); }
    Win32PseudoTerminal(const Win32PseudoTerminal&) = delete;
    Win32PseudoTerminal& operator=(const Win32PseudoTerminal&) = delete;

    bool open(int baud) override;
    void close() override;
    bool isOpen() const override { return pipe_ != nullptr; }
    const std::string& devicePath() const override { return path_; }
    long read(unsigned char* buffer, std::size_t capacity) override;
    long write(const unsigned char* bytes, std::size_t count) override;
    bool waitReadable(int timeoutMs) override;
    int deviceBaud() const override { return 0; }
    const std::string& errorText() const override { return errorText_; }

  private:
    bool fail(const char* what);
    bool listen();
    bool hangUp();
    bool followConnection();
    bool finishWrite();
    // Bytes waiting in the pipe; -1 when the pipe failed. A far end that went away is hung up
    // (0 bytes waiting).
    long bytesWaiting();

    HANDLE pipe_ = nullptr;
    OVERLAPPED connect_{};
    OVERLAPPED read_{};
    OVERLAPPED write_{};
    bool listening_ = false;
    bool connected_ = false;
    bool writing_ = false;
    std::vector<unsigned char> inFlight_;
    std::string path_;
    std::string errorText_;
};

bool farEndGone(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED ||
           error == ERROR_NO_DATA;
}

HANDLE manualResetEvent() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

bool Win32PseudoTerminal::fail(const char* what) {
    errorText_ = win32::failureText(what, GetLastError());
    close();
    return false;
}

bool Win32PseudoTerminal::open(int) {
    close();
    errorText_.clear();
    path_ = win32::newDevicePipeName();
    // One instance, local callers only; made anew, never an existing pipe of that name.
    HANDLE pipe = CreateNamedPipeW(
        win32::widened(path_).c_str(),
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        kSingleInstance, kPipeBufferBytes, kPipeBufferBytes, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return fail("create pipe");
    pipe_ = pipe;
    connect_.hEvent = manualResetEvent();
    read_.hEvent = manualResetEvent();
    write_.hEvent = manualResetEvent();
    if (!connect_.hEvent || !read_.hEvent || !write_.hEvent) return fail("create events");
    return listen() || fail("wait for a caller");
}

void Win32PseudoTerminal::close() {
    if (pipe_) {
        // An overlapped call must end before its OVERLAPPED goes; cancelled, it ends at once.
        CancelIo(pipe_);
        DWORD ignored = 0;
        if (listening_) GetOverlappedResult(pipe_, &connect_, &ignored, TRUE);
        if (writing_) GetOverlappedResult(pipe_, &write_, &ignored, TRUE);
        CloseHandle(pipe_);
    }
    for (OVERLAPPED* o : {&connect_, &read_, &write_}) {
        if (o->hEvent) CloseHandle(o->hEvent);
        *o = OVERLAPPED{};
    }
    pipe_ = nullptr;
    listening_ = connected_ = writing_ = false;
    inFlight_.clear();
    path_.clear();
}

bool Win32PseudoTerminal::listen() {
    ResetEvent(connect_.hEvent);
    if (ConnectNamedPipe(pipe_, &connect_)) {
        connected_ = true;
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED) {
        connected_ = true;
        return true;
    }
    if (error != ERROR_IO_PENDING) return false;
    listening_ = true;
    return true;
}

bool Win32PseudoTerminal::hangUp() {
    if (writing_) {
        CancelIo(pipe_);
        DWORD ignored = 0;
        GetOverlappedResult(pipe_, &write_, &ignored, TRUE);
        writing_ = false;
    }
    DisconnectNamedPipe(pipe_);
    connected_ = false;
    return listen();
}

bool Win32PseudoTerminal::followConnection() {
    if (connected_ || !listening_) return connected_ || listening_;
    if (!HasOverlappedIoCompleted(&connect_)) return true;
    listening_ = false;
    DWORD ignored = 0;
    if (GetOverlappedResult(pipe_, &connect_, &ignored, FALSE)) {
        connected_ = true;
        return true;
    }
    // A caller that came and went before the connection was seen: wait for the next.
    return farEndGone(GetLastError()) && hangUp();
}

bool Win32PseudoTerminal::finishWrite() {
    if (!writing_ || !HasOverlappedIoCompleted(&write_)) return true;
    writing_ = false;
    DWORD written = 0;
    if (GetOverlappedResult(pipe_, &write_, &written, FALSE)) return true;
    return farEndGone(GetLastError()) && hangUp();
}

long Win32PseudoTerminal::bytesWaiting() {
    if (!pipe_ || !followConnection() || !finishWrite()) return -1;
    if (!connected_) return 0;
    DWORD available = 0;
    if (PeekNamedPipe(pipe_, nullptr, 0, nullptr, &available, nullptr))
        return static_cast<long>(available);
    return farEndGone(GetLastError()) && hangUp() ? 0 : -1;
}

long Win32PseudoTerminal::read(unsigned char* buffer, std::size_t capacity) {
    const long available = bytesWaiting();
    if (available <= 0 || capacity == 0) return available < 0 ? -1 : 0;
    const DWORD wanted =
        static_cast<DWORD>(capacity < static_cast<std::size_t>(available) ? capacity : available);
    ResetEvent(read_.hEvent);
    DWORD got = 0;
    if (!ReadFile(pipe_, buffer, wanted, &got, &read_)) {
        const DWORD error = GetLastError();
        // The bytes are in the pipe already, so a read that was queued ends at once.
        if (error == ERROR_IO_PENDING) {
            if (!GetOverlappedResult(pipe_, &read_, &got, TRUE))
                return farEndGone(GetLastError()) && hangUp() ? 0 : -1;
        } else {
            return farEndGone(error) && hangUp() ? 0 : -1;
        }
    }
    return static_cast<long>(got);
}

long Win32PseudoTerminal::write(const unsigned char* bytes, std::size_t count) {
    if (!pipe_ || !followConnection() || !finishWrite()) return -1;
    if (count == 0) return 0;
    const long all = static_cast<long>(count);
    // With nothing attached to the line, what the device sends is lost, as on a real line.
    if (!connected_) return all;
    // One write in flight at a time: the caller keeps the rest for the next turn.
    if (writing_) return 0;
    inFlight_.assign(bytes, bytes + count);
    ResetEvent(write_.hEvent);
    if (WriteFile(pipe_, inFlight_.data(), static_cast<DWORD>(count), nullptr, &write_)) return all;
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
        writing_ = true;
        return all;
    }
    return farEndGone(error) && hangUp() ? all : -1;
}

bool Win32PseudoTerminal::waitReadable(int timeoutMs) {
    const auto deadline = deadlineAfter(timeoutMs);
    while (true) {
        const long available = bytesWaiting();
        if (available != 0) return available > 0;
        if (millisecondsLeft(deadline) == 0) return false;
        Sleep(kPollStepMs);
    }
}

}  // namespace

std::unique_ptr<PseudoTerminal> createPseudoTerminal() {
    return std::make_unique<Win32PseudoTerminal>();
}

}  // namespace quirn
