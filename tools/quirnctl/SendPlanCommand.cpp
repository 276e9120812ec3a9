#include "tools/quirnctl/SendPlanCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "app/StationApp.h"
#include "comms/CommsConstants.h"
#include "comms/ProtocolMessages.h"
#include "comms/RadioOutgoing.h"
#include "fleetsend/FleetSend.h"
#include "fleetsend/SendLedger.h"
#include "fleetsend/SendPlanner.h"
#include "loader/LoaderStack.h"
#include "ops/LogWriter.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "platform/StopSignal.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/DirectReadJudge.h"
#include "tools/quirnctl/FixedPathSerialDevice.h"
#include "tools/quirnctl/IgnoredConnectionErrors.h"
#include "tools/quirnctl/LoopTimerService.h"
#include "tools/quirnctl/PortCommand.h"
#include "tools/quirnctl/SendPlanArgs.h"
#include "tools/quirnctl/SendReport.h"
#include "tools/quirnctl/StationFolder.h"

namespace quirn::ctl {

namespace {

constexpr int kAllSent = 0;
constexpr int kNotAllSent = 1;
constexpr int kRefused = 2;
// The tool's device stands in for this COM number of the station.
constexpr int kToolCom = 1;
// A progress line at most this often.
constexpr long long kProgressEveryMs = 5000;
// Beyond the send's own time-outs, the longest the tool waits before it stops the send itself.
constexpr long long kSlackMs = 60000;
// After a stop, what is in flight ends within the links' own time-outs.
constexpr long long kDrainLimitMs =
    RadioOutgoing::kGiveUpMs + FleetSend::kIpGiveUpSeconds * 1000 + kSlackMs;
constexpr const char* kCommoSection = "Commo";
constexpr const char* kIpPortEntry = "IPPort";
constexpr const char* kReason = "from quirnctl send-plan";
constexpr const char* kUsage =
    "usage: quirnctl send-plan --port DEVICE [--folder DIR] (--all | --changed |\n"
    "         --master-group MG | --group MG:G[,MG:G...] | --location MG:G:L[,...]) [--dry-run]\n";

void printLine(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// The longest a send of this estimate can take when every link runs into its time-out.
long long sendLimitMs(const SendEstimate& estimate) {
    const long long ipLocations =
        static_cast<long long>(estimate.wifiLocations + estimate.m2mLocations);
    return estimate.airSeconds() * 1000 + RadioOutgoing::kGiveUpMs +
           ipLocations * FleetSend::kIpGiveUpSeconds * 1000 + kSlackMs;
}

class SendPlanJob {
  public:
    SendPlanJob(const SendPlanArgs& args, const WorkingFolder& root)
        : args_(args),
          timers_(clock_),
          folder_(clock_, root),
          messages_(clock_, folder_.db, folder_.settings,
                    ProtocolMessages::fromPlanDownload(folder_.download)),
          log_(root) {}

    int run() {
        if (args_.dryRun) return dryRun();
        if (args_.device.empty()) return refuse("send-plan needs --port DEVICE");
        // sent.csv is written there, and a station started on the folder meanwhile would send
        // over the same links: the station's own lock keeps it out until the send ends.
        SingleInstance lock(StationApp::kInstanceName, folder_.root.path());
        if (!lock.acquire())
            return refuse("a running station holds " + folder_.root.path() + "; nothing was sent");
        if (auto error = load()) return refuse(*error);
        if (auto error = openLinks()) return refuse(*error);
        StopSignal::install();
        FleetSend send(clock_, timers_, *handler_, folder_.download, folder_.db, ledger_, log_);
        if (!send.prepareNow(*args_.selection)) return refuse("the send could not be planned");
        printLine(send.estimate().text());
        send.confirm(kReason);
        drive(send);
        return report(send);
    }

  private:
    std::optional<std::string> load() {
        if (auto error = folder_.load(true)) return error;
        if (!ledger_.load(folder_.root.file(SendLedger::kFileName)))
            return ledger_.path() + " cannot be read";
        return std::nullopt;
    }

    // The radio on the device and an IP entry for every location's address, as the station
    // sets them up at start-up.
    std::optional<std::string> openLinks() {
        handler_ =
            makeLoaderHandler(folder_.stackSetup(timers_),
                              LoaderLink{messages_, judge_, errors_,
                                         std::make_unique<FixedPathSerialDevice>(args_.device)});
        handler_->setIpPort(static_cast<unsigned>(
            folder_.profile.getInt(kCommoSection, kIpPortEntry, static_cast<int>(kDefaultIpPort))));
        if (handler_->openRadioPort(kToolCom) != 0)
            return "cannot open " + args_.device +
                   " (no such device, or another program holds it); nothing was sent";
        handler_->start();
        handler_->beginTableBatch();
        folder_.db.visitLocations([this](Location& l) { handler_->addLocationAddress(l); });
        handler_->endTableBatch();
        return std::nullopt;
    }

    // Runs the send on the real clock until it ends, with a progress line now and then; a
    // stop request (Ctrl-C) stops it, and so does running past every link's time-out.
    void drive(FleetSend& send) {
        long long lastProgressMs = clock_.nowMs();
        bool stopAsked = false;
        const bool ended = timers_.runUntil(
            [&] {
                if (!send.busy()) return true;
                if (!stopAsked && StopSignal::requested()) {
                    stopAsked = true;
                    printLine("stopping: what is on its way ends, the rest is not sent");
                    send.stop();
                }
                if (clock_.nowMs() - lastProgressMs >= kProgressEveryMs) {
                    lastProgressMs = clock_.nowMs();
                    printLine(sendProgressLine(send.progress()));
                }
                return !send.busy();
            },
            sendLimitMs(send.estimate()));
        if (ended) return;
        printLine("stopping: the send ran past every link's time-out");
        send.stop();
        timers_.runUntil([&] { return !send.busy(); }, kDrainLimitMs);
    }

    int report(const FleetSend& send) {
        bool allSent = !send.busy();
        for (const SendItem& item : send.items()) {
            if (item.status == SendItem::Status::Sent) continue;
            allSent = false;
            printLine(sendItemLine(item));
        }
        for (const std::string& line : groupOutcomeLines(send.items())) printLine(line);
        if (const auto& summary = send.lastSummary()) {
            printLine(summary->text());
            allSent =
                allSent && summary->givenUp == 0 && summary->notSent == 0 && !summary->stopped;
        }
        if (ledger_.dirty()) {
            std::fprintf(stderr, "quirnctl: what was sent could not be written to %s\n",
                         ledger_.path().c_str());
            allSent = false;
        }
        return allSent ? kAllSent : kNotAllSent;
    }

    // The estimate alone: no port, no lock, no file.
    int dryRun() {
        if (auto error = load()) return refuse(*error);
        SendPlanner planner(folder_.db, folder_.download, ledger_, *args_.selection);
        while (!planner.step(FleetSend::kPlanSlice)) {
        }
        printLine(planner.estimate().text());
        for (const SendItem& item : planner.items())
            if (item.status == SendItem::Status::GivenUp) printLine(sendItemLine(item));
        printLine("dry run: nothing was sent or written");
        return kAllSent;
    }

    static int refuse(const std::string& message) {
        fail(message);
        return kRefused;
    }

    const SendPlanArgs& args_;
    SystemClock clock_;
    LoopTimerService timers_;
    StationFolder folder_;
    ProtocolMessages messages_;
    DirectReadJudge judge_;
    IgnoredConnectionErrors errors_;
    LogWriter log_;
    SendLedger ledger_;
    std::unique_ptr<CommoHandler> handler_;
};

}  // namespace

int runSendPlanCommand(int argc, const char* const* argv) {
    SendPlanArgs args;
    if (auto error = parseSendPlanArgs(argc, argv, args)) {
        fail(*error);
        std::fputs(kUsage, stderr);
        return kRefused;
    }
    if (args.help) {
        std::fputs(kUsage, stdout);
        return kAllSent;
    }
    WorkingFolder root = defaultWorkingFolder();
    if (auto error = selectRoot(args.folder, root)) return fail(*error);
    SendPlanJob job(args, root);
    return job.run();
}

}  // namespace quirn::ctl
