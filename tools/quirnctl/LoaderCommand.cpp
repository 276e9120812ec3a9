#include "tools/quirnctl/LoaderCommand.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comms/ProtocolMessages.h"
#include "comms/RadioOutgoing.h"
#include "loader/LoaderController.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "loader/LoaderView.h"
#include "loader/UtilitiesController.h"
#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/SerialDevice.h"
#include "protocol/StoreSources.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/DirectReadJudge.h"
#include "tools/quirnctl/FixedPathSerialDevice.h"
#include "tools/quirnctl/IgnoredConnectionErrors.h"
#include "tools/quirnctl/LoopTimerService.h"
#include "tools/quirnctl/PortCommand.h"
#include "tools/quirnctl/StationFolder.h"

namespace quirn::ctl {

namespace {

constexpr int kJobOk = 0;
constexpr int kJobDiffers = 1;
constexpr int kJobFailed = 2;
// The tool's device stands in for this COM number of the station.
constexpr int kToolCom = 1;
// Longest a job may run: a read takes 7 seconds, a baud change 3.5.
constexpr long long kJobLimitMs = 30000;
// A message the port cannot send is given up after five minutes; the job waits a little longer.
constexpr long long kSendLimitMs = RadioOutgoing::kGiveUpMs + kJobLimitMs;
constexpr const char* kUsage =
    "usage: quirnctl [--root DIR] loader --port DEVICE [--type 0|1|2|3] "
    "write MG G | read MG G | on MG G | off MG G | time | baud 2400|4800 | pc-baud 2400|4800\n";

std::optional<int> baudArgument(std::string_view text) {
    auto rate = parseNumber(text, kBaud2400, kBaud4800);
    if (rate != kBaud2400 && rate != kBaud4800) return std::nullopt;
    return rate;
}

// The terminal as the loader's window: the answer to every question is the command itself,
// messages and new status texts go to stderr (the job prints its result on stdout).
class ConsoleView final : public LoaderView {
  public:
    void beep() override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void showMessage(const std::string& text, const std::string&) override {
        messages.push_back(text);
    }
    void changed() override {
        if (!status) return;
        std::string now = status();
        if (now.empty() || now == shown_) return;
        shown_ = now;
        std::fprintf(stderr, "%s\n", now.c_str());
    }

    std::function<std::string()> status;
    std::vector<std::string> messages;

  private:
    std::string shown_;
};

struct JobRow {
    const char* name;
    std::size_t args;
    bool needsGroup;
};

constexpr JobRow kJobs[] = {
    {"write", 2, true}, {"read", 2, true},  {"on", 2, true},       {"off", 2, true},
    {"time", 0, false}, {"baud", 1, false}, {"pc-baud", 1, false},
};

// One loader job on the real clock: the communications handler on the device, the loader
// controller over it, the plan database of the working folder.
class LoaderJob {
  public:
    LoaderJob(const PortCommandArgs& args, const WorkingFolder& root)
        : args_(args),
          timers_(clock_),
          folder_(clock_, root),
          messages_(clock_, db_, folder_.settings) {}

    int run(const JobRow& job) {
        if (auto error = folder_.load(job.needsGroup)) return fail(*error);
        stack_ = std::make_unique<LoaderStack>(
            folder_.stackSetup(timers_),
            LoaderLink{messages_, judge_, errors_,
                       std::make_unique<FixedPathSerialDevice>(args_.device)});
        loader_ = std::make_unique<LoaderController>(stack_->services(), view_);
        loader_->open();
        if (stack_->handler().openRadioPort(kToolCom, loaderSettings_.configuredBaud()) != 0)
            return fail("cannot open " + args_.device);
        stack_->handler().start();
        if (args_.type) loader_->chooseType(attachedTypeFromInt(*args_.type));

        std::string name = job.name;
        if (job.needsGroup) {
            auto mg = parseNumber(args_.words[1], kMinMasterGroup, kMaxMasterGroup);
            auto g = parseNumber(args_.words[2], kMinGroup, kMaxGroup);
            if (!mg || !g) return fail("bad master group or group number");
            if (!loader_->selectGroup(*mg, *g))
                return fail("no group " + args_.words[2] + " in master group " + args_.words[1]);
        }
        if (name == "read") return read();
        if (name == "write") return write();
        if (name == "on" || name == "off") return finishSend(loader_->manual(name == "on"));
        if (name == "time") return finishSend(loader_->sendTime());
        auto rate = baudArgument(args_.words[1]);
        if (!rate) return fail(name + " needs 2400 or 4800");
        return name == "baud" ? switchBaud(*rate) : pcBaud(*rate);
    }

  private:
    bool idle() const { return loader_->mode() == LoaderController::Mode::Idle; }
    // Waits until what a button sent has left the port (or the port gave it up) and prints the
    // loader's line about it: the job is not done while its bytes still wait.
    int finishSend(bool queued) {
        if (!queued) return failedSend();
        timers_.runUntil(
            [this] { return idle() && loader_->sendState() != SendWatch::State::Waiting; },
            kSendLimitMs);
        std::printf("%s\n", loader_->sentLine().c_str());
        return loader_->sendState() == SendWatch::State::Sent ? kJobOk : kJobFailed;
    }

    void showLoaderProgress() {
        view_.status = [this] { return loader_->statusText(); };
    }

    int read() {
        showLoaderProgress();
        if (!loader_->read()) return failedSend();
        timers_.runUntil([this] { return idle(); }, kJobLimitMs);
        const auto& result = loader_->lastRead();
        if (!result.valid) {
            std::printf("%s\n", loader_->statusText().c_str());
            return kJobFailed;
        }
        std::printf("%s\n", loader_->clockLine().c_str());
        std::printf("%s\n", loader_->clockOffsetLine().c_str());
        for (const std::string& line : loader_->description()) std::printf("%s\n", line.c_str());
        // A right program on a wrong clock still switches at the wrong time.
        std::printf("%s\n", loader_->matchText().c_str());
        return result.match == LoaderController::Match::Matches ? kJobOk : kJobDiffers;
    }

    int write() {
        showLoaderProgress();
        return finishSend(loader_->write());
    }

    int switchBaud(int rate) {
        auto utilities = loader_->makeUtilities(view_);
        utilities->open();
        view_.status = [&utilities] {
            const BaudChange& change = utilities->baudChange();
            if (!change.running() || change.stepText().empty()) return std::string();
            return change.headline() + " " + change.stepText();
        };
        utilities->changeSwitchBaud(rate);
        timers_.runUntil([&utilities] { return !utilities->baudChange().running(); }, kJobLimitMs);
        bool ok = utilities->baudChange().succeeded();
        std::printf("%s\n", utilities->baudChange().resultText().c_str());
        utilities->close();
        view_.status = nullptr;  // it looked into the dialog that goes now
        return ok ? kJobOk : kJobFailed;
    }

    int pcBaud(int rate) {
        auto utilities = loader_->makeUtilities(view_);
        utilities->open();
        utilities->changePcBaud(rate);
        for (const std::string& m : view_.messages) std::printf("%s\n", m.c_str());
        return stack_->port().isSetUp() ? kJobOk : kJobFailed;
    }

    int failedSend() {
        for (const std::string& m : view_.messages) std::fprintf(stderr, "%s\n", m.c_str());
        return kJobFailed;
    }

    const PortCommandArgs& args_;
    SystemClock clock_;
    LoopTimerService timers_;
    StationFolder folder_;
    PlanDatabase& db_ = folder_.db;
    LoaderSettings& loaderSettings_ = folder_.loaderSettings;
    ProtocolMessages messages_;
    DirectReadJudge judge_;
    IgnoredConnectionErrors errors_;
    ConsoleView view_;
    std::unique_ptr<LoaderStack> stack_;
    std::unique_ptr<LoaderController> loader_;
};

}  // namespace

bool isLoaderCommand(int argc, const char* const* argv) {
    return isPortCommand(argc, argv, "loader");
}

int runLoaderCommand(int argc, const char* const* argv) {
    PortCommandArgs args;
    if (auto error = parsePortCommandArgs(argc, argv, "loader", false, args)) return fail(*error);
    if (args.help) {
        std::fputs(kUsage, stdout);
        return kJobOk;
    }
    const JobRow* job = nullptr;
    for (const JobRow& row : kJobs)
        if (!args.words.empty() && args.words[0] == row.name) job = &row;
    if (job == nullptr || args.words.size() != job->args + 1) {
        std::fputs(kUsage, stderr);
        return kJobFailed;
    }
    if (args.device.empty()) return fail("loader needs --port DEVICE");
    WorkingFolder root = defaultWorkingFolder();
    if (auto error = selectRoot(args.root, root)) return fail(*error);
    LoaderJob loaderJob(args, root);
    return loaderJob.run(*job);
}

}  // namespace quirn::ctl
