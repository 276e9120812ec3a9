// The groups and locations of the plans window as the technician meets them: the tree, a
// group's name, a new location and its address, refused values shown with their reason.
#include <QCheckBox>
#include <QPointer>
#include <QSpinBox>
#include <QTreeWidget>

#include "tests/planedit/ui/PlansWindowFixture.h"

namespace quirn::test {
namespace {

using PlansWindowGroupsTest = PlansWindowFixture;

TEST_F(PlansWindowGroupsTest, TheLoadersPlansButtonOpensTheWindowAndTheGroupListFollowsItsEdits) {
    LoaderWindow loader(services(), view);
    attachPlansWindow(loader, plansServices());
    loader.show();
    press(loader, "plans");
    QPointer<PlansWindow> window = loader.findChild<PlansWindow*>();
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Plans");

    clickRow(*window, kMasterGroup, 6);
    typeInto(*window, "groupName", "Oak Avenue");
    EXPECT_EQ(db.findGroup(kMasterGroup, 6)->name(), "Oak Avenue");
    // The loader's list shows the new name while the window is still open.
    EXPECT_EQ(
        child<QTreeWidget>(loader, "groups")->findItems("Oak Avenue,6", Qt::MatchExactly).size(),
        1);
}

TEST_F(PlansWindowGroupsTest, TheTreeShowsGroupsAndTheirLocationsFromTheDatabase) {
    PlansWindow window(plansServices());
    window.show();
    auto* tree = child<QTreeView>(window, "tree");
    QAbstractItemModel* model = tree->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, 0).data().toString(), "Elm Street,5");
    EXPECT_EQ(model->index(1, 0).data().toString(), "Oak Street,6");
    ASSERT_EQ(model->rowCount(model->index(0, 0)), 1);
    EXPECT_EQ(model->index(0, 0, model->index(0, 0)).data().toString(), "Elm School, 1 ( QN510 )");
}

TEST_F(PlansWindowGroupsTest, AGroupNameIsEditedInPlaceAndAFieldTheRulesRefuseSaysWhy) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    typeInto(window, "groupName", "Elm Street East");
    EXPECT_EQ(db.findGroup(kMasterGroup, kGroup)->name(), "Elm Street East");
    EXPECT_TRUE(window.unsaved());
    auto* tree = child<QTreeView>(window, "tree");
    EXPECT_EQ(tree->currentIndex().data().toString(), "Elm Street East,5");

    // A comma would split the groups file's line: the field says so as it is typed, and Return
    // stores nothing.
    typeInto(window, "groupName", "Elm, East", false);
    EXPECT_FALSE(child<QLineEdit>(window, "groupName")->hasAcceptableInput());
    EXPECT_NE(text(window, "groupProblem").find("comma"), std::string::npos)
        << text(window, "groupProblem");
    QTest::keyClick(child<QLineEdit>(window, "groupName"), Qt::Key_Return);
    EXPECT_EQ(db.findGroup(kMasterGroup, kGroup)->name(), "Elm Street East");
    EXPECT_FALSE(text(window, "groupProblem").empty());
    EXPECT_NE(text(window, "groupProblem").find("comma"), std::string::npos)
        << text(window, "groupProblem");
}

TEST_F(PlansWindowGroupsTest, ANewLocationTakesAnAddressOnlyWhenTheAddressIsOne) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    press(window, "addLocation");
    const Location* added = db.findLocation(kMasterGroup, kGroup, 2);
    ASSERT_NE(added, nullptr) << text(window, "foot");
    EXPECT_EQ(child<QLabel>(window, "locationNumber")->text(), "2");

    typeInto(window, "locationName", "Elm Annex");
    EXPECT_EQ(added->name, "Elm Annex");
    choose(window, "locationConnection", "IP address");
    EXPECT_EQ(added->connection, kRadioAddress) << "no address typed yet";
    // The field says why it refuses while the address is typed.
    typeInto(window, "locationAddress", "127.0.0.300", false);
    EXPECT_FALSE(child<QLineEdit>(window, "locationAddress")->hasAcceptableInput());
    EXPECT_NE(text(window, "locationProblem").find("IPv4"), std::string::npos)
        << text(window, "locationProblem");
    QTest::keyClick(child<QLineEdit>(window, "locationAddress"), Qt::Key_Return);
    EXPECT_EQ(added->connection, kRadioAddress);
    EXPECT_FALSE(text(window, "locationProblem").empty());
    typeInto(window, "locationAddress", "127.0.0.9");
    EXPECT_EQ(added->connection, "127.0.0.9") << text(window, "locationProblem");
    EXPECT_EQ(text(window, "locationProblem"), "");

    // The M2M client takes an IMSI; digits only.
    choose(window, "locationConnection", "M2M client");
    EXPECT_EQ(added->connection, kM2MAddress);
    typeInto(window, "locationImsi", "31026x");
    EXPECT_EQ(added->imsi, "");
    EXPECT_FALSE(text(window, "locationProblem").empty());
    typeInto(window, "locationImsi", "310260000000001");
    EXPECT_EQ(added->imsi, "310260000000001");

    choose(window, "locationModel", "Strider");
    choose(window, "locationStriderCode", "40 seconds");
    EXPECT_EQ(added->striderTimeCode(), 4);
    child<QCheckBox>(window, "locationValidateDisabled")->click();
    EXPECT_TRUE(added->validateDisabledFlag());
}

TEST_F(PlansWindowGroupsTest, AGroupIsAddedAndRemovedFromTheWindow) {
    PlansWindow window(plansServices());
    window.show();
    auto* number = child<QSpinBox>(window, "newGroupNumber");
    EXPECT_EQ(number->value(), 1) << "the lowest free number is offered";
    typeInto(window, "newGroupName", "Birch Lane");
    ASSERT_NE(db.findGroup(kMasterGroup, 1), nullptr) << text(window, "newGroupProblem");
    EXPECT_EQ(db.findGroup(kMasterGroup, 1)->name(), "Birch Lane");
    EXPECT_EQ(child<QTreeView>(window, "tree")->currentIndex().data().toString(), "Birch Lane,1");
    EXPECT_EQ(number->value(), 2);

    press(window, "remove");
    EXPECT_EQ(db.findGroup(kMasterGroup, 1), nullptr);
}

}  // namespace
}  // namespace quirn::test
