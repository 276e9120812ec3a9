#pragma once
#include <string>

namespace quirn {

class LoaderPort;

// Changes the line rate of the time switch attached to the station port, one step per
// 500 ms tick: steps 100..106 for a change to 2400 baud, 200..206 for 4800. It talks to the
// switch at its old rate, sends the baud sentence, follows at the new rate, pages "@P#" and
// takes exactly 10 bytes back as proof. Whatever happens (no reply, a port that refuses or
// vanishes, a cancel) the station port goes back to its configured rate and the change ends
// on the same tick: the machine is never left inside a step.
class BaudChange {
  public:
    static constexpr int kIdle = 0;
    static constexpr int kFirstStepTo2400 = 100;
    static constexpr int kFirstStepTo4800 = 200;
    // Offsets of the steps from the first one.
    enum Step { kSetUp = 0, kSendSentence, kFollow, kPage, kCheckReply, kRestore, kFinish };
    static constexpr std::size_t kProofLength = 10;

    explicit BaudChange(LoaderPort& port) : port_(port) {}

    // Starts a change to `target` (4800, or 2400 for any other value); the station port is
    // left at `configuredBaud` afterwards. False (nothing starts) while a change runs.
    bool start(int target, int configuredBaud);
    // Runs the current step; true when the change ended on this tick (see succeeded()).
    bool tick();
    // Ends a running change as a failure, restoring the configured rate first. Harmless when
    // idle.
    void cancel();
    // Drops the result line of the last change once a later change made it stale; a running
    // change keeps its line.
    void forgetResult();

    bool running() const { return step_ != kIdle; }
    // 0 when idle, else 100..106 or 200..206: the step the next tick runs.
    int step() const { return step_; }
    int target() const { return target_; }
    // Result of the last change that ended.
    bool finished() const { return finished_; }
    bool succeeded() const { return succeeded_; }

    // "Changing the BAUD rate to %d.  Please Wait..." while running; after the end, the result
    // text; empty before the first change.
    const std::string& headline() const { return headline_; }
    // "Setting Up." or "Step %d of 5" for the step last run; empty when idle.
    const std::string& stepText() const { return stepText_; }
    // "Baud rate changed to %d in attached time switch." or the failure text.
    std::string resultText() const;

  private:
    int firstStep() const;
    // Restores the configured rate and ends the change.
    void finish(bool success);

    LoaderPort& port_;
    int step_ = kIdle;
    int target_ = 0;
    int configuredBaud_ = 0;
    bool finished_ = false;
    bool succeeded_ = false;
    std::string headline_;
    std::string stepText_;
};

}  // namespace quirn
