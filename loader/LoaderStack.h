#pragma once
#include <memory>

#include "comms/CommoHandler.h"
#include "loader/CommoLoaderPort.h"
#include "loader/LoaderController.h"
#include "loader/ProtocolReadBack.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;
class CommsMessages;
class ConnectionErrorSink;
class LoaderSettings;
class PlanDatabase;
class PlanDownload;
class ProfileStore;
class ReplyJudge;
class SerialDevice;
class TimerService;

// What a loader stack is built on, the same for every caller; all held by reference.
struct LoaderStackSetup {
    const Clock& clock;
    TimerService& timers;
    WorkingFolder folder;         // the handler's imsi.csv, IP table and log files
    const ProfileStore* profile;  // Commo/Baud and the COM map
    LoaderSettings& settings;
    PlanDatabase& database;
    PlanDownload& download;
    // A tool's: the handler creates and writes no file of its own in the folder.
    bool leavesFolderAlone = false;
};

// What the communications handler of a stack reports to and talks over: the pieces in which
// the program, the command line and the tests differ.
struct LoaderLink {
    CommsMessages& messages;
    ReplyJudge& judge;
    ConnectionErrorSink& errors;
    std::unique_ptr<SerialDevice> serialDevice;  // nullptr: the device the COM map names
};

// A communications handler on the setup and the link, for a caller that needs no loader over
// it. Neither opened nor started: when that happens is the caller's.
std::unique_ptr<CommoHandler> makeLoaderHandler(const LoaderStackSetup& setup, LoaderLink link);

// The loader's pieces below its controller, owned in the order they are built on each other:
// the communications handler (built here or lent by whoever owns it), the loader port on its
// radio port and the protocol's read-back over the plan download. The handler is neither
// opened nor started here, so each caller keeps its own order of opening the port, starting
// the handler and opening the controller.
class LoaderStack {
  public:
    // Builds and owns the handler on the link.
    LoaderStack(const LoaderStackSetup& setup, LoaderLink link);
    // Over a handler that outlives this stack (the program's).
    LoaderStack(const LoaderStackSetup& setup, CommoHandler& handler);
    ~LoaderStack();
    LoaderStack(const LoaderStack&) = delete;
    LoaderStack& operator=(const LoaderStack&) = delete;

    CommoHandler& handler() { return handler_; }
    CommoLoaderPort& port() { return port_; }
    // What a loader controller or window works with, over the handler's port or over `port`
    // (one a test puts in between).
    LoaderServices services() { return services(port_); }
    LoaderServices services(LoaderPort& port);

  private:
    // `owned` when the stack built the handler, else nullptr beside the lent `handler`.
    LoaderStack(const LoaderStackSetup& setup, std::unique_ptr<CommoHandler> owned,
                CommoHandler* handler);

    const Clock& clock_;
    TimerService& timers_;
    LoaderSettings& settings_;
    PlanDatabase& database_;
    PlanDownload& download_;
    std::unique_ptr<CommoHandler> ownedHandler_;
    CommoHandler& handler_;
    CommoLoaderPort port_;
    ProtocolReadBack readBack_;
};

}  // namespace quirn
