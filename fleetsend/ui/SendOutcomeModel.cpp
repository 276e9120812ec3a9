#include "fleetsend/ui/SendOutcomeModel.h"

namespace quirn {

namespace {
constexpr const char* kHeaders[SendOutcomeModel::ColumnCount] = {"Group or location", "Link",
                                                                 "Status", "Bytes", "Reason"};
}  // namespace

SendOutcomeModel::SendOutcomeModel(const std::vector<SendItem>& items, QObject* parent)
    : QAbstractTableModel(parent), items_(items), shown_(static_cast<int>(items.size())) {}

int SendOutcomeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int SendOutcomeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SendOutcomeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_ ||
        static_cast<std::size_t>(index.row()) >= items_.size())
        return {};
    const SendItem& item = items_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == Bytes)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case Name:
            return QString::fromStdString(item.name);
        case Link:
            return QString::fromLatin1(sendLinkName(item.link));
        case Status:
            return QString::fromLatin1(sendStatusName(item.status));
        case Bytes:
            return static_cast<qulonglong>(item.bytes);
        case Reason:
            return QString::fromStdString(item.reason);
        default:
            return {};
    }
}

QVariant SendOutcomeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromLatin1(kHeaders[section]);
}

void SendOutcomeModel::itemsChanged() {
    const int now = static_cast<int>(items_.size());
    if (now != shown_) {
        beginResetModel();
        shown_ = now;
        endResetModel();
        return;
    }
    if (shown_ > 0) emit dataChanged(index(0, Name), index(shown_ - 1, Reason));
}

}  // namespace quirn
