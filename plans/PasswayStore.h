#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "platform/UnreadableFiles.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class PlanDatabase;

// One pedestrian walk-signal activation reported by a Strider's log.
struct PasswayActivation {
    int32_t masterGroup = 1;
    int32_t group = 1;
    int32_t location = 1;
    int32_t side = 0;  // 1 "Master Side", 0 "Remote Side"
    std::time_t time = 0;
    friend bool operator==(const PasswayActivation&, const PasswayActivation&) = default;
};

// The Passway activations kept between runs ("Passway.pw2") and their monthly CSV logs.
class PasswayStore {
  public:
    // Passway.pw2 of `folder` and the monthly logs in its log folder.
    explicit PasswayStore(WorkingFolder folder) : folder_(std::move(folder)) {}

    const std::vector<PasswayActivation>& activations() const { return activations_; }
    void addActivation(const PasswayActivation& a) { activations_.push_back(a); }
    void clear() { activations_.clear(); }

    // Reads "Passway.pw2": the activations, and the confirmed Strider time codes applied to
    // the locations that exist. A missing or damaged file leaves what it could read whole.
    bool load(PlanDatabase& db);

    // Appends every activation to the monthly logs (current, previous and the month before,
    // each with its header line), drops those older than the end of the oldest month, then
    // rewrites "Passway.pw2". When any log cannot be opened nothing more is written.
    bool save(const PlanDatabase& db, std::time_t now);

    // The monthly log file of the month holding t ("<log folder>Passway_Log_December_2026.csv").
    std::string monthlyLogName(std::time_t t) const;
    // The exact bytes of "Passway.pw2" for the current activations and locations.
    std::string fileBytes(const PlanDatabase& db) const;
    // Reads file bytes as load() does.
    bool applyFileBytes(PlanDatabase& db, const std::string& bytes);

    // "Passway.pw2" when it was there but could not be read: save leaves it as it is.
    const UnreadableFiles& unreadableFiles() const { return unreadableFiles_; }

  private:
    WorkingFolder folder_;
    std::vector<PasswayActivation> activations_;
    UnreadableFiles unreadableFiles_;
};

}  // namespace quirn
