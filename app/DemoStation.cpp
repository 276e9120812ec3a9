#include "app/DemoStation.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/DemoAgency.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/ComPortMap.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/ProgramFolders.h"

namespace quirn {

namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderName = "quirnradio-demo";
constexpr const char* kSimulatorName = "quirn-sim";
// The station's radio port in the demo; its device is the radio simulator's.
constexpr int kDemoRadioCom = 1;
constexpr int kSimulatorStartMs = 5000;

// "127.0.0.5:40123" -> 40123; 0 when the line names no port.
unsigned portOf(const std::string& line) {
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) return 0;
    return static_cast<unsigned>(std::strtoul(line.c_str() + colon + 1, nullptr, 10));
}

}  // namespace

std::string DemoStation::defaultFolder() {
    return withTrailingSeparator(userCacheFolder() + kFolderName);
}

std::string DemoStation::simulatorBesideProgram() {
    return programBesideThisOne(kSimulatorName);
}

bool DemoStation::fail(std::string why) {
    error_ = std::move(why);
    stop();
    return false;
}

bool DemoStation::start(const std::string& folder, const WorkingFolder& real,
                        const std::string& simulator, std::time_t today) {
    // The system's own separator: the folder is shown in the window's title.
    folder_ = withTrailingSeparator(folder);
    // Emptied at every start: never when it is, under any name, the real working folder.
    if (folder_.empty() || (pathExists(real.path()) && sameFolder(folder_, real.path())))
        return fail("the demo folder " + folder_ + " is the working folder");
    std::error_code ec;
    fs::remove_all(folder_, ec);
    if (!makeFolders(folder_)) return fail("cannot make the demo folder " + folder_);

    radio_ = std::make_unique<ChildProcess>(
        simulator, std::vector<std::string>{"--model", "QN510", "--address", "1,1,1", "--pty"},
        folder_ + "radio-simulator.log");
    wifi_ = std::make_unique<ChildProcess>(
        simulator,
        std::vector<std::string>{"--model", "MX40", "--address", "1,2,1", "--tcp",
                                 std::string(DemoAgency::kWifiAddress) + ":0"},
        folder_ + "wifi-simulator.log");
    if (!radio_->started() || !wifi_->started()) return fail("cannot start " + simulator);
    radioDevice_ = radio_->firstLine(kSimulatorStartMs);
    const unsigned wifiPort = portOf(wifi_->firstLine(kSimulatorStartMs));
    if (radioDevice_.empty() || wifiPort == 0)
        return fail("the simulators did not start; see " + folder_ + "*-simulator.log");

    PlanDatabase db;
    DemoAgency::build(db, today);
    const WorkingFolder demo = workingFolder();
    const bool saved =
        saveDatabase(db, demo, today) &&
        replaceFileAtomically(demo.file("summer.csv"), DemoAgency::summerText(today)) &&
        replaceFileAtomically(overrideFileName(demo), DemoAgency::overrideText()) &&
        replaceFileAtomically(demo.file("mail.csv"), DemoAgency::techniciansText()) &&
        replaceFileAtomically(settingsFileName(demo), DemoAgency::settingsText());
    ProfileStore profile(demo.file(kProfileStoreFileName));
    const bool mapped = ComPortMap::storeDevicePath(profile, kDemoRadioCom, radioDevice_) &&
                        profile.writeInt("Commo", "IPPort", static_cast<int>(wifiPort)) &&
                        profile.writeInt("Commo", "Port", 1) &&
                        profile.writeInt("Commo", "Hmg", 1) && profile.writeInt("Clock", "Type", 0);
    if (!saved || !mapped) return fail("cannot write the demo's files in " + folder_);
    return true;
}

void DemoStation::stop() {
    if (radio_) radio_->stop();
    if (wifi_) wifi_->stop();
    radio_.reset();
    wifi_.reset();
}

}  // namespace quirn
