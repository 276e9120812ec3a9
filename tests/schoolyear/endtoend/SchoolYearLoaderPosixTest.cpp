#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "comms/CommoHandler.h"
#include "loader/LoaderController.h"
#include "platform/LocalTime.h"
#include "sim/PtyTransport.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/loader/PtyLoaderFixture.h"
#include "tests/schoolyear/endtoend/SchoolYearCalendar.h"
#include "tests/schoolyear/endtoend/SchoolYearImport.h"

namespace quirn::test {
namespace {

using namespace school_year;
using sim::SimModel;
using Match = LoaderController::Match;

constexpr int kSchoolLocation = 1;
// New York stays 5 hours west of UTC in standard time (the tests run with that zone).
constexpr int kHoursWest = 5;
constexpr const char* kAnnualHeading = "Annual Plan(s)";

// A school of each model, each a group of its own; the loader writes one of them.
struct School {
    const char* name;
    GroupKey key;
    TimeSwitchModel model;
};
constexpr School kSchools[] = {
    {"Alder Elementary", {1, 1}, TimeSwitchModel::QN510},
    {"Birch Middle", {1, 2}, TimeSwitchModel::MX40},
    {"Cedar High", {1, 3}, TimeSwitchModel::LR40},
    {"Dogwood Academy", {1, 4}, TimeSwitchModel::Strider},
};

// What the switch of the image models holds of the year: one entry per run of days whose plan
// differs from the week plan's (holidays and vacation days run plan 0, "Default"; weekends
// already do, so a break is cut at its weekends).
const std::vector<std::string> kImportedAnnualEntries = {
    "Plan 2 9/02/2026 to 9/02/2026",    "Default 9/07/2026 to 9/07/2026",
    "Plan 2 9/09/2026 to 9/09/2026",    "Plan 2 9/16/2026 to 9/16/2026",
    "Plan 2 9/23/2026 to 9/23/2026",    "Plan 2 10/07/2026 to 10/07/2026",
    "Plan 2 10/14/2026 to 10/14/2026",  "Plan 2 10/21/2026 to 10/21/2026",
    "Plan 2 10/28/2026 to 10/28/2026",  "Default 11/26/2026 to 11/27/2026",
    "Default 12/21/2026 to 12/25/2026", "Default 12/28/2026 to 1/01/2027",
    "Default 1/04/2027 to 1/04/2027",   "Default 1/18/2027 to 1/18/2027",
    "Default 2/15/2027 to 2/15/2027",   "Default 3/22/2027 to 3/26/2027",
    "Plan 2 5/27/2027 to 5/27/2027",
};

struct ModelCase {
    const char* name;
    AttachedType type;
    SimModel model;
    int school;  // index into kSchools
    // When the loader writes: an image model takes the whole year from the import's spring day;
    // a paged model holds one week, so it is written on the Monday of Thanksgiving week.
    std::time_t writeTime;
    CalendarDate changedDay;  // an imported day the database then changes
    bool decodesAnnualPlans;
};

void PrintTo(const ModelCase& c, std::ostream* os) {
    *os << c.name;
}

const std::time_t kThanksgivingMonday = fromLocal(2026, 11, 23, 9, 15, 0);

// The import of the district's year for every school, done through the Plans window's editor on
// the station's plan records, then the loader on the station's serial device code over a
// pseudo-terminal to a simulated time switch of the case's model.
class SchoolYearLoader : public PtyLoaderFixture, public ::testing::WithParamInterface<ModelCase> {
  protected:
    void SetUp() override {
        PtyLoaderFixture::SetUp();
        std::vector<GroupKey> keys;
        for (const School& s : kSchools) {
            const EditOutcome made = addSchoolGroup(station.editor, s.key, s.name, s.model);
            ASSERT_TRUE(made) << made.refusal;
            keys.push_back(s.key);
        }
        ASSERT_TRUE(writeFile(folder.file("district-2026-27.ics"), districtIcs()));
        ASSERT_TRUE(writeFile(folder.file("district.map"), mappingText()));
        const ImportRun run =
            importSchoolYear(station.editor, db, folder.file("district-2026-27.ics"),
                             folder.file("district.map"), keys, clock.now());
        ASSERT_EQ(run.error, "");
        ASSERT_TRUE(run.applied) << run.applied.refusal;
    }

    void attach(SimModel model, GroupKey key) {
        sim::SimSettings s;
        s.model = model;
        s.address = {key.masterGroup, key.group, kSchoolLocation};
        s.zone = sim::ZoneRule::northAmerican(kHoursWest);
        device = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
        transport = std::make_unique<sim::PtyTransport>(*pty, *device, clock, nullptr);
    }
    std::unique_ptr<LoaderController> makeLoader(AttachedType type, GroupKey key) {
        profile.writeInt("Clock", "Type", static_cast<int>(type));
        auto loader = std::make_unique<LoaderController>(services(), view);
        loader->open();
        EXPECT_EQ(loader->type(), type);
        EXPECT_TRUE(loader->selectGroup(key.masterGroup, key.group));
        return loader;
    }
    // The annual list of the loader's description of what it read.
    static std::vector<std::string> annualEntries(const LoaderController& loader) {
        const auto& d = loader.description();
        auto at = std::find(d.begin(), d.end(), kAnnualHeading);
        if (at == d.end()) return {};
        return {at + 1, d.end()};
    }

    StationEditor station{db, clock, working};
};

TEST_P(SchoolYearLoader, TheWrittenSwitchMatchesTheImportedYearAndDiffersOnceADayChanges) {
    const ModelCase& c = GetParam();
    const School& school = kSchools[c.school];
    clock.set(c.writeTime);
    attach(c.model, school.key);
    auto loader = makeLoader(c.type, school.key);

    writeGroup(*loader);
    readSwitch(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();
    EXPECT_EQ(loader->match(), Match::Matches) << loader->matchText();
    if (c.decodesAnnualPlans) {
        EXPECT_EQ(annualEntries(*loader), kImportedAnnualEntries);
    }

    // The technician takes one imported day back: the switch no longer holds the group's year.
    const EditOutcome cleared = station.editor.clearAnnualPlan(school.key, dayOf(c.changedDay));
    ASSERT_TRUE(cleared) << cleared.refusal;
    readSwitch(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();
    EXPECT_EQ(loader->match(), Match::Differs) << loader->matchText();

    writeGroup(*loader);
    readSwitch(*loader);
    EXPECT_EQ(loader->match(), Match::Matches) << loader->matchText();
    EXPECT_EQ(view.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Models, SchoolYearLoader,
    ::testing::Values(ModelCase{"Qn510", AttachedType::Qn510, SimModel::QN510, 0,
                                kThanksgivingMonday, kThanksgivingFriday, false},
                      ModelCase{"Mx40", AttachedType::Mx40, SimModel::MX40, 1, kLoaderStart,
                                kMlkDay, true},
                      ModelCase{"Lr40", AttachedType::Mx40WithLr40, SimModel::LR40, 2, kLoaderStart,
                                kMlkDay, true},
                      ModelCase{"Strider", AttachedType::Qn510, SimModel::Strider, 3,
                                kThanksgivingMonday, kThanksgivingFriday, false}),
    [](const ::testing::TestParamInfo<ModelCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quirn::test
