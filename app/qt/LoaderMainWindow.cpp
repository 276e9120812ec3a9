#include "app/qt/LoaderMainWindow.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/HelpDocuments.h"
#include "app/StationApp.h"
#include "app/qt/HelpWindow.h"
#include "fleethealth/ui/FleetWindowAttach.h"
#include "fleetsend/ui/SendPresets.h"
#include "fleetsend/ui/SendProgrammingDialog.h"
#include "planedit/ui/PlansWindow.h"
#ifdef QUIRN_WITH_PLANS_CALENDAR
#include "plancalendar/ui/window/PlansWindowCalendar.h"
#endif
#include "plans/DatabaseFiles.h"
#include "platform/ComPortMap.h"
#include "testing/ui/TimeTestWindow.h"
#include "validationrun/ui/ValidationRunDialog.h"

namespace quirn {

namespace {
constexpr int kComeForwardPollMs = 500;

// The window marks the groups the start-up plan check found faults in.
LoaderServices withPlanFindings(LoaderServices services, const StationApp& app) {
    services.planFindings = &app.planFindings();
    return services;
}
// The calendar tab joins the plans window where it is built (the control takes the window's
// clock), and every edit of a group reaches the station's links and its record of what changed
// since the last send.
std::function<void(PlansWindow&)> plansWindowExtension(StationApp& app) {
    return [&app](PlansWindow& window) {
#ifdef QUIRN_WITH_PLANS_CALENDAR
        plancalendar::addPlansCalendar(window, {});
#endif
        window.editor().addListener([&app](const PlanEditNotice& notice) {
            for (const GroupKey& key : notice.groups) {
                app.linkLocationsOf(key.masterGroup, key.group);
                app.programmingEdited(key.masterGroup, key.group);
            }
            if (notice.summerPlans) app.everyProgrammingEdited();
        });
    };
}
}  // namespace

LoaderMainWindow::LoaderMainWindow(StationApp& app)
    : app_(app),
      settings_(app.profile(), app.settings(), settingsFileName(app.folder())),
      stack_(LoaderStackSetup{app.clock(), app.timers(), app.folder(), &app.profile(), settings_,
                              app.database(), app.comms()->download()},
             app.comms()->commo()),
      window_(std::make_unique<LoaderWindow>(withPlanFindings(stack_.services(), app), prompts_)),
      comeForwardPoll_(new QTimer(window_.get())) {
    prompts_.setParent(window_.get());
    attachTimeTesting(*window_, TimeTestWindowServices{app.clock(),
                                                       app.folder(),
                                                       app.timers(),
                                                       app.comms()->commo(),
                                                       app.database(),
                                                       app.comms()->download(),
                                                       [&app] { app.saveAll(); },
                                                       {}});
    // The plans window edits the station's own records and saves them as the station does, and
    // sends the programming of what it has picked to the fleet.
    PlansWindowServices plans{app.database(),
                              app.overrides(),
                              app.summer(),
                              app.clock(),
                              app.folder(),
                              settings_.hasMasterGroups(),
                              [&app] { app.saveAll(); },
                              plansWindowExtension(app)};
    if (app.fleetSend() != nullptr)
        plans.sendProgramming = [&app](QWidget* parent, int masterGroup, int group, int location) {
            openSendProgrammingDialog(*app.fleetSend(), app.validationRun(),
                                      sendPresetOfPick(masterGroup, group, location), parent);
        };
    attachPlansWindow(*window_, std::move(plans));
    // The station's validation run: started, watched and stopped from its own window.
    window_->setValidateAction([this] {
        ValidationRunDialog dialog(*app_.validationRun(), window_.get());
        dialog.exec();
    });
    // The fleet window reads the station's records and its read history file.
    FleetWindowServices fleet{app.database(), &app.errors(), app.clock(), &app.historyFile()};
    if (app.fleetSend() != nullptr)
        fleet.sendProgramming = [&app](QWidget* parent, std::vector<LocationKey> locations) {
            openSendProgrammingDialog(*app.fleetSend(), app.validationRun(),
                                      SendSelection::ofLocations(std::move(locations)), parent);
        };
    attachFleetWindow(*window_, fleet);
    window_->setHelpAction([this] { showHelp(); });
    QObject::connect(comeForwardPoll_, &QTimer::timeout, window_.get(), [this] {
        if (app_.takeComeForwardRequest()) comeForward();
    });
    comeForwardPoll_->start(kComeForwardPollMs);
}

LoaderMainWindow::~LoaderMainWindow() = default;

void LoaderMainWindow::runModal() {
    app_.publishMainWindow(static_cast<std::intptr_t>(window_->winId()));
    window_->exec();
}

void LoaderMainWindow::showHelp() {
    HelpWindow help(helpHeading(programVersion(), app_.folder().path(), ComPortMap(&app_.profile()),
                                settings_.port()),
                    loadHelpDocuments(helpFolders()), window_.get());
    help.exec();
}

void LoaderMainWindow::endForShutdown() {
    window_->done(QDialog::Rejected);
    // Every event loop running ends, the dialogs' included, and none opened later runs: the
    // program never again waits for the operator.
    QCoreApplication::exit(0);
}

void LoaderMainWindow::comeForward() {
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

}  // namespace quirn
