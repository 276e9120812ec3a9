#include "ops/ErrorList.h"

#include <algorithm>
#include <utility>

#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace quirn {

namespace {

constexpr const char* kIpNotMadePrefix = "IP address ";
constexpr const char* kIpNotMadeSuffix = " Connection not made.";

}  // namespace

ErrorList::ErrorList(const Clock& clock, WorkingFolder folder, ValidateFailureListener& listener)
    : clock_(clock), folder_(std::move(folder)), log_(folder_), listener_(listener) {}

ErrorRecord* ErrorList::findEqual(const ErrorRecord& record) const {
    for (const auto& existing : records_) {
        if (!existing->isKind(record.kind())) continue;
        bool equal = record.isKind(ErrorKind::IPConnect)
                         ? existing->text == record.text
                         : existing->isAt(record.masterGroup, record.group, record.location);
        if (equal) return existing.get();
    }
    return nullptr;
}

bool ErrorList::addError(std::unique_ptr<ErrorRecord> record) {
    if (!record) return false;
    if (ErrorRecord* existing = findEqual(*record)) {
        existing->cleared = false;
        return false;
    }
    records_.insert(records_.begin(), std::move(record));
    const ErrorRecord& added = *records_.front();
    if (added.isKind(ErrorKind::ValidateLocation)) listener_.notifyValidateFailure(added);
    if (added.isKind(ErrorKind::IPConnect))
        log_.logError(clock_, kIpNotMadePrefix + added.text + kIpNotMadeSuffix);
    return true;
}

void ErrorList::purge() {
    std::erase_if(records_, [](const auto& r) { return r->cleared; });
}

void ErrorList::clearLocation(int masterGroup, int group, int location) {
    for (auto& r : records_)
        if (r->isAt(masterGroup, group, location)) r->cleared = true;
    purge();
}

void ErrorList::clearLocation(const Location& location) {
    clearLocation(location.masterGroup, location.group, location.number);
}

void ErrorList::clearKindMatching(ErrorKind kind, std::string_view value) {
    for (auto& r : records_)
        if (r->isKind(kind) && r->text == value) r->cleared = true;
    purge();
}

void ErrorList::clearKindAt(ErrorKind kind, int masterGroup, int group, int location) {
    for (auto& r : records_)
        if (r->isKind(kind) && r->isAt(masterGroup, group, location)) r->cleared = true;
    purge();
}

void ErrorList::recordIpConnectFailure(const std::string& address) {
    addError(std::make_unique<ErrorIPConnect>(clock_.now(), address));
}

void ErrorList::recordIpAnswered(std::string_view address) {
    clearKindMatching(ErrorKind::IPConnect, address);
}

void ErrorList::recordPasswayConfirmation(int masterGroup, int group, int location,
                                          bool errorFlag) {
    if (errorFlag)
        addError(std::make_unique<ErrorPWConfirm>(clock_.now(), masterGroup, group, location));
    else
        clearKindAt(ErrorKind::PWConfirm, masterGroup, group, location);
}

void ErrorList::load() {
    const std::string text =
        unreadableFiles_.loadText(folder_.file(kFileName)).value_or(std::string());
    loadText(text);
}

void ErrorList::loadText(std::string_view text) {
    records_.clear();
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line))
        if (auto record = parseErrorLine(line)) addError(std::move(record));
    // The file holds the newest first and each record went to the head of the list: turned
    // back, the list keeps its order across a restart instead of flipping at every start.
    std::reverse(records_.begin(), records_.end());
}

std::string ErrorList::fileText() const {
    CrLfWriter out;
    for (const auto& r : records_) r->writeCsv(out);
    return out.take();
}

bool ErrorList::save() const {
    return unreadableFiles_.replace(folder_.file(kFileName), fileText());
}

const ErrorRecord* ErrorList::at(std::size_t index) const {
    return index < records_.size() ? records_[index].get() : nullptr;
}

std::size_t ErrorList::countOfKind(ErrorKind kind) const {
    return static_cast<std::size_t>(std::count_if(
        records_.begin(), records_.end(), [kind](const auto& r) { return r->isKind(kind); }));
}

}  // namespace quirn
