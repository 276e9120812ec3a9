#include "loader/UtilitiesController.h"

#include "comms/SerialPort.h"
#include "loader/LoaderPort.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderTexts.h"
#include "loader/LoaderView.h"
#include "loader/TextFormat.h"
#include "plans/PlanTypes.h"
#include "plans/Settings.h"
#include "platform/SerialDevice.h"

namespace quirn {

UtilitiesController::UtilitiesController(TimerService& timers, LoaderPort& port,
                                         LoaderSettings& settings, LoaderView& view,
                                         AttachedType type)
    : timers_(timers),
      port_(port),
      settings_(settings),
      view_(view),
      type_(type),
      baudChange_(port) {}

UtilitiesController::~UtilitiesController() {
    close();
}

void UtilitiesController::open() {
    configuredBaud_ = settings_.configuredBaud();
    portChoices_ = comPortChoices(settings_.port(), selectedPort_);
    unverified_ = false;
    if (!isOpen()) timer_ = timers_.start(kTickMs, [this] { tick(); });
    notify();
}

bool UtilitiesController::requestClose() {
    if (unverified_ && !view_.askYesNo(loader_text::kUnverifiedExit, kLoaderCaption)) return false;
    close();
    return true;
}

void UtilitiesController::close() {
    baudChange_.cancel();
    if (timer_ != TimerService::kNoTimer) timers_.stop(timer_);
    timer_ = TimerService::kNoTimer;
}

void UtilitiesController::tick() {
    if (!baudChange_.running()) return;
    if (baudChange_.tick()) view_.showMessage(baudChange_.resultText(), kLoaderCaption);
    notify();
}

void UtilitiesController::choosePort(int index) {
    if (index < 0 || index >= static_cast<int>(portChoices_.size())) return;
    if (index != selectedPort_) unverified_ = true;
    selectedPort_ = index;
    notify();
}

int UtilitiesController::chosenComNumber() const {
    if (selectedPort_ < 0 || selectedPort_ >= static_cast<int>(portChoices_.size())) return 0;
    return comNumberFromChoice(portChoices_[static_cast<std::size_t>(selectedPort_)]);
}

void UtilitiesController::verifyPort() {
    int chosen = chosenComNumber();
    int previous = port_.comNumber();
    if (chosen == 0) {
        port_.open(0, configuredBaud_);
        settings_.setPort(0);
        unverified_ = false;
        view_.showMessage(loader_text::kPortDisabled, kLoaderCaption);
    } else if (port_.open(chosen, configuredBaud_)) {
        settings_.setPort(chosen);
        unverified_ = false;
        view_.showMessage(loader_text::kPortSetupOk, kLoaderCaption);
    } else {
        // The station keeps the port it had rather than none at all.
        port_.open(previous, configuredBaud_);
        view_.showMessage(loader_text::kPortMissing, kLoaderCaption);
    }
    notify();
}

bool UtilitiesController::masterGroupsEnabled() const {
    return settings_.hasMasterGroups();
}

void UtilitiesController::setMasterGroupsEnabled(bool on) {
    settings_.setHasMasterGroups(on);
    notify();
}

std::vector<std::string> UtilitiesController::masterGroupChoices() const {
    std::vector<std::string> choices;
    for (int mg = kMinMasterGroup; mg <= kMaxMasterGroup; ++mg)
        choices.push_back(Settings::masterGroupListText(mg));
    return choices;
}

int UtilitiesController::currentMasterGroup() const {
    return settings_.currentMasterGroup();
}

void UtilitiesController::chooseMasterGroup(int masterGroup) {
    settings_.setCurrentMasterGroup(masterGroup);
    notify();
}

void UtilitiesController::changePcBaud(int baud) {
    if (baudChange_.running()) return;
    configuredBaud_ = baud == kBaud4800 ? kBaud4800 : kBaud2400;
    settings_.setConfiguredBaud(configuredBaud_);
    if (port_.reopen(configuredBaud_)) {
        view_.showMessage(formatText(loader_text::kPcBaudChanged, configuredBaud_), kLoaderCaption);
    } else {
        view_.beep();
        view_.showMessage(loader_text::kPortUnavailable, kLoaderCaption);
    }
    notify();
}

void UtilitiesController::changeSwitchBaud(int baud) {
    if (baudChange_.running()) return;
    int target = baud == kBaud4800 ? kBaud4800 : kBaud2400;
    if (!view_.askYesNo(formatText(loader_text::kAskBaudChange, target), kLoaderCaption)) return;
    baudChange_.start(target, configuredBaud_);
    notify();
}

const char* UtilitiesController::versionText() {
    return loader_text::kVersion;
}

std::string UtilitiesController::portStatusText() const {
    if (!port_.isSetUp()) return loader_text::kPortNotSetup;
    bool fixedRate = attachedTypeInfo(type_).portRate.has_value();
    int shown = fixedRate || configuredBaud_ == kBaud2400 ? kBaud2400 : kBaud4800;
    return formatText(loader_text::kPortSetupBaud, shown);
}

std::string UtilitiesController::rateText() const {
    int rate = port_.isSetUp() ? port_.currentBaud() : 0;
    return formatText(loader_text::kBaudRate, rate > 0 ? rate : configuredBaud_);
}

UtilitiesController::Buttons UtilitiesController::buttons() const {
    Buttons b;
    // Nothing may touch the port while a change talks to the switch.
    if (baudChange_.running()) return b;
    if (!port_.isSetUp()) {
        b.verifyPort = true;
        return b;
    }
    // A new choice in the port list can be verified even while the old port works.
    b.verifyPort = unverified_;
    if (attachedTypeInfo(type_).portRate.has_value()) return b;
    b.switchTo2400 = true;
    b.switchTo4800 = true;
    b.pcTo4800 = configuredBaud_ == kBaud2400;
    b.pcTo2400 = !b.pcTo4800;
    return b;
}

void UtilitiesController::notify() {
    view_.changed();
}

}  // namespace quirn
