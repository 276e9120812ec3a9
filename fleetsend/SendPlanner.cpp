#include "fleetsend/SendPlanner.h"

#include "fleetsend/SendLedger.h"
#include "plans/PlanDatabase.h"
#include "protocol/MessageFrame.h"
#include "protocol/PlanDownload.h"

namespace quirn {

namespace {
std::string locationName(const Location& l) {
    return l.name + " (" + std::to_string(l.masterGroup) + ", " + std::to_string(l.group) + ", " +
           std::to_string(l.number) + ")";
}

SendLink linkOf(const Location& l) {
    if (l.connection == kRadioAddress) return SendLink::Radio;
    if (l.connection == kM2MAddress) return SendLink::M2M;
    return SendLink::WiFi;
}

bool pagedByGroup(const Location& l) {
    return l.isModel(TimeSwitchModel::QN510) && l.connection == kRadioAddress;
}
}  // namespace

SendPlanner::SendPlanner(PlanDatabase& database, PlanDownload& download, const SendLedger& ledger,
                         SendSelection selection)
    : database_(database), download_(download), ledger_(ledger), selection_(std::move(selection)) {
    // No location makes more than one item. Room for them all is taken now: growing the list
    // later would move every item made so far within one slice (some 25 ms at the largest
    // fleet), and room not written to costs no memory.
    items_.reserve(database_.locationCount());
}

std::string SendPlanner::groupPagesOf(PlanDownload& download, int masterGroup, int group) {
    std::string buffer(kMessageBufferSize, '\0');
    buffer.resize(download.groupProgram(masterGroup, group, buffer.data(), buffer.size()));
    return buffer;
}

std::string SendPlanner::programmingOf(PlanDownload& download, const Location& location) {
    std::string buffer(kMessageBufferSize, '\0');
    buffer.resize(download.locationProgram(location, buffer.data(), buffer.size()));
    return buffer;
}

bool SendPlanner::step(std::size_t limit) {
    const auto& masters = database_.masterGroups();
    std::size_t looked = 0;
    while (!done_ && looked < limit) {
        if (master_ >= masters.size()) {
            done_ = true;
            break;
        }
        const MasterGroup& m = *masters[master_];
        if (group_ >= m.groups().size()) {
            ++master_;
            group_ = location_ = 0;
            ++looked;
            continue;
        }
        Group& g = *m.groups()[group_];
        planGroup(g, looked, limit);
    }
    return done_;
}

void SendPlanner::planGroup(Group& g, std::size_t& looked, std::size_t limit) {
    if (location_ == 0) {
        groupSize_.clear();
        pages_ = SendItem{};
        pages_.kind = SendItem::Kind::GroupPages;
        pages_.key = {g.masterGroup(), g.number(), 0};
        pages_.address = kRadioAddress;
        pages_.name = "group " + std::to_string(g.number()) + " of master group " +
                      std::to_string(g.masterGroup());
    }
    if (selection_.mayIncludeGroup(g.masterGroup(), g.number())) {
        const auto& locations = g.locations();
        while (location_ < locations.size() && looked < limit) {
            const Location& l = *locations[location_++];
            ++looked;
            if (!selection_.includes(l, ledger_)) continue;
            if (pagedByGroup(l))
                pages_.locations.push_back(l.number);
            else
                addLocation(l);
        }
        if (location_ < locations.size()) return;  // the rest of the group at the next step
    } else {
        ++looked;
    }
    finishGroupPages();
    ++group_;
    location_ = 0;
}

void SendPlanner::finishGroupPages() {
    if (pages_.locations.empty()) return;
    pages_.bytes = groupPagesOf(download_, pages_.key.masterGroup, pages_.key.group).size();
    if (pages_.bytes == 0) {
        pages_.status = SendItem::Status::GivenUp;
        pages_.reason = "the group has no programming to page";
    }
    push(std::move(pages_));
    pages_ = SendItem{};
}

void SendPlanner::addLocation(const Location& l) {
    SendItem item;
    item.key = {l.masterGroup, l.group, l.number};
    item.link = linkOf(l);
    item.address = l.connection;
    item.name = locationName(l);
    item.bytes = sizeOf(l);
    if (item.bytes == 0) {
        item.status = SendItem::Status::GivenUp;
        item.reason = "no programming could be built for it";
    }
    push(std::move(item));
}

std::size_t SendPlanner::sizeOf(const Location& l) {
    if (isImageModel(l.model)) {
        auto it = imageSize_.find(l.model);
        if (it == imageSize_.end())
            it = imageSize_.emplace(l.model, programmingOf(download_, l).size()).first;
        return it->second;
    }
    auto it = groupSize_.find(l.model);
    if (it == groupSize_.end())
        it = groupSize_.emplace(l.model, programmingOf(download_, l).size()).first;
    return it->second;
}

void SendPlanner::push(SendItem item) {
    estimate_.add(item);
    items_.push_back(std::move(item));
}

}  // namespace quirn
