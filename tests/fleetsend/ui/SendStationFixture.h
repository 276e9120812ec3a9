#pragma once
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "fleetsend/FleetSend.h"
#include "fleetsend/ui/SendProgrammingDialog.h"
#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "tests/support/FleetGenerator.h"
#include "tests/validationrun/StationRunFixture.h"

namespace quirn {
// "1/3/7" in a failed check, not the key's bytes.
inline void PrintTo(const LocationKey& k, std::ostream* out) {
    *out << k.masterGroup << "/" << k.group << "/" << k.location;
}
}  // namespace quirn

namespace quirn::test {

// The station's time per step while a send or a run goes, and the real time its radio's far
// end gets between two steps to take the bytes.
inline constexpr long long kSendStepMs = 250;
inline constexpr int kRealDrainMs = 2;
inline constexpr int kMx40 = 1;
inline constexpr int kQn510 = 0;

// The whole station on the manual clock with a generated fleet of one master group, every
// switch on the radio: location 1 of each group an MX40 (its own programming), the others
// QN510s (their group's pages). The radio port is opened on `radioDevice` when one is given.
class SendStationFixture : public StationRunFixture {
  protected:
    static constexpr int kGroups = 8;
    static constexpr int kLocationsPerGroup = 4;

    bool startFleetStation(const std::string& radioDevice) {
        writeFile(folder.file("groups.csv"), "");
        writeFile(folder.file("locations.csv"), "");
        writeFile(folder.file("profile.csv"),
                  radioDevice.empty() ? "RadioPort,0\r\n" : "RadioPort,1\r\n");
        if (!radioDevice.empty())
            writeFile(folder.file("quirnradio.ini"), "[Serial]\r\nCOM1=" + radioDevice + "\r\n");
        if (!startStation()) return false;
        FleetShape shape;
        shape.masterGroups = 1;
        shape.groupsPerMasterGroup = kGroups;
        shape.locationsPerGroup = kLocationsPerGroup;
        shape.withSnapshot = false;
        generateFleet(app->database(), shape, clock.now());
        app->database().visitLocations([](Location& l) {
            l.connection = kRadioAddress;
            l.model = l.number == 1 ? kMx40 : kQn510;
            l.setValidateDisabled(false);
        });
        return true;
    }

    FleetSend& send() { return *app->fleetSend(); }

    // Steps the station until `done`, redrawing the window after each step and giving the
    // radio's far end a moment of real time; false when the bounds ran out first.
    bool stepUntil(SendProgrammingDialog& dialog, const std::function<bool()>& done) {
        return runUntil(done, kSendStepMs, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(kRealDrainMs));
            dialog.redraw();
        });
    }

    template <typename T>
    static T* child(QWidget& parent, const char* name) {
        return parent.findChild<T*>(name);
    }
    static std::string label(QWidget& parent, const char* name) {
        auto* l = child<QLabel>(parent, name);
        return l ? l->text().toStdString() : "(no label " + std::string(name) + ")";
    }
};

}  // namespace quirn::test
