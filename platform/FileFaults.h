#pragma once

namespace quirn {

// The calls of the file helpers at which a fault can be injected: every write, sync, rename
// and removal that a save or a log record makes (FileSystem.h, AtomicFile.h).
enum class FileCall { Write, Sync, Rename, Remove };

enum class FileFault {
    Fail,      // the chosen call fails as an I/O error would, and nothing of it happens
    DiskFull,  // the chosen write and every later one fail (no space) until disarm()
    Crash,     // the process ends at once, before the chosen call, as at a power cut
};

// The exit code of a process stopped by FileFault::Crash.
inline constexpr int kFileFaultCrashExitCode = 86;

// A fault injector for the file layer, off unless a test turns it on. It is process-wide
// because the file helpers are free functions reached from every layer; while it is off the
// helpers pay one relaxed atomic load per call. Tests that crash a save run it in a child
// process (fork), so the crash ends only the child.
class FileFaultInjector {
  public:
    // Counts file calls from now on without injecting anything: an operation run after this
    // shows in callsCounted() how many cut points it has.
    static void startCounting();
    // Counts file calls from now on and injects `fault` at the nth (1 = the very next call).
    static void arm(FileFault fault, long nth);
    // Back to off: nothing counted, nothing injected.
    static void disarm();
    static long callsCounted();
};

namespace filefaults {
// Asked by the helpers before each call: true when the call must fail instead of happening.
// Ends the process when the armed fault is a crash at this call.
bool failsBefore(FileCall call);
}  // namespace filefaults

}  // namespace quirn
