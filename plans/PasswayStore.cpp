#include "plans/PasswayStore.h"

#include <array>
#include <cstring>

#include "plans/CsvText.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

constexpr size_t kActivationRecordSize = 20;
constexpr size_t kStriderRecordSize = 16;
constexpr const char* kLogHeader =
    "Group Name, Location Name, Master Group, Group, Location, Commo, Year, Month, Date, Hour, "
    "Minute, Second";

void putInt32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}

uint32_t getUint32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t getInt32(const unsigned char* p) {
    return static_cast<int32_t>(getUint32(p));
}

// 23:59:59 of the last day of the month `back` months before the month of now.
std::time_t endOfMonthBefore(std::time_t now, int back) {
    LocalDateTime t = toLocal(now);
    // Day 0 of month m+1-back is the last day of month m-back.
    return fromLocal(t.year, t.month - back + 1, 0, 23, 59, 59);
}

}  // namespace

std::string PasswayStore::monthlyLogName(std::time_t t) const {
    return folder_.logs() + "Passway_Log_" + formatLocal("%B_%Y.csv", t);
}

std::string PasswayStore::fileBytes(const PlanDatabase& db) const {
    std::string out;
    putInt32(out, static_cast<uint32_t>(activations_.size()));
    for (const auto& a : activations_) {
        putInt32(out, static_cast<uint32_t>(a.masterGroup));
        putInt32(out, static_cast<uint32_t>(a.group));
        putInt32(out, static_cast<uint32_t>(a.location));
        putInt32(out, static_cast<uint32_t>(a.side));
        putInt32(out, static_cast<uint32_t>(a.time));
    }
    std::string striders;
    uint32_t striderCount = 0;
    db.visitLocations([&](const Location& l) {
        if (!l.isModel(TimeSwitchModel::Strider)) return;
        ++striderCount;
        putInt32(striders, static_cast<uint32_t>(l.masterGroup));
        putInt32(striders, static_cast<uint32_t>(l.group));
        putInt32(striders, static_cast<uint32_t>(l.number));
        putInt32(striders, static_cast<uint32_t>(l.confirmedStriderTimeCode()));
    });
    putInt32(out, striderCount);
    return out + striders;
}

bool PasswayStore::applyFileBytes(PlanDatabase& db, const std::string& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size(), pos = 0;
    auto remaining = [&] { return size - pos; };
    if (remaining() < 4) return false;
    int32_t count = getInt32(p);
    pos = 4;
    activations_.clear();
    for (int32_t i = 0; i < count; ++i) {
        if (remaining() < kActivationRecordSize) return false;
        const unsigned char* r = p + pos;
        activations_.push_back(
            {getInt32(r), getInt32(r + 4), getInt32(r + 8), getInt32(r + 12), getUint32(r + 16)});
        pos += kActivationRecordSize;
    }
    if (remaining() < 4) return false;
    int32_t striders = getInt32(p + pos);
    pos += 4;
    for (int32_t i = 0; i < striders; ++i) {
        if (remaining() < kStriderRecordSize) return false;
        const unsigned char* r = p + pos;
        if (Location* l = db.findLocation(getInt32(r), getInt32(r + 4), getInt32(r + 8)))
            l->setConfirmedStriderTimeCode(getInt32(r + 12));
        pos += kStriderRecordSize;
    }
    return true;
}

bool PasswayStore::load(PlanDatabase& db) {
    auto bytes = unreadableFiles_.loadIfPresent(passwayFileName(folder_));
    return bytes && applyFileBytes(db, *bytes);
}

bool PasswayStore::save(const PlanDatabase& db, std::time_t now) {
    // Without the activations of an unreadable file the monthly logs would lose them too.
    if (unreadableFiles_.contains(passwayFileName(folder_))) return false;
    const std::time_t oldestEnd = endOfMonthBefore(now, 2);
    const std::time_t previousEnd = endOfMonthBefore(now, 1);
    const std::array<std::string, 3> names = {monthlyLogName(now), monthlyLogName(previousEnd),
                                              monthlyLogName(oldestEnd)};
    std::array<CrLfWriter, 3> logs;  // current, previous, oldest
    for (auto& log : logs) log.text(kLogHeader).endLine();
    std::vector<PasswayActivation> kept;
    for (const auto& a : activations_) {
        int file = a.time < oldestEnd ? 2 : a.time < previousEnd ? 1 : 0;
        if (file != 2) kept.push_back(a);
        const Group* g = db.findGroup(a.masterGroup, a.group);
        const Location* l = g ? g->findLocation(a.location) : nullptr;
        if (!l) continue;
        LocalDateTime t = toLocal(a.time);
        logs[file]
            .text(csvText(g->name()))
            .comma()
            .text(csvText(l->name))
            .line("", a.masterGroup, a.group, a.location, a.side, t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    }
    for (size_t i = 0; i < logs.size(); ++i)
        if (!appendToFile(names[i], logs[i].str())) return false;
    activations_ = std::move(kept);
    return unreadableFiles_.replace(passwayFileName(folder_), fileBytes(db));
}

}  // namespace quirn
