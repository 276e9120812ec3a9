#include <windows.h>

#include "platform/ChildProcess.h"
#include "platform/Deadline.h"
#include "platform/Win32Text.h"

namespace quirn {

// Windows has no polite stop signal for a program without a window, so stop() ends the
// helper at once (TerminateProcess); its exit code is then not its own and none is given.

namespace {

constexpr DWORD kPeekStepMs = 5;

HANDLE handleOf(long long value) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value));
}

// One argument as the C runtime splits a command line: quoted, with its quotes and the
// backslashes before them escaped.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

// A job that ends `process` when its last handle closes: this program holds the only one, and
// the system closes it when this program ends, however it ends. Null when the system refused
// (the helper then runs as before, stopped by stop()).
HANDLE endsWithThisProgram(HANDLE process) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(job, process)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& binary, const std::vector<std::string>& args,
                           const std::string& stderrPath) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE errors = CreateFileW(win32::widened(stderrPath).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    std::wstring commandLine = quoted(win32::widened(binary));
    for (const auto& a : args) commandLine += L" " + quoted(win32::widened(a));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = errors != INVALID_HANDLE_VALUE ? errors : GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    // Suspended until it is in the job, so that nothing it starts escapes the job either.
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr,
                                        &startup, &process) != 0;
    CloseHandle(writeEnd);
    if (errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
    if (!started) {
        CloseHandle(readEnd);
        return;
    }
    if (HANDLE job = endsWithThisProgram(process.hProcess))
        job_ = reinterpret_cast<std::intptr_t>(job);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    pid_ = static_cast<long long>(reinterpret_cast<std::intptr_t>(process.hProcess));
    out_ = reinterpret_cast<std::intptr_t>(readEnd);
}

long long ChildProcess::processId() const {
    return pid_ > 0 ? static_cast<long long>(GetProcessId(handleOf(pid_))) : -1;
}

ChildProcess::~ChildProcess() {
    stop();
    if (out_ != -1) CloseHandle(reinterpret_cast<HANDLE>(out_));
    if (job_ != -1) CloseHandle(reinterpret_cast<HANDLE>(job_));
}

std::string ChildProcess::firstLine(int waitMs) {
    const auto deadline = deadlineAfter(waitMs);
    HANDLE pipe = reinterpret_cast<HANDLE>(out_);
    while (out_ != -1 && buffered_.find('\n') == std::string::npos) {
        if (millisecondsLeft(deadline) == 0) return {};
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return {};
        if (available == 0) {
            Sleep(kPeekStepMs);
            continue;
        }
        char buffer[256];
        DWORD got = 0;
        DWORD wanted = available < sizeof buffer ? available : sizeof buffer;
        if (!ReadFile(pipe, buffer, wanted, &got, nullptr) || got == 0) return {};
        buffered_.append(buffer, got);
    }
    std::size_t end = buffered_.find('\n');
    if (end == std::string::npos) return {};
    std::string line = buffered_.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<int> ChildProcess::reap(int waitMs) {
    if (pid_ <= 0) return std::nullopt;
    HANDLE process = handleOf(pid_);
    if (WaitForSingleObject(process, waitMs < 0 ? 0 : static_cast<DWORD>(waitMs)) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    const bool known = GetExitCodeProcess(process, &code) != 0;
    CloseHandle(process);
    pid_ = -1;
    if (!known) return std::nullopt;
    return static_cast<int>(code);
}

std::optional<int> ChildProcess::waitExit(int waitMs) {
    return reap(waitMs);
}

std::optional<int> ChildProcess::stop(int waitMs) {
    if (pid_ <= 0) return std::nullopt;
    HANDLE process = handleOf(pid_);
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return reap(0);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, waitMs < 0 ? 0 : static_cast<DWORD>(waitMs));
    CloseHandle(process);
    pid_ = -1;
    return std::nullopt;
}

}  // namespace quirn
