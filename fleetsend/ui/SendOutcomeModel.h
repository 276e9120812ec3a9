#pragma once
#include <QAbstractTableModel>
#include <vector>

#include "fleetsend/SendItem.h"

namespace quirn {

// The items of a send as a table: what each is, its link, where it stands, its bytes and why
// it was given up or not sent. The view asks only for the cells it shows, so a send to the
// largest fleet costs no more to show than a small one.
class SendOutcomeModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Name, Link, Status, Bytes, Reason, ColumnCount };

    // `items` is the send's own list (FleetSend::items()); it must outlive the model.
    explicit SendOutcomeModel(const std::vector<SendItem>& items, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Call when the send may have changed its items: a new list (another plan) resets the view,
    // the same list tells it that statuses changed.
    void itemsChanged();

  private:
    const std::vector<SendItem>& items_;
    // The rows the view was last told of: the list changes under the model, so the count it
    // reports is the one it announced.
    int shown_ = 0;
};

}  // namespace quirn
