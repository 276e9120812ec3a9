// The tree of master groups, groups and locations the plans window shows: read from the
// database without an item per location, consistent as Qt's own model checker sees it, with and
// without master groups, and after records come and go.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QStringList>

#include "planedit/ui/PlanTreeModel.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"

namespace quirn::test {
namespace {

// Collects what Qt's model checker says is wrong (it reports through Qt's warnings).
class CheckerFindings {
  public:
    CheckerFindings() { previous_ = qInstallMessageHandler(&CheckerFindings::take); }
    ~CheckerFindings() { qInstallMessageHandler(previous_); }
    static QStringList& found() {
        static QStringList lines;
        return lines;
    }

  private:
    static void take(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg) found() << text;
    }
    QtMessageHandler previous_;
};

class PlanTreeModelTest : public ::testing::Test {
  protected:
    PlanTreeModelTest() {
        FleetShape shape;
        shape.masterGroups = 2;
        shape.groupsPerMasterGroup = 3;
        shape.locationsPerGroup = 4;
        generateFleet(db, shape, fromLocal(2026, 3, 16));
        CheckerFindings::found().clear();
    }
    PlanDatabase db;
};

TEST_F(PlanTreeModelTest, WithMasterGroupsTheTreeHasThreeLevelsAndQtsCheckerFindsNothing) {
    CheckerFindings findings;
    PlanTreeModel model(db, true);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex second = model.index(1, 0);
    EXPECT_EQ(second.data().toString(), "Master Group 2");
    ASSERT_EQ(model.rowCount(second), 3);
    const QModelIndex group = model.index(2, 0, second);
    const Group* last = db.groupsOf(2).back();
    EXPECT_EQ(group.data().toString().toStdString(), last->listText());
    ASSERT_EQ(model.rowCount(group), 4);
    const QModelIndex location = model.index(3, 0, group);
    EXPECT_EQ(location.parent(), group);
    EXPECT_EQ(group.parent(), second);
    const std::optional<PlanTreeModel::Node> node = model.node(location);
    ASSERT_TRUE(node.has_value());
    EXPECT_EQ(node->masterGroup, 2);
    EXPECT_EQ(node->group, last->number());
    EXPECT_EQ(node->location, last->locations().back()->number);
    EXPECT_EQ(model.indexOf(2, last->number(), node->location), location);
    EXPECT_TRUE(findings.found().isEmpty()) << findings.found().join("\n").toStdString();
}

TEST_F(PlanTreeModelTest, WithoutMasterGroupsGroupsAreTheTopAndRecordsGoneLeaveNoRow) {
    CheckerFindings findings;
    PlanTreeModel model(db, false);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ASSERT_EQ(model.rowCount(), 6);
    const QModelIndex first = model.index(0, 0);
    EXPECT_FALSE(first.parent().isValid());
    ASSERT_EQ(model.rowCount(first), 4);
    EXPECT_EQ(model.index(0, 0, first).parent(), first);

    Group* g = db.allGroups().front();
    const int number = g->locations().front()->number;
    ASSERT_TRUE(g->removeLocation(number));
    model.reload();
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 3);
    EXPECT_FALSE(model.indexOf(g->masterGroup(), g->number(), number).isValid());
    EXPECT_TRUE(findings.found().isEmpty()) << findings.found().join("\n").toStdString();
}

}  // namespace
}  // namespace quirn::test
