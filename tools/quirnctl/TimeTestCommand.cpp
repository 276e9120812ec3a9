#include "tools/quirnctl/TimeTestCommand.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "comms/CommoHandler.h"
#include "comms/ProtocolMessages.h"
#include "comms/ProtocolReplyJudge.h"
#include "loader/AttachedType.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/StoreSources.h"
#include "protocol/Validation.h"
#include "testing/SwitchUnderTest.h"
#include "testing/TestProgrammingNotice.h"
#include "testing/TestRunner.h"
#include "testing/TimeTestController.h"
#include "testing/TimeTestLines.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/FixedPathSerialDevice.h"
#include "tools/quirnctl/IgnoredConnectionErrors.h"
#include "tools/quirnctl/LoopTimerService.h"
#include "tools/quirnctl/PortCommand.h"
#include "tools/quirnctl/StationFolder.h"

namespace quirn::ctl {

namespace {

constexpr int kChecksFailed = 1;
// The tool's device stands in for this COM number of the station.
constexpr int kToolCom = 1;
// Longest a run may take: "all" runs about a day and a half on a real time switch.
constexpr long long kRunLimitMs = 3LL * 24 * 3600 * 1000;
constexpr const char* kUsage =
    "usage: quirnctl [--root DIR] timetest date-flip|step16|ap36|dwp|step2460|dst|all "
    "--port DEVICE [--type 0|1|2|3] [--date YYYY-MM-DD]\n";

struct TestName {
    const char* name;
    std::optional<TestKind> kind;  // nothing: "Test ALL"
};

constexpr TestName kNames[] = {
    {"date-flip", TestKind::DateFlip},
    {"step16", TestKind::Step16},
    {"ap36", TestKind::Ap36},
    {"dwp", TestKind::Dwp},
    {"step2460", TestKind::Step2460},
    {"dst", TestKind::Dst},
    {"all", std::nullopt},
};

// "YYYY-MM-DD" within the years the window's date picker offers, as local noon.
std::optional<std::time_t> parseDate(const std::string& text) {
    std::optional<std::time_t> t = parseDateTime(text + " 12:00:00");
    if (!t) return std::nullopt;
    int year = toLocal(*t).year;
    if (year < TimeTestController::kFirstYear || year > TimeTestController::kLastYear)
        return std::nullopt;
    return t;
}

// Every line as the window shows it, at once, so a script sees a night's run as it goes.
class PrintedLines final : public TestLineSink {
  public:
    explicit PrintedLines(const Clock& clock) : clock_(clock) {}
    void testLine(const std::string& text, LineKind) override {
        std::printf("%s\n", TimeTestLine{clock_.now(), text}.shown().c_str());
        std::fflush(stdout);
    }

  private:
    const Clock& clock_;
};

// The test programming is kept in memory only: the tool never writes into the working folder.
class ProgrammingInMemory final : public TestProgrammingStore {
  public:
    bool beforeChange() override { return true; }
    void changed() override {}
};

// What a run does to the programming, told before anything is sent: scripts read standard
// output, so the notice goes to standard error and the run goes on.
void tellProgrammingNotice(const PlanDatabase& db, const TestName& test,
                           bool reportsDateAndSeconds) {
    std::vector<TestKind> kinds;
    if (test.kind)
        kinds.push_back(*test.kind);
    else
        kinds.assign(kTestAllOrder.begin(), kTestAllOrder.end());
    const test_programming_notice::Plan plan =
        test_programming_notice::planFor(kinds, reportsDateAndSeconds);
    bool replaces = false;
    for (TestKind kind : plan.runs) replaces = replaces || testKindInfo(kind).writesProgramming;
    if (plan.runs.empty()) return;
    std::string text = "quirnctl: timetest " + std::string(test.name) + " runs about " +
                       durationText(plan.minutes) + ".";
    if (replaces)
        text += " It replaces the programming of " + test_programming_notice::testGroupText(db) +
                " in memory only (the working folder is not written) and sends its own to "
                "location 1.";
    std::fprintf(stderr, "%s\n", text.c_str());
}

// One run on the real clock: the working folder's database, the communications handler on
// the device, the runner over the time switch under test.
class TimeTestJob {
  public:
    TimeTestJob(const PortCommandArgs& args, const WorkingFolder& root)
        : args_(args),
          timers_(clock_),
          folder_(clock_, root),
          validation_(download_),
          readBack_(validation_),
          messages_(clock_, db_, folder_.settings, ProtocolMessages::fromPlanDownload(download_)),
          judge_(clock_, readBack_, download_),
          lines_(clock_) {}

    int run(const TestName& test, std::time_t dateFlipStart) {
        if (auto error = folder_.load(true)) return fail(*error);

        const Location* location = db_.findLocation(
            SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup, SwitchUnderTest::kLocation);
        if (location == nullptr) return fail("no location 1 in group 1 of master group 1");
        if (location->connection != kRadioAddress)
            return fail("location 1 of group 1 is reached at " + location->connection +
                        ", not by the serial port");

        tellProgrammingNotice(db_, test, isImageModel(location->model));
        handler_ =
            makeLoaderHandler(folder_.stackSetup(timers_),
                              LoaderLink{messages_, judge_, errors_,
                                         std::make_unique<FixedPathSerialDevice>(args_.device)});
        if (handler_->openRadioPort(kToolCom, lineRate()) != 0)
            return fail("cannot open " + args_.device);
        handler_->start();
        timeSwitch_ = std::make_unique<SwitchUnderTest>(clock_, *handler_, db_, download_);
        runner_ = std::make_unique<TestRunner>(
            TestRunnerSetup{clock_, timers_, *timeSwitch_, db_, store_}, lines_);

        TestChoices choices;
        choices.dateFlipStart = dateFlipStart;
        bool started = test.kind ? runner_->start(*test.kind, choices) : runner_->startAll(choices);
        if (!started) return kExitError;
        if (!timers_.runUntil([this] { return !runner_->running(); }, kRunLimitMs))
            return fail("the test did not end in time");
        return runner_->overall().failed() == 0 ? kExitOk : kChecksFailed;
    }

  private:
    // The loader's type buttons: the QN510 and MX40 talk at 2400 baud, the LR40 types at the
    // configured rate.
    int lineRate() const {
        const LoaderSettings& loader = folder_.loaderSettings;
        AttachedType type = attachedTypeFromInt(args_.type.value_or(loader.storedType()));
        return attachedTypeInfo(type).portRate.value_or(loader.configuredBaud());
    }

    const PortCommandArgs& args_;
    SystemClock clock_;
    LoopTimerService timers_;
    StationFolder folder_;
    PlanDatabase& db_ = folder_.db;
    PlanDownload& download_ = folder_.download;
    Validation validation_;
    ReadBack readBack_;
    ProtocolMessages messages_;
    ProtocolReplyJudge judge_;
    IgnoredConnectionErrors errors_;
    ProgrammingInMemory store_;
    PrintedLines lines_;
    std::unique_ptr<CommoHandler> handler_;
    std::unique_ptr<SwitchUnderTest> timeSwitch_;
    std::unique_ptr<TestRunner> runner_;
};

}  // namespace

bool isTimeTestCommand(int argc, const char* const* argv) {
    return isPortCommand(argc, argv, "timetest");
}

int runTimeTestCommand(int argc, const char* const* argv) {
    PortCommandArgs args;
    if (auto error = parsePortCommandArgs(argc, argv, "timetest", true, args)) return fail(*error);
    if (args.help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const TestName* test = nullptr;
    for (const TestName& row : kNames)
        if (args.words.size() == 1 && args.words[0] == row.name) test = &row;
    if (test == nullptr) {
        std::fputs(kUsage, stderr);
        return kExitError;
    }
    if (args.device.empty()) return fail("timetest needs --port DEVICE");
    std::time_t dateFlipStart = SystemClock().now();
    if (args.date) {
        auto date = parseDate(*args.date);
        if (!date) return fail("bad --date '" + *args.date + "' (YYYY-MM-DD, 2008 to 2037)");
        dateFlipStart = *date;
    }
    WorkingFolder root = defaultWorkingFolder();
    if (auto error = selectRoot(args.root, root)) return fail(*error);
    TimeTestJob job(args, root);
    return job.run(*test, dateFlipStart);
}

}  // namespace quirn::ctl
