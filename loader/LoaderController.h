#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "loader/AttachedType.h"
#include "loader/LoaderMessages.h"
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
};

// The logic of the loader window: one time switch on the station's serial port is read back,
// written with a group's programming, switched by hand and sent the time. The window draws
// the texts and lists this controller holds and forwards its buttons; a 500 ms tick moves a
// read (7 seconds, then the reply is decoded and compared) or a write (5 seconds of progress).
class LoaderController {
  public:
    static constexpr int kTickMs = 500;
    // Ticks of a read before the reply is taken (7 seconds); a write starts counting at
    // kWriteStartCount and ends at the same mark.
    static constexpr int kReadTicks = 14;
    static constexpr int kWriteStartCount = 4;

    enum class Mode { Idle = 0, Reading = 1, Writing = 2 };
    // The result item of the "Attached Time Switch" tree.
    enum class Match { None, Matches, Differs };

    struct GroupChoice {
        int masterGroup = 0;
        int group = 0;
        std::string name;
        std::string text;  // "%s,%d" (name, number) as lists show a group
    };

    // What the last read gave.
    struct ReadResult {
        bool valid = false;     // a clock and program were decoded
        std::size_t bytes = 0;  // reply length
        Match match = Match::None;
        std::string comparedWith;  // list text of the group the program was compared with
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

    // The buttons. Each needs a selected group (but sendTime) and an idle loader; false when
    // nothing went out (the port refusal is beeped and shown, a missing group is said). What
    // went out is said in sentLine() once it is done.
    bool read();
    bool write();
    bool manual(bool relayOn);
    bool sendTime();

    // A utilities dialog for the attached type; afterwards call refresh().
    std::unique_ptr<UtilitiesController> makeUtilities(LoaderView& view);
    void refresh();

    // Texts and states for the window.
    Mode mode() const { return mode_; }
    int tickCount() const { return count_; }
    const std::string& statusText() const { return status_; }
    // "Clock Data read at ..." after a valid read; empty otherwise.
    const std::string& clockLine() const { return clockLine_; }
    // "... sent to group ..." after a write ends, a manual switch or a time; empty otherwise.
    const std::string& sentLine() const { return sentLine_; }
    // Ticks of the running read or write out of kReadTicks; 0 when idle.
    int progressTicks() const { return mode_ == Mode::Idle ? 0 : count_; }
    // The result item's text: matches or differs, and the group compared with; empty before a
    // comparison.
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
    // The selected group, or nullptr after saying that none is selected.
    Group* groupForButton();
    bool hasMasterGroups() const;
    bool send(const std::string& bytes);
    void finishRead();
    void readQn510(const std::string& reply, Group* group);
    void readProgramImage(const std::string& reply, Group* group);
    void clearReadBack();
    std::string computerTime() const;
    void notify();

    LoaderServices s_;
    LoaderView& view_;
    LoaderMessages messages_;
    TimerService::TimerId timer_ = TimerService::kNoTimer;
    AttachedType type_ = AttachedType::Qn510;
    int masterGroup_ = 0;
    int group_ = 0;
    Mode mode_ = Mode::Idle;
    int count_ = 0;
    std::string status_;
    std::string clockLine_;
    std::string sentLine_;
    std::string writtenGroup_;  // list text of the group a running write sends
    std::vector<std::string> description_;
    ReadResult lastRead_;
};

}  // namespace quirn
