// "Send programming…" in the Plans and Fleet windows: there only when the station gives them a
// send, it opens the send window with what the window has picked as its preset, and that is
// what the send plans.
#include <QItemSelectionModel>
#include <QPointer>
#include <QTableView>
#include <QTreeView>
#include <set>

#include "fleethealth/ui/FleetWindow.h"
#include "fleetsend/ui/SendPresets.h"
#include "planedit/ui/PlansWindow.h"
#include "plans/LocationReadState.h"
#include "tests/fleetsend/ui/SendStationFixture.h"

namespace quirn::test {
namespace {

class SendButtons : public SendStationFixture {
  protected:
    QPointer<SendProgrammingDialog> opened;
    QPointer<SendProgrammingDialog> previous;

    void SetUp() override { ASSERT_TRUE(startFleetStation({})); }

    PlansWindowServices plansServices(bool withSend, bool masterGroups = false) {
        PlansWindowServices s{app->database(), app->overrides(), app->summer(), clock,
                              working,         masterGroups,     [] {},         {}};
        if (withSend)
            s.sendProgramming = [this](QWidget* parent, int masterGroup, int group, int location) {
                opened = openSendProgrammingDialog(send(), app->validationRun(),
                                                   sendPresetOfPick(masterGroup, group, location),
                                                   parent);
            };
        return s;
    }

    FleetWindowServices fleetServices(bool withSend) {
        FleetWindowServices s{app->database(), &app->errors(), clock, nullptr};
        if (withSend)
            s.sendProgramming = [this](QWidget* parent, std::vector<LocationKey> locations) {
                opened = openSendProgrammingDialog(send(), app->validationRun(),
                                                   SendSelection::ofLocations(std::move(locations)),
                                                   parent);
            };
        return s;
    }

    // Presses the window's button; the send window it opened, planning its preset.
    SendProgrammingDialog* press(QWidget& window) {
        auto* button = child<QPushButton>(window, "sendProgramming");
        if (button == nullptr || !button->isVisible()) return nullptr;
        button->click();
        // The window opened before is closed after the new one planned, and goes: its end
        // must leave the new window's plan alone.
        if (previous) {
            previous->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        previous = opened;
        return opened.data();
    }

    std::string chosenText() const {
        return opened ? opened->findChild<QComboBox*>("choice")->currentText().toStdString()
                      : "(no window)";
    }
};

TEST_F(SendButtons, WithoutASendTheWindowsHaveNoButton) {
    PlansWindow plans(plansServices(false));
    EXPECT_EQ(child<QPushButton>(plans, "sendProgramming"), nullptr);
    FleetWindow fleet(fleetServices(false));
    EXPECT_EQ(child<QPushButton>(fleet, "sendProgramming"), nullptr);
}

TEST_F(SendButtons, ThePlansWindowSendsWhatItsTreeHasPicked) {
    PlansWindow window(plansServices(true, true));
    window.show();
    EXPECT_EQ(child<QPushButton>(window, "sendProgramming")->text(),
              QString::fromUtf8("Send programming\u2026"));

    // Nothing picked: the whole fleet.
    ASSERT_NE(press(window), nullptr);
    EXPECT_EQ(opened->parent(), &window);
    EXPECT_FALSE(opened->isModal());
    EXPECT_EQ(chosenText(), "All locations");
    EXPECT_EQ(send().progress().selection.scope, SendScope::All);

    // A master group row.
    auto* tree = child<QTreeView>(window, "tree");
    tree->setCurrentIndex(tree->model()->index(0, 0));
    ASSERT_NE(press(window), nullptr);
    EXPECT_EQ(chosenText(), "Master group 1");
    EXPECT_EQ(send().progress().selection.text(), "master group 1");

    window.pick(1, 3);
    ASSERT_NE(press(window), nullptr);
    EXPECT_EQ(chosenText(), "Group 3 of master group 1");
    EXPECT_TRUE(send().progress().planning);
    ASSERT_TRUE(stepUntil(*opened, [&] { return send().planned(); }));
    EXPECT_EQ(send().progress().selection.text(), "group 3 of master group 1");
    EXPECT_EQ(send().estimate().locationsCovered, static_cast<std::size_t>(kLocationsPerGroup));

    // A second window plans its own send; the first, still open, no longer offers to send.
    SendProgrammingDialog* first = opened;
    window.pick(1, 3, 2);
    opened =
        openSendProgrammingDialog(send(), app->validationRun(), sendPresetOfPick(1, 3, 2), &window);
    first->redraw();
    EXPECT_FALSE(first->findChild<QPushButton*>("send")->isEnabled());
    EXPECT_EQ(label(*first, "state"),
              "Another window has planned or started a send since: plan again once it is over.");
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    previous = nullptr;
    EXPECT_TRUE(send().progress().planning) << "closing the first window dropped the second's plan";
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_NE(press(window), nullptr);
    EXPECT_EQ(chosenText(), "Location 1, 3, 2");
    ASSERT_TRUE(stepUntil(*opened, [&] { return send().planned(); }));
    ASSERT_EQ(send().items().size(), 1u);
    EXPECT_EQ(send().items()[0].kind, SendItem::Kind::GroupPages);
    EXPECT_EQ(send().items()[0].locations, std::vector<int>{2});
}

TEST_F(SendButtons, TheFleetWindowSendsThePickedRowsOrThoseItsFilterShows) {
    // Group 1 was read an hour ago; the others never were.
    app->database().visitLocations([&](Location& l) {
        if (l.group != 1) return;
        l.readState = static_cast<int32_t>(ReadState::ValidatePassed);
        l.lastReadTime = clock.now() - 3600;
    });
    FleetWindow window(fleetServices(true));
    window.show();
    QTableView* table = window.table();

    // Two rows picked.
    std::set<LocationKey> picked;
    for (int row : {0, 2}) {
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const FleetRow& r = window.rows().visible(static_cast<std::size_t>(row));
        picked.insert({r.masterGroup, r.group, r.location});
    }
    ASSERT_NE(press(window), nullptr);
    EXPECT_EQ(chosenText(), "2 locations");
    SendSelection asked = send().progress().selection;
    EXPECT_EQ(asked.scope, SendScope::Locations);
    EXPECT_EQ(std::set<LocationKey>(asked.locations.begin(), asked.locations.end()), picked);

    // None picked: the rows the filter shows, those not read for a week.
    table->clearSelection();
    window.setFilter(FleetFilter::NotReadForWeek);
    ASSERT_NE(press(window), nullptr);
    const std::size_t unread = (kGroups - 1) * kLocationsPerGroup;
    EXPECT_EQ(chosenText(), std::to_string(unread) + " locations");
    asked = send().progress().selection;
    ASSERT_EQ(asked.locations.size(), unread);
    for (const LocationKey& k : asked.locations) EXPECT_NE(k.group, 1);
    ASSERT_TRUE(stepUntil(*opened, [&] { return send().planned(); }));
    EXPECT_EQ(send().estimate().locationsCovered, unread);
}

}  // namespace
}  // namespace quirn::test
