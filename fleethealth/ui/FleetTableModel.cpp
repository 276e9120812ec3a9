#include "fleethealth/ui/FleetTableModel.h"

#include <QBrush>
#include <QColor>

#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetSummary.h"

namespace quirn {

namespace {
// A row that calls for a technician is tinted; the worst kinds more strongly.
const QColor kFailingTint(255, 222, 214);
const QColor kWarningTint(255, 243, 205);

std::string cellText(const FleetRow& r, FleetColumn column) {
    switch (column) {
        case FleetColumn::MasterGroup:
            return std::to_string(r.masterGroup);
        case FleetColumn::Group:
            return std::to_string(r.group);
        case FleetColumn::Location:
            return std::to_string(r.location);
        case FleetColumn::Name:
            return r.name;
        case FleetColumn::Model:
            return fleetModelText(r);
        case FleetColumn::Link:
            return fleetLinkText(r);
        case FleetColumn::LastRead:
            return fleetLastReadText(r);
        case FleetColumn::State:
            return fleetStateText(r);
        case FleetColumn::ClockOffset:
            return fleetOffsetText(r);
        case FleetColumn::Drift:
            return fleetDriftText(r);
        case FleetColumn::Program:
            return fleetProgramText(r);
        case FleetColumn::OpenErrors:
            return r.openErrors > 0 ? std::to_string(r.openErrors) : std::string();
    }
    return {};
}

bool isNumberColumn(FleetColumn c) {
    return c == FleetColumn::MasterGroup || c == FleetColumn::Group || c == FleetColumn::Location ||
           c == FleetColumn::ClockOffset || c == FleetColumn::Drift || c == FleetColumn::OpenErrors;
}
}  // namespace

FleetTableModel::FleetTableModel(FleetRows& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

int FleetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.visibleCount());
}

int FleetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFleetColumnCount;
}

QVariant FleetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FleetRow& r = rows_.visible(static_cast<std::size_t>(index.row()));
    const auto column = static_cast<FleetColumn>(index.column());
    if (role == Qt::DisplayRole) return QString::fromStdString(cellText(r, column));
    if (role == Qt::TextAlignmentRole && isNumberColumn(column))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole) {
        const int severity = fleetSeverity(r);
        if (severity >= kFailingSeverity) return QBrush(kFailingTint);
        if (severity > 0) return QBrush(kWarningTint);
    }
    return {};
}

QVariant FleetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString::fromUtf8(fleetColumnTitle(static_cast<FleetColumn>(section)));
}

void FleetTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kFleetColumnCount) return;
    beginResetModel();
    rows_.sort(static_cast<FleetColumn>(column), order == Qt::AscendingOrder);
    endResetModel();
}

void FleetTableModel::setFilter(FleetFilter filter) {
    beginResetModel();
    rows_.setFilter(filter);
    endResetModel();
}

void FleetTableModel::rowsRebuilt() {
    beginResetModel();
    endResetModel();
}

}  // namespace quirn
