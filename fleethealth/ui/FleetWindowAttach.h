#pragma once

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
};

// Makes the loader's "Fleet…" button open the fleet window (non-modal, deleted when closed).
void attachFleetWindow(LoaderWindow& loader, FleetWindowServices services);

}  // namespace quirn
