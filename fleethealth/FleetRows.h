#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

#include "fleethealth/FleetFilter.h"
#include "fleethealth/FleetRow.h"
#include "fleethealth/LocationHealth.h"

namespace quirn {

class ErrorList;
class Group;
class Location;
class PlanDatabase;

// The columns of the fleet, in the order they are shown.
enum class FleetColumn {
    MasterGroup,
    Group,
    Location,
    Name,
    Model,
    Link,
    LastRead,
    State,
    ClockOffset,
    Drift,
    Program,
    OpenErrors,
};
inline constexpr int kFleetColumnCount = 12;
const char* fleetColumnTitle(FleetColumn column);

// A location's row as the database has it (its snapshot's last read), before the history.
FleetRow baseFleetRow(const Group& group, const Location& location);
// The numbers of every open (not cleared) error record, one entry per record.
std::vector<LocationKey> openErrorKeys(const ErrorList& errors);
// Joins the history's latest of every location and the open error records into the rows: one
// pass over each, through a table indexed by the locations' numbers.
void joinFleetHealth(std::vector<FleetRow>& rows, const std::vector<LocationHealth>& health,
                     const std::vector<LocationKey>& openErrors);

// One row per location of the database, joined with what the read history knows of it and the
// open error records, then sorted, filtered and searched. Building takes one pass over the
// database and one over each input (no search per location), so the largest fleet is a
// matter of milliseconds.
class FleetRows {
  public:
    // `health` is the history's latest of every location (in any order; locations it does not
    // name were never read since history began); `errors` may be null.
    void build(const PlanDatabase& db, const std::vector<LocationHealth>& health,
               const ErrorList* errors, std::time_t now);
    // Takes rows already joined (laid out elsewhere, e.g. a slice at a time).
    void setRows(std::vector<FleetRow> rows, std::time_t now);

    // Every row, in database order.
    const std::vector<FleetRow>& all() const { return rows_; }
    // The rows shown: those the filter accepts, in the sort order.
    std::size_t visibleCount() const { return visible_.size(); }
    const FleetRow& visible(std::size_t index) const { return rows_[visible_[index]]; }

    // Sorts the shown rows by a column (numbers, times and texts by value; the clock offset by
    // its size either way; unknown values first when ascending); ties keep the database order.
    void sort(FleetColumn column, bool ascending);
    FleetColumn sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return ascending_; }

    void setFilter(FleetFilter filter);
    FleetFilter filter() const { return filter_; }
    // How many rows of the whole fleet each filter accepts.
    std::size_t countOf(FleetFilter filter) const;

    // The first shown row after `after` (or from the top) whose location name holds `text`
    // (any case), going round to the top; nothing when no shown row does.
    std::optional<std::size_t> find(std::string_view text,
                                    std::optional<std::size_t> after = std::nullopt) const;
    // The shown index of a location, or nothing when it is not shown.
    std::optional<std::size_t> visibleIndexOf(int masterGroup, int group, int location) const;

    std::time_t now() const { return now_; }

  private:
    void refilter();

    std::vector<FleetRow> rows_;
    std::vector<std::size_t> order_;    // every row, in the sort order
    std::vector<std::size_t> visible_;  // the rows of order_ the filter accepts
    FleetColumn sortColumn_ = FleetColumn::MasterGroup;
    bool ascending_ = true;
    FleetFilter filter_ = FleetFilter::All;
    std::time_t now_ = 0;
};

}  // namespace quirn
