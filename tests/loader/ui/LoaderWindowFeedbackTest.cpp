// The loader window says what its buttons did: which group they use, what went out, how far a
// read or write is, and which group a read was compared with.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <map>
#include <memory>

#include "loader/ui/LoaderWindow.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {
namespace {

constexpr const char* kNoGroup =
    "No group is selected.  Select the group in \"Groups Available\" first.";

class LoaderFeedbackTest : public LoaderWindowFixture {
  protected:
    void SetUp() override {
        Group& oak = db.group(kMasterGroup, 6);
        oak.setName("Oak Avenue");
        oak.addStep(Step::atTime(kMasterGroup, 6, 1, 6, 0, 1));
        oak.setDefaultDay(2, 1);
        oak.markProgrammingChanged();
    }
    // A QN510 of Elm Street on the line whose clock runs `offsetSeconds` off every time given.
    void attachOffClock(long offsetSeconds) {
        sim::SimSettings s;
        s.model = sim::SimModel::QN510;
        s.address = {kMasterGroup, kGroup, 1};
        s.zone = sim::ZoneRule::northAmerican(kHoursWest);
        s.clock.clockOffsetSeconds = offsetSeconds;
        offClock = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
        device->script = [this](const std::string& bytes, int) { return offClock->receive(bytes); };
    }
    static QImage markOf(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

    std::unique_ptr<sim::SimulatedTimeSwitch> offClock;

    // Writes and then reads the group shown selected, the switch being Elm Street.
    void writeThenRead(LoaderWindow& window) {
        click(window, "write");
        tickUntilIdle(window);
        click(window, "read");
        tickUntilIdle(window);
    }
};

TEST_F(LoaderFeedbackTest, WithNoGroupSelectedTheGroupButtonsSaySoAndSendNothing) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    ASSERT_TRUE(child<QTreeWidget>(window, "groups")->selectedItems().isEmpty());
    for (const char* name : {"read", "write", "manualOn", "manualOff"}) click(window, name);
    ASSERT_EQ(view.messages.size(), 4u);
    for (const RecordingView::Shown& m : view.messages) {
        EXPECT_EQ(m.text, kNoGroup);
        EXPECT_EQ(m.caption, "Quirn Radio Software");
        EXPECT_TRUE(m.warning);
    }
    EXPECT_TRUE(device->written.empty()) << "no group was picked silently";
    EXPECT_EQ(window.controller().mode(), LoaderController::Mode::Idle);

    // The time goes to everyone, with or without a group.
    click(window, "sendTime");
    EXPECT_EQ(device->written.size(), 1u);
    EXPECT_EQ(label(window, "sentLine"), "Time 09:15 Monday sent to every switch.");
}

TEST_F(LoaderFeedbackTest, TheGroupUsedIsTheOneShownSelectedAndARefillKeepsIt) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    selectGroup(window, "Oak Avenue,6");
    EXPECT_EQ(window.controller().selectedGroup()->group, 6);
    selectGroup(window, "Elm Street,5");
    EXPECT_EQ(window.controller().selectedGroup()->group, kGroup);

    window.refillGroups();
    QTreeWidget* groups = child<QTreeWidget>(window, "groups");
    ASSERT_EQ(groups->selectedItems().size(), 1);
    EXPECT_EQ(groups->selectedItems().front()->text(0), "Elm Street,5");

    // The list shows nothing selected: the buttons must not use the group of before.
    groups->clearSelection();
    EXPECT_FALSE(window.controller().selectedGroup().has_value());
    click(window, "manualOn");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, kNoGroup);
}

TEST_F(LoaderFeedbackTest, WriteAndManualEndWithWhatWentOutAndToWhichGroup) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    selectGroup(window, "Elm Street,5");
    click(window, "manualOn");
    EXPECT_EQ(label(window, "sentLine"), "Manual ON sent to group Elm Street,5.");
    click(window, "manualOff");
    EXPECT_EQ(label(window, "sentLine"), "Manual OFF sent to group Elm Street,5.");

    click(window, "write");
    EXPECT_EQ(label(window, "sentLine"), "") << "nothing is said before the write is done";
    tickUntilIdle(window);
    EXPECT_EQ(label(window, "status"), "No Clock Data Read Yet");
    EXPECT_EQ(label(window, "sentLine"),
              "Program sent to group Elm Street,5; time 09:15 Monday sent to every switch.");
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(LoaderFeedbackTest, AProgressBarCountsTheReadAndTheWriteAndGoesWhenIdle) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    window.show();
    auto* progress = child<QProgressBar>(window, "progress");
    EXPECT_FALSE(progress->isVisible());
    selectGroup(window, "Elm Street,5");
    click(window, "read");
    tick(3);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->maximum(), LoaderController::kReadTicks);
    EXPECT_EQ(progress->value(), 3);
    tickUntilIdle(window);
    EXPECT_FALSE(progress->isVisible());

    click(window, "write");
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->value(), LoaderController::kWriteStartCount);
    tick(2);
    EXPECT_EQ(progress->value(), LoaderController::kWriteStartCount + 2);
    tickUntilIdle(window);
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(LoaderFeedbackTest, ChoosingAnotherGroupClearsTheResultAndTheResultNamesItsGroup) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    selectGroup(window, "Elm Street,5");
    writeThenRead(window);
    EXPECT_EQ(resultText(window), "Program matches the group. Compared with Elm Street,5.");

    selectGroup(window, "Oak Avenue,6");
    EXPECT_EQ(window.controller().match(), LoaderController::Match::None);
    EXPECT_EQ(resultText(window), "") << "the old result belonged to Elm Street";
    // The program read stays in sight.
    EXPECT_FALSE(window.controller().description().empty());

    // A switch of Oak Avenue takes the line and is written with its group's program.
    sim::SimSettings oakSwitch;
    oakSwitch.model = sim::SimModel::QN510;
    oakSwitch.address = {kMasterGroup, 6, 1};
    oakSwitch.zone = sim::ZoneRule::northAmerican(kHoursWest);
    sim::SimulatedTimeSwitch oak(oakSwitch, clock);
    device->script = [&oak](const std::string& bytes, int) { return oak.receive(bytes); };
    click(window, "write");
    tickUntilIdle(window);
    click(window, "read");
    tickUntilIdle(window);
    EXPECT_EQ(resultText(window), "Program matches the group. Compared with Oak Avenue,6.");
    selectGroup(window, "Elm Street,5");
    EXPECT_EQ(resultText(window), "");
}

// A switch whose program matches but whose clock is five minutes fast gets the warning mark, not
// the green one, and the window says how far its clock is off.
TEST_F(LoaderFeedbackTest, AMatchingProgramOnAFastClockGetsTheWarningMarkAndTheOffset) {
    constexpr long kFiveMinutesTwoSeconds = 5 * 60 + 2;
    attachOffClock(kFiveMinutesTwoSeconds);
    LoaderWindow window(services(), view);
    selectGroup(window, "Elm Street,5");
    writeThenRead(window);
    EXPECT_EQ(resultText(window),
              "Program matches the group, but the switch clock is wrong. Compared with Elm "
              "Street,5.");
    EXPECT_EQ(label(window, "clockLine"), "Clock Data read at 09:20 Monday.");
    EXPECT_EQ(label(window, "clockOffset"), "Switch clock 5 min fast.");
    QTreeWidgetItem* result = child<QTreeWidget>(window, "attached")->topLevelItem(0);
    EXPECT_EQ(markOf(result->icon(0)),
              markOf(window.style()->standardIcon(QStyle::SP_MessageBoxWarning)));
    EXPECT_NE(markOf(result->icon(0)),
              markOf(window.style()->standardIcon(QStyle::SP_DialogApplyButton)));
}

// While a read or write counts, the buttons that send are disabled and say why; the others
// are not.
TEST_F(LoaderFeedbackTest, DuringTheCountTheSendingButtonsAreDisabledAndSayWhy) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    selectGroup(window, "Elm Street,5");
    const char* sending[] = {"read", "write", "manualOn", "manualOff", "sendTime"};
    click(window, "read");
    tick(2);
    for (const char* name : sending) {
        EXPECT_FALSE(child<QPushButton>(window, name)->isEnabled()) << name;
        EXPECT_EQ(child<QPushButton>(window, name)->toolTip(),
                  "Reading the time switch: wait until the 7 seconds are over.")
            << name;
    }
    EXPECT_TRUE(child<QPushButton>(window, "utilities")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(window, "done")->isEnabled());
    tickUntilIdle(window);
    for (const char* name : sending) {
        EXPECT_TRUE(child<QPushButton>(window, name)->isEnabled()) << name;
        EXPECT_EQ(child<QPushButton>(window, name)->toolTip(), "") << name;
    }
    click(window, "write");
    EXPECT_FALSE(child<QPushButton>(window, "sendTime")->isEnabled());
    EXPECT_EQ(child<QPushButton>(window, "sendTime")->toolTip(),
              "Writing the time switch: wait until the 7 seconds are over.");
}

// A long group name of a master group and a wrong clock make a long result line: the window
// shows it whole, without a scroll bar hiding its end.
TEST_F(LoaderFeedbackTest, TheResultLineIsShownWhole) {
    profile.writeInt("Commo", "Hmg", 1);
    db.group(kMasterGroup, kGroup).setName("Jefferson North Campus Elementary and Middle School");
    attachOffClock(-10 * 60);
    LoaderWindow window(services(), view);
    window.show();
    QApplication::processEvents();
    selectGroup(window, "Jefferson North Campus Elementary and Middle School,5 (master group 1)");
    writeThenRead(window);
    QApplication::processEvents();
    QTreeWidget* tree = child<QTreeWidget>(window, "attached");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_TRUE(resultText(window).startsWith("Program matches the group, but the switch clock"));
    EXPECT_LE(tree->header()->sectionSize(0), tree->viewport()->width());
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0) << "the line runs on behind a scroll bar";
}

TEST_F(LoaderFeedbackTest, TheButtonColumnKeepsItsPlaceWhateverTheStatusLinesSay) {
    LoaderWindow window(services(), view);
    window.show();
    QApplication::processEvents();
    auto places = [&window] {
        std::map<QString, QRect> out;
        for (QPushButton* b : window.findChildren<QPushButton*>())
            if (b->objectName() != "vornTime")
                out[b->objectName()] = QRect(b->mapTo(&window, QPoint(0, 0)), b->size());
        return out;
    };
    const std::map<QString, QRect> before = places();
    ASSERT_EQ(before.size(), 10u);  // Read to Done, with "Plans…", "Validate…" and "Fleet…"
    const QString firstStatus = label(window, "status");

    selectGroup(window, "Elm Street,5");
    click(window, "read");  // nothing attached: the read fails with the long failure line
    tick(2);
    QApplication::processEvents();
    EXPECT_EQ(places(), before) << "while reading";
    tickUntilIdle(window);
    QApplication::processEvents();
    EXPECT_NE(label(window, "status"), firstStatus);
    EXPECT_TRUE(label(window, "status").startsWith("Quirn Clock Read FAILED "));
    EXPECT_EQ(places(), before) << "after the failed read";

    click(window, "manualOn");
    device->vanished = true;
    click(window, "write");
    QApplication::processEvents();
    EXPECT_TRUE(child<QLabel>(window, "portError")->isVisible());
    EXPECT_EQ(places(), before) << "with the port error and the sent line";

    db.group(1, 99).setName("MOXBYRD");
    window.refillGroups();
    window.redraw();
    QApplication::processEvents();
    EXPECT_TRUE(child<QPushButton>(window, "vornTime")->isVisible());
    EXPECT_EQ(places(), before) << "with VORN TIME shown";
}

}  // namespace
}  // namespace quirn::test
