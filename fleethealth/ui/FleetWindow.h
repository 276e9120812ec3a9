#pragma once
#include <QDialog>
#include <ctime>
#include <functional>

#include "fleethealth/FleetRows.h"
#include "fleethealth/OffsetHistory.h"
#include "fleethealth/ui/FleetWindowAttach.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace quirn {

class FleetTableModel;
class OffsetChartWidget;

// The whole fleet, one row per location: how each was last read, its clock and its drift,
// filtered to the questions a technician asks ("wrong clock", "program differs", "not read for
// 7 days", "drifting"), sorted by any column, searched by name; below, the clock offset chart of
// the location picked.
class FleetWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit FleetWindow(FleetWindowServices services, QWidget* parent = nullptr);
    ~FleetWindow() override;

    // Reads the database and the history again.
    void refresh();
    void setFilter(FleetFilter filter);
    // Selects the next location whose name holds the text; false when none does.
    bool findNext(const QString& text);
    // Selects a location and shows its chart; false when it is not among the rows shown.
    bool pick(int masterGroup, int group, int location);
    // The locations a send from here is for: the rows picked, or every row the filter shows.
    std::vector<LocationKey> locationsToSend() const;

    const FleetRows& rows() const { return rows_; }
    QTableView* table() const { return table_; }
    OffsetChartWidget* chart() const { return chart_; }

  private:
    void showChartOfRow(int visibleRow);
    void updateFilterTexts();

    FleetWindowServices services_;
    FleetRows rows_;
    FleetTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLineEdit* find_ = nullptr;
    QLabel* summary_ = nullptr;
    OffsetChartWidget* chart_ = nullptr;
};

// Opens the fleet window (non-modal, deleted when closed).
FleetWindow* openFleetWindow(FleetWindowServices services, QWidget* parent);

}  // namespace quirn
