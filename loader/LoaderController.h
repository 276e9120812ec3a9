#pragma once
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "loader/AttachedType.h"
#include "loader/GroupFindings.h"
#include "loader/LoaderMessages.h"
#include "loader/SendWatch.h"
#include "loader/SwitchClockReport.h"
#include "platform/TimerService.h"

namespace quirn {

class AttachedReadBack;
class Clock;
class Group;
class LoaderPort;
class LoaderSettings;
class LoaderView;
class PlanDatabase;
class PlanDownload;
class UtilitiesController;

// Everything the loader controller works with; all held by reference.
struct LoaderServices {
    const Clock& clock;
    TimerService& timers;
    LoaderPort& port;
    LoaderSettings& settings;
    PlanDatabase& database;
    PlanDownload& download;
    AttachedReadBack& readBack;
    // What the plan check found at start-up; none when null.
    const std::vector<PlanFinding>* planFindings = nullptr;
};

// The logic of the loader window: one time switch on the station's serial port is read back,
// written with a group's programming, switched by hand and sent the time. The window draws
// the texts and lists this controller holds and forwards its buttons; a 500 ms tick moves a
// read (7 seconds, then the reply is decoded and compared, program and clock) or a write
// (5 seconds of progress), follows what was sent until it has left the port, and keeps the
// computer's time in the status line current.
class LoaderController {
  public:
    static constexpr int kTickMs = 500;
    // Ticks of a read before the reply is taken (7 seconds); a write starts counting at
    // kWriteStartCount and ends at the same mark.
    static constexpr int kReadTicks = 14;
    static constexpr int kWriteStartCount = 4;

    enum class Mode { Idle = 0, Reading = 1, Writing = 2 };
    // The result item of the "Attached Time Switch" tree: the program compared with the group,
    // and for a matching program whether the switch's clock passes too.
    enum class Match { None, Matches, ClockWrong, Differs };

    struct GroupChoice {
        int masterGroup = 0;
        int group = 0;
        std::string name;
        // "%s,%d" (name, number) as lists show a group, with its master group where the agency
        // has several (two groups of the same name and number must not look alike).
        std::string text;
        int planFindings = 0;  // findings of the plan check in this group's lines
    };

    // What the last read gave.
    struct ReadResult {
        bool valid = false;     // a clock and program were decoded
        std::size_t bytes = 0;  // reply length
        Match match = Match::None;
        std::string comparedWith;  // list text of the group the program was compared with
        std::time_t readTime = 0;  // the computer's time when the request went out
        SwitchClockReport clock;   // the switch's clock against readTime
    };

    LoaderController(LoaderServices services, LoaderView& view);
    ~LoaderController();
    LoaderController(const LoaderController&) = delete;
    LoaderController& operator=(const LoaderController&) = delete;

    // Reads the settings (port, master groups, type), shows "No Clock Data Read Yet" and
    // starts the tick.
    void open();
    // Stops the tick and stores the master-groups switch and the type in the profile.
    void close();
    bool isOpen() const { return timer_ != TimerService::kNoTimer; }
    void tick();

    // "Groups Available": sorted by text, or by master group and number when the profile's
    // Groups/Sort is 0.
    std::vector<GroupChoice> groups() const;
    // False (the selection stays) when the group does not exist. Another group than the one
    // selected clears the match result: it was found against the group before.
    bool selectGroup(int masterGroup, int group);
    // Nothing selected (the list shows no selection); the match result goes too.
    void clearSelection();
    std::optional<GroupChoice> selectedGroup() const;

    // "Time Switch Type ": QN510 and MX40 put the station port at 2400 and store that rate.
    void chooseType(AttachedType type);
    AttachedType type() const { return type_; }

    // The buttons. Each needs a selected group (but sendTime) and a loader that is neither
    // counting a read or write nor waiting for its last message to leave the port; false when
    // nothing went out, always with the reason said (the port refusal is beeped too). What
    // went out is said in sentLine() once it has left the port.
    bool read();
    bool write();
    bool manual(bool relayOn);
    bool sendTime();

    // A utilities dialog for the attached type; afterwards call refresh().
    std::unique_ptr<UtilitiesController> makeUtilities(LoaderView& view);
    void refresh();

    // Why the buttons that send (Read, Write, Manual ON/OFF, Send Time) do nothing now; empty
    // when they may be used.
    std::string busyReason() const;

    // Texts and states for the window.
    Mode mode() const { return mode_; }
    int tickCount() const { return count_; }
    const std::string& statusText() const { return status_; }
    // "Clock Data read at ..." after a valid read, only what the switch reported; empty
    // otherwise.
    const std::string& clockLine() const { return lastRead_.clock.clockLine; }
    // "Switch clock 5 min 02 s fast." after a valid read; empty otherwise.
    const std::string& clockOffsetLine() const { return lastRead_.clock.offsetLine; }
    // What the last button sent, once it has left the port ("... sent to group ..."), how many
    // bytes still wait, or that the port gave it up; empty while a write counts.
    std::string sentLine() const;
    // Where the last message a button sent stands: waiting for the port, sent or given up.
    SendWatch::State sendState() const { return sent_.state(); }
    // Ticks of the running read or write out of kReadTicks; 0 when idle.
    int progressTicks() const { return mode_ == Mode::Idle ? 0 : count_; }
    // The result item's text: matches, matches with a wrong clock, or differs, and the group
    // compared with; empty before a comparison.
    std::string matchText() const;
    // The "Attached Time Switch" tree: the program description of the last valid read.
    const std::vector<std::string>& description() const { return description_; }
    Match match() const { return lastRead_.match; }
    const ReadResult& lastRead() const { return lastRead_; }
    // "Serial Port Error.  Select new port or plug USB device in." is shown.
    bool portErrorVisible() const;
    static const char* portErrorText();
    // "VORN TIME" shows only when master group 1, group 99 is named "MOXBYRD".
    bool vornTimeVisible() const;

  private:
    Group* group() const;
    std::string groupText(const Group& group) const;
    // False after saying why the sending buttons do nothing now.
    bool readyToSend();
    // The selected group, or nullptr after saying that none is selected.
    Group* groupForButton();
    bool hasMasterGroups() const;
    bool send(const std::string& bytes);
    // One tick of a running read or write; true when something shown changed.
    bool stepMode();
    void finishWrite();
    void finishRead();
    void readQn510(const std::string& reply, Group* group);
    void readProgramImage(const std::string& reply, Group* group);
    void judge(bool programMatches, Group& group);
    void clearReadBack();
    void clearMatch();
    // The relay line of the last read no longer holds once a relay was switched by hand.
    void forgetRelayLine(bool relayOn);
    // The status line with the computer's time, formatted with `timeFormat` now and on every
    // tick after.
    void showComputerTime(const char* timeFormat);
    bool refreshComputerTime();
    std::string computerTime() const;
    void notify();

    LoaderServices s_;
    LoaderView& view_;
    LoaderMessages messages_;
    GroupFindings findings_;
    TimerService::TimerId timer_ = TimerService::kNoTimer;
    AttachedType type_ = AttachedType::Qn510;
    int masterGroup_ = 0;
    int group_ = 0;
    Mode mode_ = Mode::Idle;
    int count_ = 0;
    std::string status_;
    const char* statusTimeFormat_ = nullptr;  // the status keeps the computer's time current
    SendWatch sent_;
    std::vector<std::string> description_;
    std::optional<std::size_t> relayLine_;  // index of the relay line in description_
    ReadResult lastRead_;
};

}  // namespace quirn
