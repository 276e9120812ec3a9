#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

#include "testing/TimeTest.h"

namespace quirn {

// A test that writes its own programming into the test group, downloads it into the switch,
// reads it back, and then checks the relay at chosen times of chosen days.
class ProgrammedTest : public TimeTest {
  public:
    // After a download the read-back waits for the bytes to be on the air plus this margin.
    static constexpr long long kDownloadSettleMs = 2000;
    // A read-back of the program not answered within this long counts as a failed read.
    static constexpr long long kProgramAnswerMs = 15000;
    // Downloads tried before the test goes on with a switch it could not program.
    static constexpr int kDownloadAttempts = 3;
    // A relay check sets the clock this long before its step ...
    static constexpr long long kStepLeadSeconds = 60;
    // ... reads the relay at once, and again this long after the setting, once the step passed.
    static constexpr long long kAfterStepReadMs = 62000;
    // A relay read not answered within this long is a lost answer, unless the reply is still
    // coming in (a 968-byte image takes four seconds at 2400 baud); then it gets until the
    // second limit.
    static constexpr long long kRelayAnswerMs = 5000;
    static constexpr long long kRelayAnswerArrivingMs = 15000;
    // A new download or check waits while the station is still exchanging bytes with the switch
    // after the last read (a Strider's activation log is fetched and cleared after every read),
    // but not longer than this after that read was asked.
    static constexpr long long kFollowUpLimitMs = 30000;

    bool writesProgramming() const override { return true; }

  protected:
    ProgrammedTest(const TimeTestServices& services, std::string name);

    // The test group's programming was replaced: the store saves it.
    void programmingChanged() const;

    // Downloads the programming and reads it back: "<name>: Download OK." once the read-back
    // agrees, else "<name>: Failed read." and another try, kDownloadAttempts in all. Called on
    // every tick until it answers true: the download is over, whether it worked or not.
    bool programSwitch();

    // What one read of the relay should show, and the minute of the day its line names.
    struct RelayRead {
        bool expectOn = false;
        int minutes = 0;
    };
    // One relay check: a clock setting, a read at once and a read once the switch's own clock
    // has run through a step. A deciding read ends in its line, "<name>:: PASSED on %d mins."
    // and the other forms; a lost answer in "<name>: FAILED Commo Loss".
    struct RelayCheck {
        std::time_t clockSetting = 0;     // the time the switch is set to
        std::optional<RelayRead> atOnce;  // the read at once after the setting
        // The read at once is a check of its own; otherwise a relay not as expected is only
        // noted: a manual command or an earlier setting may have left it so, and the read
        // after the step decides.
        bool atOnceDecides = false;
        long long readAfterMs = 0;       // the read after the step, this long after the setting
        std::optional<RelayRead> after;  // nothing: no read after the step
    };
    // The usual check of a step: the clock a minute before it, the relay noted at once and
    // judged as the step says after it.
    static RelayCheck aroundStep(std::time_t day, int minuteOfDay, bool turnsOn);
    // Runs the check; called on every tick (with the same check) until it answers true: the
    // check's line is written.
    bool checkRelay(const RelayCheck& check);

    // The local time of a minute of the day on the day holding `day`.
    static std::time_t atMinute(std::time_t day, int minuteOfDay);

  private:
    enum class Phase {
        Idle,
        Downloading,
        ReadingBack,
        DownloadAgain,
        BeforeStep,
        WaitingForStep,
        AfterStep
    };

    // The station is still busy with the switch after the last read: a clock setting now would
    // go out as a direct radio write, which discards what the port has received so far.
    bool readFollowUpUnderway() const;
    void beginDownload();
    bool stepDownload();
    void beginRelayCheck(const RelayCheck& check);
    bool stepRelayCheck();
    // Judges an answered read; true when the check has nothing more to read.
    bool atOnceAnswered();
    void relayResult(const RelayRead& read);
    void commoLoss();
    bool relayAnswerLost() const;
    void downloadFailed();

    Phase phase_ = Phase::Idle;
    int attempts_ = 0;
    std::size_t downloadBytes_ = 0;
    RelayCheck check_;
};

}  // namespace quirn
