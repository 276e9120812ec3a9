#pragma once
#include <ctime>
#include <memory>
#include <string>

#include "platform/ChildProcess.h"
#include "platform/WorkingFolder.h"

namespace quirn {

// The demo station out of the box: the fictional agency in a fresh folder of its own, with a
// simulated QN510 on a pseudo-terminal as COM 1 (on Windows a named pipe, which the serial
// layer opens as a device) and a simulated MX40 on the WiFi address, both
// run from the quirn-sim program beside this one and stopped when the demo ends. The station
// is then started on that folder as on any working folder.
class DemoStation {
  public:
    // The demo's folder, never the real working folder: quirnradio-demo/ in the user's cache
    // folder ($XDG_CACHE_HOME, else ~/.cache/; on Windows %LOCALAPPDATA%). It is made afresh at
    // every start.
    static std::string defaultFolder();
    // quirn-sim in the folder of the running program.
    static std::string simulatorBesideProgram();

    DemoStation() = default;
    ~DemoStation() { stop(); }
    DemoStation(const DemoStation&) = delete;
    DemoStation& operator=(const DemoStation&) = delete;

    // Empties `folder` and writes the agency's files into it, dated from `today`, starts the
    // simulators and points the profile store's COM 1 and IP port at them; the station is then
    // started on workingFolder(). Refused when `folder` is, under any name, `real` (the
    // station's own working folder). False when a step failed (error() says which; what was
    // started is stopped again).
    bool start(const std::string& folder, const WorkingFolder& real, const std::string& simulator,
               std::time_t today);
    // Stops the simulators (bounded waits).
    void stop();

    const std::string& error() const { return error_; }
    const std::string& folder() const { return folder_; }
    WorkingFolder workingFolder() const { return WorkingFolder(folder_); }
    // The radio simulator's device (pseudo-terminal or pipe), once started.
    const std::string& radioDevice() const { return radioDevice_; }

  private:
    bool fail(std::string why);
    std::string folder_;
    std::string error_;
    std::string radioDevice_;
    std::unique_ptr<ChildProcess> radio_;
    std::unique_ptr<ChildProcess> wifi_;
};

}  // namespace quirn
