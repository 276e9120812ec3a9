#include "testing/TimeTestController.h"

#include <algorithm>

#include "comms/CommoHandler.h"
#include "loader/LoaderView.h"
#include "ops/LogWriter.h"
#include "platform/AtomicFile.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/PlanDownload.h"
#include "protocol/TimeCommands.h"
#include "testing/TestProgrammingNotice.h"
#include "testing/TimeTestTexts.h"

namespace quirn {

namespace text = time_test_text;
namespace notice = test_programming_notice;

namespace {

constexpr int kRelaysOn = 1;
constexpr int kRelaysOff = 0;

std::vector<std::string> numbered(const char* format, int first, int count, int step = 1) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) items.push_back(quirn::format(format, first + i * step));
    return items;
}

std::vector<std::string> withAll(const char* all, std::vector<std::string> items) {
    items.insert(items.begin(), all);
    return items;
}

struct PresetTime {
    int hour;
    int minute;
    int second;
};

PresetTime presetTime(TimeTestController::Preset preset) {
    switch (preset) {
        case TimeTestController::Preset::At0159:
            return {1, 59, 45};
        case TimeTestController::Preset::At0259:
            return {2, 59, 45};
        case TimeTestController::Preset::At2359:
            return {23, 59, 45};
    }
    return {0, 0, 0};
}

}  // namespace

TimeTestController::TimeTestController(const TimeTestWindowServices& services)
    : s_(services),
      log_(services.folder),
      switch_(services.clock, services.commo, services.database, services.download),
      store_(services.clock, services.folder, services.saveAll),
      runner_(TestRunnerSetup{services.clock, services.timers, switch_, services.database, store_},
              *this) {
    LocalDateTime today = toLocal(s_.clock.now());
    pickers_.year = today.year;
    pickers_.month = today.month;
    pickers_.day = today.day;
    setPickers(pickers_);
}

TimeTestController::~TimeTestController() {
    runner_.stop();
}

std::vector<std::string> TimeTestController::masterGroupItems() {
    return numbered(text::kMasterGroupItem, 1, kMasterGroups);
}

std::vector<std::string> TimeTestController::groupItems() {
    return withAll(text::kAllGroups, numbered(text::kGroupItem, 1, kGroups));
}

std::vector<std::string> TimeTestController::locationItems() {
    return withAll(text::kAllLocations, numbered(text::kLocationItem, 1, kLocations));
}

std::vector<std::string> TimeTestController::hourItems() {
    return numbered(text::kPickerItem, 0, kHours);
}

std::vector<std::string> TimeTestController::minuteItems() {
    return numbered(text::kPickerItem, 0, kMinutes);
}

std::vector<std::string> TimeTestController::secondItems() {
    return numbered(text::kPickerItem, 0, kSecondChoices, kSecondsPerChoice);
}

void TimeTestController::setPickers(const Pickers& p) {
    pickers_.masterGroup = std::clamp(p.masterGroup, 0, kMasterGroups - 1);
    pickers_.group = std::clamp(p.group, 0, kGroups);
    pickers_.location = std::clamp(p.location, 0, kLocations);
    pickers_.hour = std::clamp(p.hour, 0, kHours - 1);
    pickers_.minute = std::clamp(p.minute, 0, kMinutes - 1);
    pickers_.second = std::clamp(p.second, 0, kSecondChoices - 1);
    pickers_.year = std::clamp(p.year, kFirstYear, kLastYear);
    pickers_.month = std::clamp(p.month, 1, 12);
    pickers_.day = std::clamp(p.day, 1, daysInMonth(pickers_.year, pickers_.month));
    notify();
}

std::time_t TimeTestController::pickedTime() const {
    return fromLocal(pickers_.year, pickers_.month, pickers_.day, pickers_.hour, pickers_.minute,
                     pickers_.second * kSecondsPerChoice);
}

void TimeTestController::open() {
    open_ = true;
    add(text::kOpened);
}

void TimeTestController::close() {
    if (!open_) return;
    runner_.stop();
    open_ = false;
    add(text::kExited);
}

void TimeTestController::sendToTargets(const std::string& bytes) {
    s_.commo.queueGroupMessage(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               pickers_.masterGroup + 1, pickers_.group, pickers_.location);
}

void TimeTestController::sendTime() {
    const int masterGroup = pickers_.masterGroup + 1;
    if (usesPagedCommands(attachedType()))
        sendToTargets(TimeCommand(masterGroup, pickers_.group, s_.clock,
                                  s_.download.hasMasterGroups(), pickedTime())
                          .bytes());
    else
        sendToTargets(
            BcdTimeCommand(masterGroup, pickers_.group, pickers_.location, s_.clock, pickedTime())
                .bytes());
    add(text::kSentTime);
}

void TimeTestController::manual(bool relayOn) {
    const int masterGroup = pickers_.masterGroup + 1;
    if (usesPagedCommands(attachedType()))
        sendToTargets(ManualCommand(masterGroup, pickers_.group, pickers_.location, relayOn,
                                    s_.download.hasMasterGroups())
                          .bytes());
    else
        sendToTargets(BcdRelayCommand(masterGroup, pickers_.group, pickers_.location,
                                      relayOn ? kRelaysOn : kRelaysOff)
                          .bytes());
    add(relayOn ? text::kManualOn : text::kManualOff);
}

void TimeTestController::preset(Preset preset) {
    PresetTime t = presetTime(preset);
    Pickers p = pickers_;
    p.hour = t.hour;
    p.minute = t.minute;
    p.second = t.second / kSecondsPerChoice;
    setPickers(p);
}

AttachedType TimeTestController::attachedType() const {
    return s_.attachedType ? s_.attachedType() : AttachedType::Qn510;
}

TestChoices TimeTestController::choices() const {
    TestChoices c;
    c.dateFlipStart = fromLocal(pickers_.year, pickers_.month, pickers_.day, 12);
    return c;
}

bool TimeTestController::mayReplaceProgramming(const std::string& what,
                                               const std::vector<TestKind>& kinds) {
    // Without the switch under test the runner says why nothing starts; nothing to ask.
    if (switch_.location() == nullptr) return true;
    const notice::Plan plan = notice::planFor(kinds, switch_.reportsDateAndSeconds());
    bool replaces = false;
    for (TestKind kind : plan.runs) replaces = replaces || testKindInfo(kind).writesProgramming;
    if (!replaces) return true;
    const std::string question =
        notice::question(s_.database, what, plan, store_.archiveName(), store_.archived());
    if (view_ != nullptr && view_->askYesNo(question, kLoaderCaption)) return true;
    add(what + " not started: the programming of group 1 was left as it is.");
    return false;
}

bool TimeTestController::startTest(TestKind kind) {
    if (!mayReplaceProgramming(testKindInfo(kind).button, {kind})) return false;
    bool started = runner_.start(kind, choices());
    notify();
    return started;
}

bool TimeTestController::testAll() {
    const std::vector<TestKind> all(kTestAllOrder.begin(), kTestAllOrder.end());
    if (!mayReplaceProgramming(text::kTestAllButton, all)) return false;
    bool started = runner_.startAll(choices());
    notify();
    return started;
}

bool TimeTestController::restoreProgramming() {
    if (!store_.archived()) {
        add("Nothing to restore: no test has replaced the programming since the window opened.");
        return false;
    }
    if (runner_.running()) {
        runner_.stop();
        add("The running test was stopped to restore the programming.");
    }
    const std::string archive = store_.archiveName();
    const bool restored = store_.restore(s_.database);
    add(restored ? "Programming of group 1 restored from " + archive + "."
                 : "The programming could not be restored from " + archive + ".");
    return restored;
}

void TimeTestController::cancel() {
    if (open_ && canRestore() && view_ != nullptr) {
        const std::string question = "The tests replaced the programming of " +
                                     notice::testGroupText(s_.database) + ".\n\nRestore it from " +
                                     store_.archiveName() + " before closing?";
        if (view_->askYesNo(question, kLoaderCaption)) restoreProgramming();
    }
    close();
}

namespace {

// The last part of a path has no extension: "lines" or "night.run/lines", not "lines.txt".
bool lacksExtension(const std::string& path) {
    const size_t name = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    return dot == std::string::npos || (name != std::string::npos && dot < name);
}

}  // namespace

std::string TimeTestController::proposedLinesPath() const {
    return s_.folder.logs() + formatLocal("Time_Test_Lines_%B_%d_%Y.csv", s_.clock.now());
}

bool TimeTestController::saveLines(const std::string& picked) {
    const std::string path = lacksExtension(picked) ? picked + ".csv" : picked;
    bool saved = replaceFileAtomically(path, linesCsv(lines_));
    add(saved ? "Lines saved to " + path + "." : "Lines could not be saved to " + path + ".");
    return saved;
}

std::string TimeTestController::statusText() const {
    const TimeTest* test = runner_.current();
    if (test == nullptr) return "No test running.";
    std::string status =
        "Running " + test->name() + " since " + formatLocal("%H:%M.%S", runner_.startTime()) + ".";
    if (runner_.sequence() > 0)
        status += " Test ALL: " + std::to_string(runner_.sequence()) + " of " +
                  std::to_string(kTestAllOrder.size()) + ".";
    return status;
}

void TimeTestController::add(const std::string& line) {
    lines_.push_back({s_.clock.now(), line});
    notify();
}

void TimeTestController::testLine(const std::string& line, LineKind) {
    log_.logTest(s_.clock, line);
    add(line);
}

void TimeTestController::notify() {
    if (changed_) changed_();
}

}  // namespace quirn
