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
#include "protocol/Qn510Image.h"

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

std::optional<std::size_t> indexOf(const std::vector<std::string>& lines, const std::string& line) {
    auto at = std::find(lines.begin(), lines.end(), line);
    if (at == lines.end()) return std::nullopt;
    return static_cast<std::size_t>(at - lines.begin());
}
}  // namespace

LoaderController::LoaderController(LoaderServices services, LoaderView& view)
    : s_(services),
      view_(view),
      messages_(services.database, services.download, services.clock),
      findings_(services.planFindings) {}

LoaderController::~LoaderController() {
    if (timer_ != TimerService::kNoTimer) s_.timers.stop(timer_);
}

void LoaderController::open() {
    s_.settings.applyProfileToSettings();
    type_ = attachedTypeFromInt(s_.settings.storedType());
    mode_ = Mode::Idle;
    status_ = loader_text::kNoClockData;
    statusTimeFormat_ = nullptr;
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
    bool changed = stepMode();
    changed = sent_.poll(s_.port) || changed;
    changed = refreshComputerTime() || changed;
    if (changed) notify();
}

bool LoaderController::stepMode() {
    switch (mode_) {
        case Mode::Reading:
            ++count_;
            if (count_ >= kReadTicks)
                finishRead();
            else
                status_ = format(loader_text::kReadingData, shownSecond(count_));
            return true;
        case Mode::Writing:
            ++count_;
            if (count_ >= kReadTicks)
                finishWrite();
            else
                status_ = format(loader_text::kWritingData, shownSecond(count_));
            return true;
        case Mode::Idle:
            break;
    }
    return false;
}

void LoaderController::finishWrite() {
    status_ = loader_text::kNoClockData;
    statusTimeFormat_ = nullptr;
    mode_ = Mode::Idle;
}

std::vector<LoaderController::GroupChoice> LoaderController::groups() const {
    std::vector<GroupChoice> out;
    for (const Group* g : s_.database.allGroups())
        out.push_back({g->masterGroup(), g->number(), g->name(), groupText(*g),
                       findings_.count(g->masterGroup(), g->number())});
    if (s_.settings.sortGroupsByText())
        std::stable_sort(out.begin(), out.end(), [](const GroupChoice& a, const GroupChoice& b) {
            return a.text < b.text;
        });
    return out;
}

bool LoaderController::selectGroup(int masterGroup, int group) {
    if (s_.database.findGroup(masterGroup, group) == nullptr) return false;
    if (masterGroup != masterGroup_ || group != group_) clearMatch();
    masterGroup_ = masterGroup;
    group_ = group;
    notify();
    return true;
}

void LoaderController::clearSelection() {
    masterGroup_ = 0;
    group_ = 0;
    clearMatch();
    notify();
}

std::optional<LoaderController::GroupChoice> LoaderController::selectedGroup() const {
    const Group* g = group();
    if (g == nullptr) return std::nullopt;
    return GroupChoice{g->masterGroup(), g->number(), g->name(), groupText(*g)};
}

std::string LoaderController::groupText(const Group& g) const {
    if (!hasMasterGroups()) return g.listText();
    return format(loader_text::kGroupOfMasterGroup, g.listText().c_str(), g.masterGroup());
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

std::string LoaderController::busyReason() const {
    if (mode_ == Mode::Reading) return loader_text::kBusyReading;
    if (mode_ == Mode::Writing) return loader_text::kBusyWriting;
    // Anything sent now would queue behind bytes the port has not taken: a read would be
    // answered late, a time would be stale when it arrives.
    if (sent_.waiting())
        return format(loader_text::kBusySending, static_cast<int>(sent_.bytesWaiting()));
    return {};
}

bool LoaderController::readyToSend() {
    std::string reason = busyReason();
    if (reason.empty()) return true;
    view_.showWarning(reason, kLoaderCaption);
    notify();
    return false;
}

bool LoaderController::read() {
    if (!readyToSend()) return false;
    Group* g = groupForButton();
    if (g == nullptr) return false;
    const std::time_t requested = s_.clock.now();
    if (!send(messages_.readRequest(type_, *g, hasMasterGroups()))) return false;
    clearReadBack();
    sent_.clear();
    // The switch reads its clock as the request reaches it, a few milliseconds after it left;
    // the reply is taken only seven seconds later.
    lastRead_.readTime = requested;
    mode_ = Mode::Reading;
    count_ = 0;
    notify();
    return true;
}

bool LoaderController::write() {
    if (!readyToSend()) return false;
    Group* g = groupForButton();
    if (g == nullptr) return false;
    if (findings_.count(g->masterGroup(), g->number()) > 0 &&
        !view_.askYesNo(findings_.writeQuestion(g->masterGroup(), g->number(), groupText(*g)),
                        kLoaderCaption)) {
        status_ = format(loader_text::kWriteNotSentForFindings, groupText(*g).c_str());
        statusTimeFormat_ = nullptr;
        notify();
        return false;
    }
    LoaderBytes program = messages_.program(type_, *g, hasMasterGroups());
    if (!send(program.bytes)) return false;
    const std::string name = groupText(*g);
    const std::string sentLine =
        usesPagedCommands(type_)
            ? format(loader_text::kProgramSent, name.c_str(), program.timeText.c_str(),
                     messages_.everyoneText(type_, hasMasterGroups()).c_str())
            : format(loader_text::kProgramImageSent, name.c_str(), program.timeText.c_str());
    sent_.start(s_.port, format(loader_text::kProgramForGroup, name.c_str()), sentLine);
    mode_ = Mode::Writing;
    count_ = kWriteStartCount;
    status_ = loader_text::kWritingStart;
    statusTimeFormat_ = nullptr;
    notify();
    return true;
}

bool LoaderController::manual(bool relayOn) {
    if (!readyToSend()) return false;
    Group* g = groupForButton();
    if (g == nullptr) return false;
    if (!send(messages_.manual(type_, *g, relayOn, hasMasterGroups()))) return false;
    const std::string name = groupText(*g);
    const char* onOff = relayOn ? "ON" : "OFF";
    sent_.start(
        s_.port, format(loader_text::kManualForGroup, onOff, name.c_str()),
        format(relayOn ? loader_text::kManualOnSent : loader_text::kManualOffSent, name.c_str()));
    forgetRelayLine(relayOn);
    notify();
    return true;
}

bool LoaderController::sendTime() {
    if (!readyToSend()) return false;
    LoaderBytes time = messages_.time(type_, hasMasterGroups());
    if (!send(time.bytes)) return false;
    const std::string everyone = messages_.everyoneText(type_, hasMasterGroups());
    sent_.start(s_.port,
                format(loader_text::kTimeForEveryone, time.timeText.c_str(), everyone.c_str()),
                format(loader_text::kTimeSent, time.timeText.c_str(), everyone.c_str()));
    notify();
    return true;
}

std::string LoaderController::sentLine() const {
    // A write says what went out when its count is over, not while it runs.
    return mode_ == Mode::Writing ? std::string() : sent_.line();
}

void LoaderController::forgetRelayLine(bool relayOn) {
    if (!relayLine_ || *relayLine_ >= description_.size()) return;
    description_[*relayLine_] = format(loader_text::kRelayAfterManual, relayOn ? "ON" : "OFF");
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
    std::unique_ptr<Qn510Image> image = s_.readBack.decodeQn510(reply, lastRead_.readTime);
    if (!image) {
        status_ = format(loader_text::kQn510ReadFailed, computerTime().c_str());
        return;
    }
    showComputerTime(loader_text::kQn510Computer);
    lastRead_.clock = qn510ClockReport(*image, lastRead_.readTime);
    description_ = image->describeProgram();
    relayLine_ = indexOf(description_, image->describeRelay());
    lastRead_.valid = true;
    if (g != nullptr) judge(s_.readBack.qn510Matches(*image, *g), *g);
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
    showComputerTime(loader_text::kImageComputer);
    lastRead_.clock = imageClockReport(image, lastRead_.readTime);
    description_ = image.describeProgram();
    relayLine_ = indexOf(description_, image.describeRelay());
    lastRead_.valid = true;
    if (g != nullptr) judge(s_.readBack.programImageMatches(image, *g), *g);
}

void LoaderController::judge(bool programMatches, Group& g) {
    if (!programMatches)
        lastRead_.match = Match::Differs;
    else
        lastRead_.match = lastRead_.clock.wrong ? Match::ClockWrong : Match::Matches;
    lastRead_.comparedWith = groupText(g);
}

std::string LoaderController::matchText() const {
    const char* verdict = nullptr;
    switch (lastRead_.match) {
        case Match::None:
            return {};
        case Match::Matches:
            verdict = loader_text::kProgramMatches;
            break;
        case Match::ClockWrong:
            verdict = loader_text::kProgramMatchesClockWrong;
            break;
        case Match::Differs:
            verdict = lastRead_.clock.wrong ? loader_text::kProgramDiffersClockWrong
                                            : loader_text::kProgramDiffers;
            break;
    }
    return verdict + format(loader_text::kComparedWith, lastRead_.comparedWith.c_str());
}

void LoaderController::clearReadBack() {
    description_.clear();
    relayLine_.reset();
    lastRead_ = ReadResult{};
}

void LoaderController::clearMatch() {
    lastRead_.match = Match::None;
    lastRead_.comparedWith.clear();
}

void LoaderController::showComputerTime(const char* timeFormat) {
    statusTimeFormat_ = timeFormat;
    status_ = format(timeFormat, computerTime().c_str());
}

bool LoaderController::refreshComputerTime() {
    if (statusTimeFormat_ == nullptr || mode_ != Mode::Idle) return false;
    std::string now = format(statusTimeFormat_, computerTime().c_str());
    if (now == status_) return false;
    status_ = std::move(now);
    return true;
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
