#include "testing/TestKind.h"

#include "platform/Clock.h"
#include "testing/Test2460.h"
#include "testing/TestAp36.h"
#include "testing/TestDateFlip.h"
#include "testing/TestDst.h"
#include "testing/TestDwp.h"
#include "testing/TestStep16.h"

namespace quirn {

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
