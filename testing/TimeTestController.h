#pragma once
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "loader/AttachedType.h"
#include "ops/LogWriter.h"
#include "platform/TimerService.h"
#include "testing/SwitchUnderTest.h"
#include "testing/TestProgrammingStore.h"
#include "testing/TestRunner.h"
#include "testing/TimeTestLines.h"
#include "testing/TimeTestView.h"

namespace quirn {

class CommoHandler;
class PlanDatabase;
class PlanDownload;

// What the testing window is opened with; all but the folder held by reference.
struct TimeTestWindowServices {
    const Clock& clock;
    WorkingFolder folder;  // the archive before the first change, and the test log
    TimerService& timers;
    CommoHandler& commo;
    PlanDatabase& database;
    PlanDownload& download;
    std::function<void()> saveAll;               // the station's "save all"
    std::function<AttachedType()> attachedType;  // the loader's "Time Switch Type "
};

// The logic of the "Advanced Time Testing" window: the target and clock pickers, the buttons,
// the list of lines, and the runner of the scripted tests. Every test line also goes to the
// test log. The window draws what this holds and forwards its buttons.
class TimeTestController final : private TestLineSink {
  public:
    static constexpr int kMasterGroups = 10;
    static constexpr int kGroups = 99;
    static constexpr int kLocations = 99;
    static constexpr int kHours = 24;
    static constexpr int kMinutes = 60;
    static constexpr int kSecondChoices = 12;  // 0, 5, .. 55
    static constexpr int kSecondsPerChoice = 5;
    static constexpr int kFirstSecondChoice = 10;
    // The date picker's range: a switch takes no time before 2008, and its clock ends in 2038.
    static constexpr int kFirstYear = 2008;
    static constexpr int kLastYear = 2037;

    enum class Preset { At0159, At0259, At2359 };

    // The pickers as indices: target index 0 is "All Groups" / "All Locations", master group
    // index 0 is "MG 1"; the second index times 5 gives the seconds.
    struct Pickers {
        int masterGroup = 0;
        int group = 0;
        int location = 0;
        int hour = 0;
        int minute = 0;
        int second = kFirstSecondChoice;
        int year = kFirstYear;
        int month = 1;
        int day = 1;
    };

    explicit TimeTestController(const TimeTestWindowServices& services);
    ~TimeTestController() override;
    TimeTestController(const TimeTestController&) = delete;
    TimeTestController& operator=(const TimeTestController&) = delete;

    // Called after every change of the lines, pickers or the running test.
    void setChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }
    // Whom the controller asks before it replaces the test group's programming; without a view
    // every such question is answered No.
    void setView(TimeTestView* view) { view_ = view; }

    // Items of the pickers.
    static std::vector<std::string> masterGroupItems();
    static std::vector<std::string> groupItems();
    static std::vector<std::string> locationItems();
    static std::vector<std::string> hourItems();
    static std::vector<std::string> minuteItems();
    static std::vector<std::string> secondItems();

    const Pickers& pickers() const { return pickers_; }
    // Out-of-range values are brought into range.
    void setPickers(const Pickers& pickers);
    // The clock value of the date, hour, minute and second pickers.
    std::time_t pickedTime() const;

    // "Opened Dialog.  No testing started."
    void open();
    // Ends the running test and says "Testing Dialog exited."; harmless when already closed.
    void close();
    // "Cancel": when the tests replaced the programming, offers to restore it first; then
    // close().
    void cancel();
    bool isOpen() const { return open_; }

    // The buttons.
    void sendTime();
    void manual(bool relayOn);
    void preset(Preset preset);
    // A test that replaces the test group's programming starts only once the view said Yes to
    // a question naming the group, its locations, the archive and how long the test runs.
    bool startTest(TestKind kind);
    bool testAll();
    // "Restore programming": ends the running test and puts back the database files from the
    // archive this window made; the station reloads the test group from them.
    bool restoreProgramming();
    // There is an archive and the tests replaced the programming since it was last restored.
    bool canRestore() const { return store_.archived() && store_.replaced(); }
    // Writes the lines as CSV; says in the list whether it worked. A name without an extension
    // gets ".csv", as the file is one.
    bool saveLines(const std::string& path);
    // Where "Save Lines" proposes to keep them: the log folder, a name with today's date.
    std::string proposedLinesPath() const;

    const std::vector<TimeTestLine>& lines() const { return lines_; }
    TestRunner& runner() { return runner_; }
    const TestRunner& runner() const { return runner_; }
    // One line about the running test for the window.
    std::string statusText() const;

  private:
    void add(const std::string& text);
    void testLine(const std::string& text, LineKind kind) override;
    void sendToTargets(const std::string& bytes);
    TestChoices choices() const;
    // Asks before `kinds` (started as `what`) replace the programming; true to go on.
    bool mayReplaceProgramming(const std::string& what, const std::vector<TestKind>& kinds);
    // The loader's type; without a loader, the QN510 of a loader that never chose.
    AttachedType attachedType() const;
    void notify();

    TimeTestWindowServices s_;
    LogWriter log_;
    SwitchUnderTest switch_;
    ArchivingProgrammingStore store_;
    TestRunner runner_;
    Pickers pickers_;
    std::vector<TimeTestLine> lines_;
    std::function<void()> changed_;
    TimeTestView* view_ = nullptr;
    bool open_ = false;
};

}  // namespace quirn
