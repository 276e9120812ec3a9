#pragma once
#include <QAbstractTableModel>

#include "fleethealth/FleetRows.h"

namespace quirn {

// The fleet rows as a table for a QTableView: the view asks only for the cells it shows, so
// the largest fleet costs no more to show than a small one. Sorting and filtering are the
// rows' own; the model tells the view when they changed.
class FleetTableModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit FleetTableModel(FleetRows& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setFilter(FleetFilter filter);
    // Call after the rows were built again.
    void rowsRebuilt();
    const FleetRows& rows() const { return rows_; }

  private:
    FleetRows& rows_;
};

}  // namespace quirn
