// The validation run window as the technician meets it: choose what to read, Start, watch the
// progress and the counts, Stop, and the summary at the end.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "tests/validationrun/StationRunFixture.h"
#include "validationrun/ui/ValidationRunDialog.h"
#include "validationrun/ui/ValidationRunPanel.h"

namespace quirn::test {
namespace {

constexpr long long kStepMs = 500;

template <typename T>
T* child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QString labelText(QWidget& parent, const char* name) {
    QLabel* label = child<QLabel>(parent, name);
    return label ? label->text() : QString();
}

// Three radio locations in two groups and no radio port: each read ends as a failed
// connection a second or two after it starts.
class ValidationRunWindow : public StationRunFixture {
  protected:
    void SetUp() override {
        writeStation(locationLine(1, kRadioAddress) + locationLine(2, kRadioAddress) +
                         locationLine(1, kRadioAddress, 0, 2),
                     "RadioPort,0\r\n");
        ASSERT_TRUE(startStation());
    }
};

TEST_F(ValidationRunWindow, AGroupRunShowsItsProgressAndItsSummary) {
    ValidationRunDialog dialog(run());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Validation run");
    ValidationRunPanel& panel = dialog.panel();
    child<QComboBox>(panel, "scope")->setCurrentIndex(2);  // one group
    EXPECT_TRUE(child<QSpinBox>(panel, "group")->isEnabled());
    child<QSpinBox>(panel, "masterGroup")->setValue(1);
    child<QSpinBox>(panel, "group")->setValue(1);
    child<QPushButton>(panel, "start")->click();

    ASSERT_TRUE(run().running());
    EXPECT_FALSE(child<QPushButton>(panel, "start")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(panel, "stop")->isEnabled());
    EXPECT_EQ(labelText(panel, "state"), "Reading group 1 of master group 1: 0 of 2 done.");

    ASSERT_TRUE(runUntil([&] { return run().progress().done == 1; }, kStepMs));
    panel.redraw();
    EXPECT_EQ(child<QProgressBar>(panel, "progress")->value(), 50);
    EXPECT_TRUE(labelText(panel, "counts")
                    .startsWith("1 read: 0 passed, 0 validate failed, 1 "
                                "connection failed"))
        << labelText(panel, "counts").toStdString();

    ASSERT_TRUE(runUntil([&] { return !run().running(); }, kStepMs));
    panel.redraw();
    EXPECT_EQ(child<QProgressBar>(panel, "progress")->value(), 100);
    EXPECT_EQ(labelText(panel, "state"), "Not running.");
    EXPECT_TRUE(labelText(panel, "summary")
                    .startsWith("Validation run of group 1 of master group 1 ended: 2 read: "))
        << labelText(panel, "summary").toStdString();
    EXPECT_TRUE(child<QPushButton>(panel, "start")->isEnabled());
}

TEST_F(ValidationRunWindow, StopEndsTheRunWithWhatWasNotRead) {
    ValidationRunPanel panel(run());
    panel.show();
    child<QPushButton>(panel, "start")->click();  // all locations
    ASSERT_TRUE(runUntil([&] { return run().readsInFlight() == 1; }, kStepMs));
    child<QPushButton>(panel, "stop")->click();
    EXPECT_FALSE(child<QPushButton>(panel, "stop")->isEnabled());
    ASSERT_TRUE(runUntil([&] { return !run().running(); }, kStepMs));
    panel.redraw();
    EXPECT_TRUE(labelText(panel, "summary").contains("stopped: 1 read"))
        << labelText(panel, "summary").toStdString();
    EXPECT_TRUE(labelText(panel, "summary").endsWith(", 2 not read."))
        << labelText(panel, "summary").toStdString();
}

TEST_F(ValidationRunWindow, StartWhileTheStationsRunIsUnderWaySaysSo) {
    ValidationRunPanel panel(run());
    panel.show();
    ASSERT_TRUE(child<QPushButton>(panel, "start")->isEnabled());
    // The weekday run starts between two redraws of the window; the technician's click comes
    // after it and is refused.
    ASSERT_EQ(run().start(RunSelection::all(), "on the weekday schedule"),
              ValidationRun::StartResult::Started);
    child<QPushButton>(panel, "start")->click();
    EXPECT_EQ(labelText(panel, "summary"),
              "A run is already under way: stop it or wait for its end.");
    EXPECT_FALSE(child<QPushButton>(panel, "start")->isEnabled());
    EXPECT_EQ(run().progress().selection.scope, RunScope::All);
}

}  // namespace
}  // namespace quirn::test
