#include <gtest/gtest.h>

#include "ops/ErrorKinds.h"
#include "ops/PlanLocationNames.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"

namespace quirn {
namespace {

TEST(PlanLocationNames, ValidateMailNamesTheLocationUntilItLeavesTheDatabase) {
    PlanDatabase database;
    Location elm(2, 14, 7);
    elm.name = "Elm School";
    database.addLocation(elm);
    PlanLocationNames names(database);

    EXPECT_EQ(names.locationName(2, 14, 7), std::optional<std::string>("Elm School"));
    EXPECT_EQ(names.locationName(2, 14, 8), std::nullopt);
    EXPECT_EQ(names.locationName(1, 14, 7), std::nullopt);

    const std::time_t t = fromLocal(2026, 3, 2, 6, 40, 0);
    EXPECT_EQ(ErrorValidateLocation(t, 2, 14, 7, "x").mailText(names),
              "Quirn Reports Elm School,7 Validate Failed at 06:40 Monday, March 02, 2026.");
    EXPECT_EQ(ErrorValidateLocation(t, 2, 15, 7, "x").mailText(names),
              "at 06:40 Monday, March 02, 2026.");
}

}  // namespace
}  // namespace quirn
