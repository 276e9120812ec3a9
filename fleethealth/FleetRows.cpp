#include "fleethealth/FleetRows.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>

#include "fleethealth/FleetRowTexts.h"
#include "ops/ErrorList.h"
#include "plans/PlanDatabase.h"

namespace quirn {

namespace {

constexpr const char* kColumnTitles[kFleetColumnCount] = {
    "Master group", "Group", "Location",     "Name",  "Model",   "Link",
    "Last read",    "State", "Clock offset", "Drift", "Program", "Open errors"};

// A location's numbers as an index into a flat table, so that joining the inputs costs one
// step per location instead of a search.
constexpr int kGroupSlots = kMaxGroup + 1;
constexpr int kLocationSlots = kMaxLocation + 1;
constexpr std::size_t kSlotCount =
    static_cast<std::size_t>(kMaxMasterGroup + 1) * kGroupSlots * kLocationSlots;
constexpr std::size_t kNoSlot = kSlotCount;
constexpr int kNoIndex = -1;

std::size_t slotOf(int masterGroup, int group, int location) {
    if (masterGroup < 0 || masterGroup > kMaxMasterGroup || group < 0 || group > kMaxGroup ||
        location < 0 || location > kMaxLocation)
        return kNoSlot;
    return (static_cast<std::size_t>(masterGroup) * kGroupSlots + group) * kLocationSlots +
           location;
}

bool containsNoCase(std::string_view haystack, std::string_view needle) {
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != haystack.end();
}

// -1, 0, 1 for unknown < any value.
template <typename T>
int compareOptional(const std::optional<T>& a, const std::optional<T>& b) {
    if (!a || !b) return static_cast<int>(a.has_value()) - static_cast<int>(b.has_value());
    return *a < *b ? -1 : (*b < *a ? 1 : 0);
}

template <typename T>
int compareValues(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::optional<double> offsetSize(const FleetRow& r) {
    if (!r.clockOffsetSeconds) return std::nullopt;
    return std::fabs(*r.clockOffsetSeconds);
}

int compareBy(FleetColumn column, const FleetRow& a, const FleetRow& b) {
    switch (column) {
        case FleetColumn::MasterGroup:
            return compareValues(a.masterGroup, b.masterGroup);
        case FleetColumn::Group:
            return compareValues(a.group, b.group);
        case FleetColumn::Location:
            return compareValues(a.location, b.location);
        case FleetColumn::Name:
            return a.name.compare(b.name);
        case FleetColumn::Model:
            return compareValues(a.model, b.model);
        case FleetColumn::Link:
            return a.connection.compare(b.connection);
        case FleetColumn::LastRead:
            return compareValues(a.lastReadTime, b.lastReadTime);
        case FleetColumn::State:
            return compareValues(static_cast<int>(a.state), static_cast<int>(b.state));
        case FleetColumn::ClockOffset:
            return compareOptional(offsetSize(a), offsetSize(b));
        case FleetColumn::Drift:
            return compareOptional(a.driftSecondsPerDay, b.driftSecondsPerDay);
        case FleetColumn::Program:
            return compareValues(static_cast<int>(a.program), static_cast<int>(b.program));
        case FleetColumn::OpenErrors:
            return compareValues(a.openErrors, b.openErrors);
    }
    return 0;
}

bool broughtData(ReadState s) {
    return s == ReadState::ValidatePassed || s == ReadState::ValidateFailed ||
           s == ReadState::PartialData;
}

// What the history adds to a row: its latest read when that is later than the snapshot's, the
// clock offset of the last read that brought a clock back, and the drift since the last set.
void joinHealth(FleetRow& row, const LocationHealth& h) {
    const ReadRecord& latest = h.latest;
    if (latest.time > row.lastReadTime) {
        row.lastReadTime = latest.time;
        row.state = latest.state;
        row.bytesRead = latest.bytesRead;
    }
    row.lastAnswered = std::max(row.lastAnswered, h.lastAnswered);
    if (latest.hasClock)
        row.clockOffsetSeconds = static_cast<double>(latest.clockOffsetSeconds);
    else if (h.drift.count > 0 && !h.drift.last.clockSent)
        row.clockOffsetSeconds = h.drift.last.offsetSeconds;
    row.program = latest.program;
    const DriftFit fit = h.fit();
    if (fit.known) {
        row.driftSecondsPerDay = fit.secondsPerDay;
        row.drifting = fit.drifting;
        if (fit.crossesLimitAt) row.clockLimitAt = *fit.crossesLimitAt;
    }
}

}  // namespace

const char* fleetColumnTitle(FleetColumn column) {
    const int index = static_cast<int>(column);
    return index >= 0 && index < kFleetColumnCount ? kColumnTitles[index] : "";
}

FleetRow baseFleetRow(const Group& group, const Location& l) {
    FleetRow row;
    row.masterGroup = l.masterGroup;
    row.group = l.group;
    row.location = l.number;
    row.groupName = group.name();
    row.name = l.name;
    row.model = l.model;
    row.connection = l.connection;
    row.state = static_cast<ReadState>(l.readState);
    row.bytesRead = l.programBytesReceived;
    row.validateDisabled = l.validateDisabledFlag();
    row.lastReadTime = l.lastReadTime > defaultLocationReadTime() ? l.lastReadTime : 0;
    if (broughtData(row.state)) row.lastAnswered = row.lastReadTime;
    return row;
}

std::vector<LocationKey> openErrorKeys(const ErrorList& errors) {
    std::vector<LocationKey> keys;
    for (std::size_t i = 0; i < errors.size(); ++i) {
        const ErrorRecord* e = errors.at(i);
        if (!e->cleared) keys.push_back({e->masterGroup, e->group, e->location});
    }
    return keys;
}

void joinFleetHealth(std::vector<FleetRow>& rows, const std::vector<LocationHealth>& health,
                     const std::vector<LocationKey>& openErrors) {
    std::vector<int> healthAt(kSlotCount, kNoIndex);
    for (std::size_t i = 0; i < health.size(); ++i) {
        const LocationKey& k = health[i].latest.location;
        const std::size_t slot = slotOf(k.masterGroup, k.group, k.location);
        if (slot != kNoSlot) healthAt[slot] = static_cast<int>(i);
    }
    std::vector<int> errorsAt(openErrors.empty() ? 0 : kSlotCount, 0);
    for (const LocationKey& k : openErrors) {
        const std::size_t slot = slotOf(k.masterGroup, k.group, k.location);
        if (slot != kNoSlot) ++errorsAt[slot];
    }
    for (FleetRow& row : rows) {
        const std::size_t slot = slotOf(row.masterGroup, row.group, row.location);
        if (slot == kNoSlot) continue;
        if (healthAt[slot] != kNoIndex)
            joinHealth(row, health[static_cast<std::size_t>(healthAt[slot])]);
        if (!errorsAt.empty()) row.openErrors = errorsAt[slot];
    }
}

void FleetRows::build(const PlanDatabase& db, const std::vector<LocationHealth>& health,
                      const ErrorList* errors, std::time_t now) {
    std::vector<FleetRow> rows;
    rows.reserve(db.locationCount());
    for (const auto& m : db.masterGroups())
        for (const auto& g : m->groups())
            for (const auto& l : g->locations()) rows.push_back(baseFleetRow(*g, *l));
    joinFleetHealth(rows, health, errors ? openErrorKeys(*errors) : std::vector<LocationKey>{});
    setRows(std::move(rows), now);
}

void FleetRows::setRows(std::vector<FleetRow> rows, std::time_t now) {
    rows_ = std::move(rows);
    now_ = now;
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    if (sortColumn_ != FleetColumn::MasterGroup || !ascending_)
        sort(sortColumn_, ascending_);
    else
        refilter();
}

void FleetRows::sort(FleetColumn column, bool ascending) {
    sortColumn_ = column;
    ascending_ = ascending;
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
        const int c = compareBy(column, rows_[a], rows_[b]);
        return ascending ? c < 0 : c > 0;
    });
    refilter();
}

void FleetRows::setFilter(FleetFilter filter) {
    filter_ = filter;
    refilter();
}

void FleetRows::refilter() {
    visible_.clear();
    visible_.reserve(order_.size());
    for (std::size_t i : order_)
        if (fleetFilterAccepts(filter_, rows_[i], now_)) visible_.push_back(i);
}

std::size_t FleetRows::countOf(FleetFilter filter) const {
    return static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(),
                      [&](const FleetRow& r) { return fleetFilterAccepts(filter, r, now_); }));
}

std::optional<std::size_t> FleetRows::find(std::string_view text,
                                           std::optional<std::size_t> after) const {
    const std::size_t n = visible_.size();
    if (n == 0 || text.empty()) return std::nullopt;
    const std::size_t start = after && *after < n ? *after + 1 : 0;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = (start + k) % n;
        if (containsNoCase(rows_[visible_[i]].name, text)) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> FleetRows::visibleIndexOf(int masterGroup, int group,
                                                     int location) const {
    for (std::size_t i = 0; i < visible_.size(); ++i) {
        const FleetRow& r = rows_[visible_[i]];
        if (r.masterGroup == masterGroup && r.group == group && r.location == location) return i;
    }
    return std::nullopt;
}

}  // namespace quirn
