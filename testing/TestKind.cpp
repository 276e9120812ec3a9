#include "testing/TestKind.h"

#include "platform/Clock.h"
#include "testing/Test2460.h"
#include "testing/TestAp36.h"
#include "testing/TestDateFlip.h"
#include "testing/TestDst.h"
#include "testing/TestDwp.h"
#include "testing/TestStep16.h"

namespace quirn {

namespace {

constexpr int kMinutesPerHour = 60;
constexpr int kMinutesPerDay = 24 * kMinutesPerHour;

constexpr const char* kNoDatedClock = "reports its clock without date or seconds";
// Step 16 and AP36 choose each day plan by an annual plan on a date weeks ahead.
constexpr const char* kNoAnnualPlans = "holds no annual plans and its clock no date";

// In the order of the enumeration; the minutes are those each start text announces.
constexpr std::array<TestKindInfo, 6> kKinds{{
    {TestKind::DateFlip, "TestDateFlip", "Date Flip", 5 * kMinutesPerHour, false, kNoDatedClock},
    {TestKind::Step16, "TestStep16", "Step 16", 3 * kMinutesPerHour, true, kNoAnnualPlans},
    {TestKind::Ap36, "TestAP36", "AP36", 40, true, kNoAnnualPlans},
    {TestKind::Dwp, "TestDWP", "DWP", 50, true, nullptr},
    {TestKind::Step2460, "Test2460", "Step 2460", Test2460::kExpectedMinutes, true, nullptr},
    {TestKind::Dst, "TestDST", "DST", 21 * kMinutesPerHour, false, kNoDatedClock},
}};

std::string counted(int n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

}  // namespace

const TestKindInfo& testKindInfo(TestKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

bool suitsSwitch(TestKind kind, bool imageModel) {
    return imageModel || testKindInfo(kind).pagedSwitchLacks == nullptr;
}

std::string durationText(int minutes) {
    const int hours = minutes / kMinutesPerHour;
    const int rest = minutes % kMinutesPerHour;
    std::string text;
    if (hours > 0) text = counted(hours, "hour");
    if (rest > 0 || hours == 0) text += (text.empty() ? "" : " ") + counted(rest, "minute");
    if (minutes > kMinutesPerDay) text += " (over a day)";
    return text;
}

std::unique_ptr<TimeTest> makeTimeTest(TestKind kind, const TimeTestServices& services,
                                       const TestChoices& choices) {
    switch (kind) {
        case TestKind::DateFlip:
            return std::make_unique<TestDateFlip>(services, choices.dateFlipStart);
        case TestKind::Step16:
            return std::make_unique<TestStep16>(services);
        case TestKind::Ap36:
            return std::make_unique<TestAp36>(services);
        case TestKind::Dwp:
            return std::make_unique<TestDwp>(services);
        case TestKind::Step2460:
            return std::make_unique<Test2460>(services);
        case TestKind::Dst:
            return std::make_unique<TestDst>(services, TestDst::changesFrom(services.clock.now()));
    }
    return nullptr;
}

}  // namespace quirn
