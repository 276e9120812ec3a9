#include "loader/UtilitiesController.h"

#include "comms/SerialPort.h"
#include "loader/LoaderPort.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderTexts.h"
#include "loader/LoaderView.h"
#include "plans/PlanTypes.h"
#include "plans/Settings.h"
#include "platform/ComPortMap.h"
#include "platform/Format.h"
#include "platform/ProfileStore.h"
#include "platform/SerialDevice.h"

namespace quirn {

UtilitiesController::UtilitiesController(TimerService& timers, LoaderPort& port,
                                         LoaderSettings& settings, LoaderView& view,
                                         AttachedType type, std::string deviceFolder)
    : timers_(timers),
      port_(port),
      settings_(settings),
      view_(view),
      type_(type),
      baudChange_(port),
      deviceFolder_(std::move(deviceFolder)) {}

UtilitiesController::~UtilitiesController() {
    close();
}

void UtilitiesController::open() {
    configuredBaud_ = settings_.configuredBaud();
    fillPortList();
    unverified_ = false;
    if (!isOpen()) timer_ = timers_.start(kTickMs, [this] { tick(); });
    notify();
}

void UtilitiesController::fillPortList() {
    portList_ = makePortChoices(settings_.port(), targetCom(), ComPortMap(&settings_.profile()),
                                presentSerialDevices(deviceFolder_), selectedPort_);
    portTexts_.clear();
    for (const PortChoice& choice : portList_) portTexts_.push_back(choice.text);
}

int UtilitiesController::targetCom() const {
    int configured = settings_.port();
    return configured > 0 ? configured : loader_profile::kDefaultPort;
}

bool UtilitiesController::requestClose() {
    if (unverified_ && !view_.askYesNo(loader_text::kUnverifiedExit, kLoaderCaption)) return false;
    if (baudChange_.running()) {
        // The port goes back to its rate before the technician is told it did.
        baudChange_.cancel();
        view_.showWarning(format(loader_text::kBaudChangeCancelled, configuredBaud_),
                          kLoaderCaption);
    }
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
    if (baudChange_.tick()) finishBaudChange();
    notify();
}

// A switch at a new rate answers nothing until the PC follows; the offer saves the
// technician from looking for the other button.
void UtilitiesController::finishBaudChange() {
    if (!baudChange_.succeeded()) {
        view_.showWarning(baudChange_.resultText(), kLoaderCaption);
        return;
    }
    view_.showMessage(baudChange_.resultText(), kLoaderCaption);
    int target = baudChange_.target();
    if (target != configuredBaud_ &&
        view_.askYesNo(format(loader_text::kOfferPcBaud, target), kLoaderCaption))
        changePcBaud(target);
}

void UtilitiesController::choosePort(int index) {
    if (index < 0 || index >= static_cast<int>(portList_.size())) return;
    if (index != selectedPort_) unverified_ = true;
    selectedPort_ = index;
    notify();
}

void UtilitiesController::typeDevicePath(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return;
    std::string path = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    for (std::size_t i = 0; i < portList_.size(); ++i)
        if (portList_[i].text == path ||
            (!portList_[i].newDevice.empty() && portList_[i].newDevice == path)) {
            choosePort(static_cast<int>(i));
            return;
        }
    portList_.push_back(typedPortChoice(targetCom(), path));
    portTexts_.push_back(portList_.back().text);
    choosePort(static_cast<int>(portList_.size()) - 1);
}

const PortChoice* UtilitiesController::chosen() const {
    if (selectedPort_ < 0 || selectedPort_ >= static_cast<int>(portList_.size())) return nullptr;
    return &portList_[static_cast<std::size_t>(selectedPort_)];
}

// Opens the chosen entry's COM number, mapping its new device first; a device that does not
// open gives the COM number its old device back.
bool UtilitiesController::openChosen(const PortChoice& choice) {
    ProfileStore& profile = settings_.profile();
    const std::string before = ComPortMap(&profile).devicePath(choice.comNumber);
    if (!choice.newDevice.empty())
        ComPortMap::storeDevicePath(profile, choice.comNumber, choice.newDevice);
    if (port_.open(choice.comNumber, configuredBaud_)) return true;
    if (!choice.newDevice.empty()) ComPortMap::storeDevicePath(profile, choice.comNumber, before);
    return false;
}

void UtilitiesController::verifyPort() {
    const PortChoice* choice = chosen();
    if (choice == nullptr) return;
    const PortChoice wanted = *choice;
    int previous = port_.comNumber();
    if (wanted.comNumber == 0) {
        port_.open(0, configuredBaud_);
        settings_.setPort(0);
        unverified_ = false;
        view_.showWarning(loader_text::kPortDisabled, kLoaderCaption);
    } else if (openChosen(wanted)) {
        settings_.setPort(wanted.comNumber);
        unverified_ = false;
        fillPortList();
        baudChange_.forgetResult();
        view_.showMessage(loader_text::kPortSetupOk, kLoaderCaption);
    } else {
        // The station keeps the port it had rather than none at all.
        port_.open(previous, configuredBaud_);
        const std::string device =
            wanted.newDevice.empty() ? ComPortMap(&settings_.profile()).devicePath(wanted.comNumber)
                                     : wanted.newDevice;
        view_.showWarning(std::string(loader_text::kPortMissing) + "\n\n" +
                              format(loader_text::kDeviceOfCom, wanted.comNumber, device.c_str()),
                          kLoaderCaption);
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
        baudChange_.forgetResult();
        view_.showMessage(format(loader_text::kPcBaudChanged, configuredBaud_), kLoaderCaption);
    } else {
        view_.beep();
        view_.showMessage(loader_text::kPortUnavailable, kLoaderCaption);
    }
    notify();
}

void UtilitiesController::changeSwitchBaud(int baud) {
    if (baudChange_.running()) return;
    int target = baud == kBaud4800 ? kBaud4800 : kBaud2400;
    if (!view_.askYesNo(format(loader_text::kAskBaudChange, target), kLoaderCaption)) return;
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
    return format(loader_text::kPortSetupBaud, shown);
}

std::string UtilitiesController::rateText() const {
    int rate = port_.isSetUp() ? port_.currentBaud() : 0;
    return format(loader_text::kBaudRate, rate > 0 ? rate : configuredBaud_);
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

UtilitiesController::ButtonReasons UtilitiesController::buttonReasons() const {
    std::string common;
    if (baudChange_.running())
        common = loader_text::kWhyBaudChangeRunning;
    else if (!port_.isSetUp())
        common = loader_text::kWhyNoPort;
    else if (attachedTypeInfo(type_).portRate.has_value())
        common = format(loader_text::kWhyFixedRate, attachedTypeInfo(type_).button);
    if (!common.empty()) return {common, common, common};
    const Buttons b = buttons();
    ButtonReasons reasons;
    if (!b.pcTo2400) reasons.pcTo2400 = format(loader_text::kWhyPcAtRate, configuredBaud_);
    if (!b.pcTo4800) reasons.pcTo4800 = format(loader_text::kWhyPcAtRate, configuredBaud_);
    return reasons;
}

void UtilitiesController::notify() {
    view_.changed();
}

}  // namespace quirn
