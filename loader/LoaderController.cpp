#include "loader/LoaderController.h"

#include <algorithm>
#include <span>

#include "loader/AttachedReadBack.h"
#include "loader/LoaderPort.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderTexts.h"
#include "loader/LoaderView.h"
#include "loader/UtilitiesController.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "protocol/ProgramImage.h"

namespace quirn {

namespace {
constexpr int kVornTimeMasterGroup = 1;
constexpr int kVornTimeGroup = 99;
constexpr const char* kVornTimeName = "MOXBYRD";
constexpr int kTicksPerSecond = 1000 / LoaderController::kTickMs;

// The second of a read or write the status line shows, counted from 1.
int shownSecond(int ticks) {
    return ticks / kTicksPerSecond + 1;
}
}  // namespace

LoaderController::LoaderController(LoaderServices services, LoaderView& view)
    : s_(services), view_(view), messages_(services.database, services.download, services.clock) {}

LoaderController::~LoaderController() {
    if (timer_ != TimerService::kNoTimer) s_.timers.stop(timer_);
}

void LoaderController::open() {
    s_.settings.applyProfileToSettings();
    type_ = attachedTypeFromInt(s_.settings.storedType());
    mode_ = Mode::Idle;
    status_ = loader_text::kNoClockData;
    clearReadBack();
    if (!isOpen()) timer_ = s_.timers.start(kTickMs, [this] { tick(); });
    notify();
}

void LoaderController::close() {
    if (timer_ != TimerService::kNoTimer) s_.timers.stop(timer_);
    timer_ = TimerService::kNoTimer;
    s_.settings.storeMasterGroups(s_.settings.hasMasterGroups() ? 1 : 0);
    s_.settings.storeType(static_cast<int>(type_));
}

void LoaderController::tick() {
    switch (mode_) {
        case Mode::Reading:
            ++count_;
            if (count_ >= kReadTicks)
                finishRead();
            else
                status_ = format(loader_text::kReadingData, shownSecond(count_));
            break;
        case Mode::Writing:
            ++count_;
            if (count_ >= kReadTicks) {
                status_ = loader_text::kNoClockData;
                sentLine_ = format(loader_text::kProgramSent, writtenGroup_.c_str());
                mode_ = Mode::Idle;
            } else {
                status_ = format(loader_text::kWritingData, shownSecond(count_));
            }
            break;
        case Mode::Idle:
            return;
    }
    notify();
}

std::vector<LoaderController::GroupChoice> LoaderController::groups() const {
    std::vector<GroupChoice> out;
    for (const Group* g : s_.database.allGroups())
        out.push_back({g->masterGroup(), g->number(), g->name(), g->listText()});
    if (s_.settings.sortGroupsByText())
        std::stable_sort(out.begin(), out.end(), [](const GroupChoice& a, const GroupChoice& b) {
            return a.text < b.text;
        });
    return out;
}

bool LoaderController::selectGroup(int masterGroup, int group) {
    if (s_.database.findGroup(masterGroup, group) == nullptr) return false;
    if (masterGroup != masterGroup_ || group != group_) {
        lastRead_.match = Match::None;
        lastRead_.comparedWith.clear();
    }
    masterGroup_ = masterGroup;
    group_ = group;
    notify();
    return true;
}

void LoaderController::clearSelection() {
    masterGroup_ = 0;
    group_ = 0;
    lastRead_.match = Match::None;
    lastRead_.comparedWith.clear();
    notify();
}

std::optional<LoaderController::GroupChoice> LoaderController::selectedGroup() const {
    const Group* g = group();
    if (g == nullptr) return std::nullopt;
    return GroupChoice{g->masterGroup(), g->number(), g->name(), g->listText()};
}

Group* LoaderController::group() const {
    // Looked up each time: the database may have dropped the group meanwhile.
    return s_.database.findGroup(masterGroup_, group_);
}

Group* LoaderController::groupForButton() {
    Group* g = group();
    if (g == nullptr) {
        view_.showWarning(loader_text::kNoGroupSelected, kLoaderCaption);
        notify();
    }
    return g;
}

bool LoaderController::hasMasterGroups() const {
    return s_.settings.hasMasterGroups();
}

void LoaderController::chooseType(AttachedType type) {
    type_ = type;
    if (auto rate = attachedTypeInfo(type).portRate) {
        s_.settings.setConfiguredBaud(*rate);
        s_.port.reopen(*rate);
    }
    notify();
}

bool LoaderController::send(const std::string& bytes) {
    if (s_.port.writeNow(bytes)) return true;
    view_.beep();
    view_.showWarning(loader_text::kPortUnavailable, kLoaderCaption);
    notify();
    return false;
}

bool LoaderController::read() {
    if (mode_ != Mode::Idle) return false;
    Group* g = groupForButton();
    if (g == nullptr) return false;
    if (!send(messages_.readRequest(type_, *g, hasMasterGroups()))) return false;
    clearReadBack();
    sentLine_.clear();
    mode_ = Mode::Reading;
    count_ = 0;
    notify();
    return true;
}

bool LoaderController::write() {
    if (mode_ != Mode::Idle) return false;
    Group* g = groupForButton();
    if (g == nullptr) return false;
    if (!send(messages_.program(type_, *g, hasMasterGroups()))) return false;
    sentLine_.clear();
    writtenGroup_ = g->listText();
    mode_ = Mode::Writing;
    count_ = kWriteStartCount;
    status_ = loader_text::kWritingStart;
    notify();
    return true;
}

bool LoaderController::manual(bool relayOn) {
    if (mode_ != Mode::Idle) return false;
    Group* g = groupForButton();
    if (g == nullptr) return false;
    if (!send(messages_.manual(type_, *g, relayOn, hasMasterGroups()))) return false;
    sentLine_ = format(relayOn ? loader_text::kManualOnSent : loader_text::kManualOffSent,
                       g->listText().c_str());
    notify();
    return true;
}

bool LoaderController::sendTime() {
    if (mode_ != Mode::Idle) return false;
    if (!send(messages_.time(type_, hasMasterGroups()))) return false;
    sentLine_ = loader_text::kTimeSent;
    notify();
    return true;
}

void LoaderController::finishRead() {
    mode_ = Mode::Idle;
    std::string reply = s_.port.takeInput();
    lastRead_.bytes = reply.size();
    if (usesPagedCommands(type_))
        readQn510(reply, group());
    else
        readProgramImage(reply, group());
}

void LoaderController::readQn510(const std::string& reply, Group* g) {
    std::unique_ptr<ReadBackImage> image = s_.readBack.decodeQn510(reply);
    if (!image) {
        status_ = format(loader_text::kQn510ReadFailed, computerTime().c_str());
        return;
    }
    status_ = format(loader_text::kQn510Computer, computerTime().c_str());
    clockLine_ = formatLocal(loader_text::kClockLineFormat, image->clock());
    description_ = image->describeProgram();
    lastRead_.valid = true;
    if (g == nullptr) return;
    lastRead_.match = s_.readBack.qn510Matches(*image, *g) ? Match::Matches : Match::Differs;
    lastRead_.comparedWith = g->listText();
}

void LoaderController::readProgramImage(const std::string& reply, Group* g) {
    if (reply.size() != ProgramImage::kSize) {
        status_ = format(loader_text::kImageReadFailed, computerTime().c_str());
        return;
    }
    ProgramImage image(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(reply.data()), reply.size()));
    image.checkAnnualEntries();
    if (!image.isValid() || !image.clockFields()) {
        status_ = loader_text::kNoClockData;
        return;
    }
    status_ = format(loader_text::kImageComputer, computerTime().c_str());
    clockLine_ = formatLocal(loader_text::kClockLineFormat, image.clock());
    description_ = image.describeProgram();
    lastRead_.valid = true;
    if (g == nullptr) return;
    lastRead_.match = s_.readBack.programImageMatches(image, *g) ? Match::Matches : Match::Differs;
    lastRead_.comparedWith = g->listText();
}

std::string LoaderController::matchText() const {
    if (lastRead_.match == Match::None) return {};
    std::string text = lastRead_.match == Match::Matches ? loader_text::kProgramMatches
                                                         : loader_text::kProgramDiffers;
    return text + format(loader_text::kComparedWith, lastRead_.comparedWith.c_str());
}

void LoaderController::clearReadBack() {
    clockLine_.clear();
    description_.clear();
    lastRead_ = ReadResult{};
}

std::string LoaderController::computerTime() const {
    return formatLocal(loader_text::kComputerTimeFormat, s_.clock.now());
}

std::unique_ptr<UtilitiesController> LoaderController::makeUtilities(LoaderView& view) {
    return std::make_unique<UtilitiesController>(s_.timers, s_.port, s_.settings, view, type_);
}

void LoaderController::refresh() {
    notify();
}

bool LoaderController::portErrorVisible() const {
    return !s_.port.isSetUp();
}

const char* LoaderController::portErrorText() {
    return loader_text::kPortErrorLine;
}

bool LoaderController::vornTimeVisible() const {
    const Group* g = s_.database.findGroup(kVornTimeMasterGroup, kVornTimeGroup);
    return g != nullptr && g->name() == kVornTimeName;
}

void LoaderController::notify() {
    view_.changed();
}

}  // namespace quirn
