#pragma once
#include <functional>
#include <vector>

#include "plans/LocationKey.h"

class QWidget;

namespace quirn {

class Clock;
class ErrorList;
class FleetHistorySource;
class LoaderWindow;
class PlanDatabase;

// What the fleet window reads: the station's records, its error list, its clock and the read
// history (null: the rows show the snapshot's reads only and the chart stays empty).
struct FleetWindowServices {
    const PlanDatabase& db;
    const ErrorList* errors;
    const Clock& clock;
    const FleetHistorySource* history;
    // "Send programming…": opens the station's send over `parent` for these locations (the
    // rows picked, or every row the filter shows). Empty: the window has no such button.
    std::function<void(QWidget* parent, std::vector<LocationKey> locations)> sendProgramming = {};
};

// Makes the loader's "Fleet…" button open the fleet window (non-modal, deleted when closed).
void attachFleetWindow(LoaderWindow& loader, FleetWindowServices services);

}  // namespace quirn
