#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "app/DemoStation.h"
#include "app/StationApp.h"
#include "app/qt/LoaderMainWindow.h"
#include "app/qt/QtTimerService.h"
#include "app/qt/StopRequestWatcher.h"
#include "loader/LoaderTexts.h"
#include "loader/LoaderView.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/StopSignal.h"
#include "platform/WorkingFolder.h"

namespace {

// Where the station and the demo work, as this system names the folders.
#ifdef _WIN32
constexpr const char* kStationFolderText = "c:\\vorn\\quirn3\\";
constexpr const char* kDemoFolderText = "%LOCALAPPDATA%\\quirnradio-demo\\";
#else
constexpr const char* kStationFolderText = "$QUIRN_ROOT, else ~/vorn/quirn3/";
constexpr const char* kDemoFolderText =
    "$XDG_CACHE_HOME/quirnradio-demo/, else ~/.cache/quirnradio-demo/";
#endif

constexpr const char* kUsage =
    "usage: quirnradio [--demo | --demo-when-new]\n"
    "  Runs the station on its working folder (%s).\n"
    "  --demo           runs the demo agency instead, in a fresh folder of its own\n"
    "                   (%s),\n"
    "                   with simulated time switches on COM 1 and on WiFi\n"
    "  --demo-when-new  the demo when the working folder does not exist yet\n";

constexpr const char* kStillClosing =
    "Another copy of the station is still closing and did not end in time; start the station "
    "again once it has ended. Working folder: ";

enum class Mode { Station, Demo, Help, Wrong };

enum class DemoFolder { Free, HandedOver, StillClosing };

// A demo already running keeps its folder and its simulators: a second demo start asks it to
// come forward before anything of the demo is made anew (it used to empty the running demo's
// folder and start simulators of its own first). One that is closing is waited for, as the
// station's own start waits.
DemoFolder claimDemoFolder(const std::string& folder) {
    quirn::SingleInstance probe(quirn::StationApp::kInstanceName,
                                quirn::WorkingFolder(folder).path());
    if (probe.acquire()) return DemoFolder::Free;
    if (probe.askFirstToComeForward()) return DemoFolder::HandedOver;
    return probe.acquireWithin(quirn::StationApp::kClosingWaitMs) ? DemoFolder::Free
                                                                  : DemoFolder::StillClosing;
}

Mode modeOf(int argc, char** argv) {
    Mode mode = Mode::Station;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0)
            mode = Mode::Demo;
        else if (std::strcmp(argv[i], "--demo-when-new") == 0) {
            if (!quirn::pathExists(quirn::defaultWorkingFolder().path())) mode = Mode::Demo;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return Mode::Help;
        else
            return Mode::Wrong;
    }
    return mode;
}

}  // namespace

int main(int argc, char** argv) {
    const Mode mode = modeOf(argc, argv);
    if (mode == Mode::Help || mode == Mode::Wrong) {
        std::fprintf(mode == Mode::Help ? stdout : stderr, kUsage, kStationFolderText,
                     kDemoFolderText);
        return mode == Mode::Help ? 0 : 2;
    }
    // From the first moment: a request to end (logout, shutdown, `kill`, Ctrl-C) then runs the
    // same shutdown as closing the window, once the window's loop sees it.
    quirn::StopSignal::install();
    QApplication qtApp(argc, argv);
    quirn::SystemClock clock;
    quirn::DemoStation demo;
    const quirn::WorkingFolder stationFolder = quirn::defaultWorkingFolder();
    if (mode == Mode::Demo) {
        const std::string demoFolder = quirn::DemoStation::defaultFolder();
        const DemoFolder claim = claimDemoFolder(demoFolder);
        if (claim == DemoFolder::HandedOver) return 0;
        if (claim == DemoFolder::StillClosing) {
            const std::string text = std::string(kStillClosing) + demoFolder + ".";
            std::fprintf(stderr, "quirnradio: %s\n", text.c_str());
            return 1;
        }
    }
    if (mode == Mode::Demo &&
        !demo.start(quirn::DemoStation::defaultFolder(), stationFolder,
                    quirn::DemoStation::simulatorBesideProgram(), clock.now())) {
        QMessageBox::critical(nullptr, quirn::kLoaderCaption,
                              QString::fromStdString("The demo could not start: " + demo.error()));
        return 1;
    }
    quirn::QtTimerService timers;
    quirn::StationApp app(clock, timers, mode == Mode::Demo ? demo.workingFolder() : stationFolder);
    if (!app.startUp()) {
        if (!app.anotherCopyClosing()) return 0;  // another copy runs and was asked forward
        const std::string text = std::string(kStillClosing) + app.folder().path() + ".";
        std::fprintf(stderr, "quirnradio: %s\n", text.c_str());
        quirn::StopRequestWatcher watcher([] { QCoreApplication::exit(1); });
        QMessageBox::warning(nullptr, quirn::kLoaderCaption, QString::fromStdString(text));
        return 1;
    }
    {
        quirn::LoaderMainWindow window(app);
        bool ending = false;
        quirn::StopRequestWatcher watcher([&] {
            ending = true;
            window.endForShutdown();
        });
        // Windows ending the session ends the process as soon as this returns (Qt tells of it
        // with aboutToQuit): the shutdown is run here, in full. A request already being acted
        // on (Qt may tell of its exit() the same way) ends below, as the window's close does.
        QObject::connect(&qtApp, &QCoreApplication::aboutToQuit, &window.window(), [&] {
            if (ending) return;
            ending = true;
            window.endForShutdown();
            app.shutDown();
        });
        // Which folder the station works on, and whether it is the demo, is always in sight.
        const std::string title = std::string(quirn::loader_text::kLoaderTitle) +
                                  (mode == Mode::Demo ? " \u2014 Demo" : "") + " \u2014 " +
                                  app.folder().path();
        window.window().setWindowTitle(QString::fromStdString(title));
        app.runMainWindow(window);
    }
    app.shutDown();
    return 0;
}
