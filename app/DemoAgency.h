#pragma once
#include <ctime>
#include <string>

namespace quirn {

class PlanDatabase;

// The demo's fictional agency, "Demo Township": two master groups of school-zone and crossing
// groups with locations of all four models, named day plans, default and special weeks,
// annual and vacation plans, a summer school plan, an override plan and three technicians.
// Master group 1, group 99 is "MOXBYRD", the testing group. Dated plans start from `today`.
struct DemoAgency {
    // Where the demo's simulated time switches are: the QN510 at 1,1,1 is reached by radio,
    // the MX40 at 1,2,1 over WiFi at this address.
    static constexpr const char* kWifiAddress = "127.0.0.5";
    static constexpr const char* kCityName = "Demo Township";

    // The agency's groups, locations and plans.
    static void build(PlanDatabase& db, std::time_t today);
    // The texts of the files beside the database.
    static std::string summerText(std::time_t today);
    static std::string overrideText();
    static std::string techniciansText();
    static std::string settingsText();
};

}  // namespace quirn
