#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "loader/LoaderController.h"
#include "plans/PlanDatabase.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/loader/PortFixture.h"

namespace quirn::test {

inline constexpr int kMasterGroup = 1;
inline constexpr int kGroup = 5;
// New York stays 5 hours west of UTC in standard time (the tests run with that zone).
inline constexpr int kHoursWest = 5;

// The port fixture with a plan database holding one group (07:00 ON, 08:30 OFF on Monday to
// Friday), and a simulated time switch of the group on the scripted line when a test attaches
// one.
class LoaderFixture : public PortFixture {
  protected:
    LoaderFixture() {
        Group& g = db.group(kMasterGroup, kGroup);
        g.setName("Elm Street");
        g.addStep(Step::atTime(kMasterGroup, kGroup, 1, 7, 0, 1));
        g.addStep(Step::atTime(kMasterGroup, kGroup, 1, 8, 30, 0));
        for (int day = 2; day <= 6; ++day) g.setDefaultDay(day, 1);
        g.markProgrammingChanged();
    }

    // A time switch of the group at location 1 on the line, answering at its line rate.
    sim::SimulatedTimeSwitch& attach(sim::SimModel model, sim::SimFaults faults = {},
                                     bool rawQn510Image = false) {
        sim::SimSettings s;
        s.model = model;
        s.address = {kMasterGroup, kGroup, 1};
        s.zone = sim::ZoneRule::northAmerican(kHoursWest);
        s.faults = faults;
        s.qn510RawImage = rawQn510Image;
        attached = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
        device->script = [this](const std::string& bytes, int baud) -> std::string {
            if (baud != attached->lineRate()) return "";
            return attached->receive(bytes);
        };
        return *attached;
    }

    std::unique_ptr<sim::SimulatedTimeSwitch> attached;
};

}  // namespace quirn::test
