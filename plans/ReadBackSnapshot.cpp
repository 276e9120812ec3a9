#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/LocationReadState.h"
#include "plans/PlanDatabase.h"
#include "plans/SnapshotBuilder.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

// "Quirn Locations.bin": a little-endian int32 count, then one 1000-byte record per location.
namespace quirn {

namespace {

constexpr size_t kCountSize = 4;
constexpr size_t kRecordSize = 1000;
constexpr size_t kProgramOffset = 32;

void putInt32(std::string& out, uint32_t v) {
    char b[4] = {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff),
                 static_cast<char>((v >> 16) & 0xff), static_cast<char>((v >> 24) & 0xff)};
    out.append(b, 4);
}

uint32_t getUint32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t getInt32(const unsigned char* p) {
    return static_cast<int32_t>(getUint32(p));
}

// Program bytes are kept only for the read states that hold a whole program.
bool keepsProgram(int32_t readState) {
    return readState == static_cast<int32_t>(ReadState::ValidatePassed) ||
           readState == static_cast<int32_t>(ReadState::ValidateFailed);
}

bool isKnownModel(int model) {
    return model >= 0 && model <= 3;
}

// A QN510 or Strider location takes any record but an MX40 or LR40 one; an MX40 or LR40
// location only its own model; a location of unknown model takes anything.
bool compatible(int locationModel, int recordModel) {
    if (!isKnownModel(locationModel)) return true;
    if (!isKnownModel(recordModel)) recordModel = static_cast<int>(TimeSwitchModel::QN510);
    if (isImageModel(locationModel)) return locationModel == recordModel;
    return !isImageModel(recordModel);
}

}  // namespace

// One location's record as the builder copies it: the head, and the program bytes only when
// the record keeps them.
static void appendCopiedRecord(std::string& out, const Location& l) {
    putInt32(out, static_cast<uint32_t>(l.masterGroup));
    putInt32(out, static_cast<uint32_t>(l.group));
    putInt32(out, static_cast<uint32_t>(l.number));
    putInt32(out, static_cast<uint32_t>(l.model));
    putInt32(out, static_cast<uint32_t>(l.lastReadTime));
    putInt32(out, static_cast<uint32_t>(l.lastAttemptTime));
    putInt32(out, static_cast<uint32_t>(l.readState));
    putInt32(out, static_cast<uint32_t>(l.programBytesReceived));
    if (keepsProgram(l.readState))
        out.append(reinterpret_cast<const char*>(l.programBytes.data()), kProgramImageSize);
}

static std::size_t copiedRecordSize(const Location& l) {
    return SnapshotBuilder::kRecordHeadSize + (keepsProgram(l.readState) ? kProgramImageSize : 0);
}

std::string SnapshotCopy::fileBytes() const {
    constexpr std::size_t kReadStateOffset = 24;
    std::string out;
    out.reserve(kCountSize + records * kRecordSize);
    putInt32(out, static_cast<uint32_t>(records));
    for (const std::string& group : groups) {
        const auto* data = reinterpret_cast<const unsigned char*>(group.data());
        std::size_t at = 0;
        while (at + SnapshotBuilder::kRecordHeadSize <= group.size()) {
            out.append(group, at, SnapshotBuilder::kRecordHeadSize);
            const bool program = keepsProgram(getInt32(data + at + kReadStateOffset));
            at += SnapshotBuilder::kRecordHeadSize;
            if (program) {
                out.append(group, at, kProgramImageSize);
                at += kProgramImageSize;
            } else {
                out.append(kProgramImageSize, '\0');
            }
        }
    }
    return out;
}

void SnapshotBuilder::begin(const PlanDatabase&) {
    copy_ = SnapshotCopy{};
    nextGroup_ = 0;
    building_ = true;
}

bool SnapshotBuilder::step(const PlanDatabase& db, std::size_t locations, std::size_t bytes) {
    if (!building_) return false;
    const std::vector<Group*> groups = db.allGroups();
    const auto isLast = [&](const Group* g) {
        return g->masterGroup() == lastMasterGroup_ && g->number() == lastGroup_;
    };
    if (nextGroup_ > 0 && (nextGroup_ > groups.size() || !isLast(groups[nextGroup_ - 1]))) {
        // Groups were added in front of the place: find it again.
        auto at = std::find_if(groups.begin(), groups.end(), isLast);
        if (at == groups.end()) {
            begin(db);  // the group is gone: only a fresh start is whole
        } else {
            nextGroup_ = static_cast<std::size_t>(at - groups.begin()) + 1;
        }
    }
    std::size_t copied = 0, copiedBytes = 0;
    while (nextGroup_ < groups.size() && copied < locations && copiedBytes < bytes) {
        const Group* g = groups[nextGroup_++];
        std::size_t size = 0;
        for (const auto& l : g->locations()) size += copiedRecordSize(*l);
        std::string& records = copy_.groups.emplace_back();
        records.reserve(size);  // one allocation per group: no megabyte is copied twice
        for (const auto& l : g->locations()) appendCopiedRecord(records, *l);
        copied += g->locations().size();
        copiedBytes += size;
        copy_.records += g->locations().size();
        lastMasterGroup_ = g->masterGroup();
        lastGroup_ = g->number();
    }
    return nextGroup_ >= groups.size();
}

SnapshotCopy SnapshotBuilder::take() {
    building_ = false;
    return std::exchange(copy_, {});
}

std::string snapshotBytes(const PlanDatabase& db) {
    SnapshotBuilder builder;
    builder.begin(db);
    builder.step(db, SIZE_MAX);
    return builder.take().fileBytes();
}

bool saveSnapshot(const PlanDatabase& db, const WorkingFolder& folder) {
    return db.unreadableFiles().replace(snapshotFileName(folder), snapshotBytes(db));
}

int applySnapshotBytes(PlanDatabase& db, const std::string& bytes, const LoadHooks& hooks) {
    if (bytes.size() < kCountSize) return 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    int32_t declared = getInt32(data);
    if (declared <= 0) return 0;
    // A damaged file may claim more records than it holds: only whole records are applied.
    size_t whole = (bytes.size() - kCountSize) / kRecordSize;
    size_t count = std::min(static_cast<size_t>(declared), whole);
    int applied = 0;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* r = data + kCountSize + i * kRecordSize;
        Location* l = db.findLocation(getInt32(r), getInt32(r + 4), getInt32(r + 8));
        if (!l || !compatible(l->model, getInt32(r + 12))) continue;
        l->lastReadTime = getUint32(r + 16);
        l->lastAttemptTime = getUint32(r + 20);
        l->readState = getInt32(r + 24);
        int32_t received = getInt32(r + 28);
        l->programBytesReceived = received < 0 ? 0 : std::min<int32_t>(received, kProgramImageSize);
        // Records without a program hold zeros; a location keeps nothing for them.
        const unsigned char* program = r + kProgramOffset;
        if (std::all_of(program, program + kProgramImageSize,
                        [](unsigned char b) { return b == 0; }))
            l->programBytes.clear();
        else
            std::memcpy(l->programBytes.forOverwrite(), program, kProgramImageSize);
        if (hooks.redecode) hooks.redecode(*l);
        ++applied;
    }
    return applied;
}

int loadSnapshot(PlanDatabase& db, const WorkingFolder& folder, const LoadHooks& hooks) {
    auto bytes = db.unreadableFiles().loadIfPresent(snapshotFileName(folder));
    return bytes ? applySnapshotBytes(db, *bytes, hooks) : 0;
}

}  // namespace quirn
