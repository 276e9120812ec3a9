#include "planedit/ui/PlanTreeModel.h"

#include "plans/PlanDatabase.h"
#include "plans/Settings.h"

namespace quirn {

namespace {
// An index's internal id names its parent: top-level rows carry 0; a group row under a master
// group carries the group tag and the branch; a location row the location tag, the branch and
// the group's row.
constexpr quintptr kGroupTag = quintptr(1) << 40;
constexpr quintptr kLocationTag = quintptr(2) << 40;
constexpr quintptr kTagMask = quintptr(3) << 40;
constexpr int kBranchShift = 16;
constexpr quintptr kFieldMask = 0xffff;
}  // namespace

PlanTreeModel::PlanTreeModel(const PlanDatabase& database, bool showMasterGroups, QObject* parent)
    : QAbstractItemModel(parent), database_(database), showMasterGroups_(showMasterGroups) {
    reload();
}

void PlanTreeModel::reload() {
    beginResetModel();
    branches_.clear();
    if (showMasterGroups_) {
        for (int mg : database_.masterGroupNumbers()) {
            Branch branch{mg, {}};
            for (Group* g : database_.groupsOf(mg)) branch.groups.push_back(g);
            branches_.push_back(std::move(branch));
        }
    } else {
        Branch all{0, {}};
        for (Group* g : database_.allGroups()) all.groups.push_back(g);
        branches_.push_back(std::move(all));
    }
    endResetModel();
}

const Group* PlanTreeModel::groupAt(int branch, int groupRow) const {
    if (branch < 0 || branch >= static_cast<int>(branches_.size())) return nullptr;
    const auto& groups = branches_[static_cast<size_t>(branch)].groups;
    if (groupRow < 0 || groupRow >= static_cast<int>(groups.size())) return nullptr;
    return groups[static_cast<size_t>(groupRow)];
}

PlanTreeModel::Place PlanTreeModel::placeOf(const QModelIndex& index) const {
    const quintptr id = index.internalId();
    const quintptr tag = id & kTagMask;
    const int low = static_cast<int>(id & kFieldMask);
    if (tag == kLocationTag)
        return {Kind::Location, static_cast<int>((id >> kBranchShift) & kFieldMask), low,
                index.row()};
    if (tag == kGroupTag) return {Kind::Group, low, index.row(), index.row()};
    if (showMasterGroups_) return {Kind::MasterGroup, index.row(), -1, index.row()};
    return {Kind::Group, 0, index.row(), index.row()};
}

std::optional<PlanTreeModel::Node> PlanTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return std::nullopt;
    const Place p = placeOf(index);
    if (p.kind == Kind::MasterGroup) {
        if (p.branch >= static_cast<int>(branches_.size())) return std::nullopt;
        return Node{Kind::MasterGroup, branches_[static_cast<size_t>(p.branch)].masterGroup, 0, 0};
    }
    const Group* g = groupAt(p.branch, p.groupRow);
    if (g == nullptr) return std::nullopt;
    if (p.kind == Kind::Group) return Node{Kind::Group, g->masterGroup(), g->number(), 0};
    if (p.row < 0 || p.row >= static_cast<int>(g->locations().size())) return std::nullopt;
    return Node{Kind::Location, g->masterGroup(), g->number(),
                g->locations()[static_cast<size_t>(p.row)]->number};
}

QModelIndex PlanTreeModel::indexOf(int masterGroup, int group, int location) const {
    for (size_t b = 0; b < branches_.size(); ++b) {
        const Branch& branch = branches_[b];
        if (showMasterGroups_ && branch.masterGroup != masterGroup) continue;
        for (size_t r = 0; r < branch.groups.size(); ++r) {
            const Group* g = branch.groups[r];
            if (g->masterGroup() != masterGroup || g->number() != group) continue;
            const QModelIndex parentIndex =
                showMasterGroups_ ? index(static_cast<int>(b), 0) : QModelIndex();
            const QModelIndex groupIndex = index(static_cast<int>(r), 0, parentIndex);
            if (location == 0) return groupIndex;
            const auto& locations = g->locations();
            for (size_t l = 0; l < locations.size(); ++l)
                if (locations[l]->number == location)
                    return index(static_cast<int>(l), 0, groupIndex);
            return {};
        }
    }
    return {};
}

QModelIndex PlanTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
    if (!parent.isValid()) return createIndex(row, 0, quintptr(0));
    const Place p = placeOf(parent);
    if (p.kind == Kind::MasterGroup)
        return createIndex(row, 0, kGroupTag | static_cast<quintptr>(p.branch));
    if (p.kind == Kind::Group)
        return createIndex(row, 0,
                           kLocationTag | (static_cast<quintptr>(p.branch) << kBranchShift) |
                               static_cast<quintptr>(p.groupRow));
    return {};
}

QModelIndex PlanTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    const Place p = placeOf(child);
    switch (p.kind) {
        case Kind::MasterGroup:
            return {};
        case Kind::Group:
            return showMasterGroups_ ? createIndex(p.branch, 0, quintptr(0)) : QModelIndex();
        case Kind::Location:
            if (showMasterGroups_)
                return createIndex(p.groupRow, 0, kGroupTag | static_cast<quintptr>(p.branch));
            return createIndex(p.groupRow, 0, quintptr(0));
    }
    return {};
}

int PlanTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return showMasterGroups_
                   ? static_cast<int>(branches_.size())
                   : (branches_.empty() ? 0 : static_cast<int>(branches_[0].groups.size()));
    if (parent.column() != 0) return 0;
    const Place p = placeOf(parent);
    if (p.kind == Kind::MasterGroup)
        return p.branch < static_cast<int>(branches_.size())
                   ? static_cast<int>(branches_[static_cast<size_t>(p.branch)].groups.size())
                   : 0;
    if (p.kind == Kind::Group) {
        const Group* g = groupAt(p.branch, p.groupRow);
        return g ? static_cast<int>(g->locations().size()) : 0;
    }
    return 0;
}

int PlanTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant PlanTreeModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole) return {};
    const std::optional<Node> n = node(index);
    if (!n) return {};
    if (n->kind == Kind::MasterGroup)
        return QString::fromStdString(Settings::masterGroupListText(n->masterGroup));
    const Group* g = database_.findGroup(n->masterGroup, n->group);
    if (g == nullptr) return {};
    if (n->kind == Kind::Group) return QString::fromStdString(g->listText());
    const Location* l = g->findLocation(n->location);
    return l ? QString::fromStdString(l->listText()) : QVariant();
}

}  // namespace quirn
