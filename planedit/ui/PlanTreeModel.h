#pragma once
#include <QAbstractItemModel>
#include <optional>
#include <vector>

namespace quirn {

class Group;
class PlanDatabase;

// The agency's master groups, groups and locations as a tree, read straight from the database:
// no item is made for a location until the view asks for it, so a fleet of 98,010 locations
// opens as fast as its 990 groups. Master groups are a level of their own only when the agency
// has them. The database is only read here; after any change to its groups or locations call
// reload(), which keeps nothing that could point at a record gone.
class PlanTreeModel final : public QAbstractItemModel {
    Q_OBJECT

  public:
    enum class Kind { MasterGroup, Group, Location };
    // What a row stands for; location is 0 for a group, group and location 0 for a master group.
    struct Node {
        Kind kind = Kind::Group;
        int masterGroup = 0;
        int group = 0;
        int location = 0;
    };

    PlanTreeModel(const PlanDatabase& database, bool showMasterGroups, QObject* parent = nullptr);

    void reload();
    std::optional<Node> node(const QModelIndex& index) const;
    // The row of a record; an invalid index when the tree does not hold it.
    QModelIndex indexOf(int masterGroup, int group, int location = 0) const;
    bool showsMasterGroups() const { return showMasterGroups_; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    // One master group and its groups, ascending; without master groups one branch holds all.
    struct Branch {
        int masterGroup = 0;
        std::vector<const Group*> groups;
    };
    // Where an index sits: which branch, which group of it (or none), which level.
    struct Place {
        Kind kind;
        int branch;
        int groupRow;  // -1 for a master group row
        int row;
    };
    Place placeOf(const QModelIndex& index) const;
    const Group* groupAt(int branch, int groupRow) const;

    const PlanDatabase& database_;
    const bool showMasterGroups_;
    std::vector<Branch> branches_;
};

}  // namespace quirn
