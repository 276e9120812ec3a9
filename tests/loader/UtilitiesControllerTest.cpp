#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/UtilitiesController.h"
#include "platform/FileSystem.h"
#include "tests/loader/PortFixture.h"
#include "tests/loader/SwitchScript.h"
#include "tests/loader/UtilitiesFixture.h"

namespace quirn::test {
namespace {

using Buttons = UtilitiesController::Buttons;

// The device a COM number names when the profile names none: this platform's own.
std::string defaultDevice(int comNumber) {
    return ComPortMap().devicePath(comNumber);
}

// The list entry of a COM number on its default device, which this computer may not have.
std::string defaultEntry(int comNumber) {
    std::string device = defaultDevice(comNumber);
    return "COM " + std::to_string(comNumber) + "  " + device +
           (pathExists(device) ? "" : "  (not present)");
}

struct StatusCase {
    const char* what;
    bool portUp;
    AttachedType type;
    int configured;
    const char* text;
    Buttons buttons;  // verify, to 2400, to 4800, PC 2400, PC 4800
};

const StatusCase kStatus[] = {
    {"no port, QN510",
     false,
     AttachedType::Qn510,
     2400,
     "PC Comm Port NOT Setup.",
     {true, false, false, false, false}},
    {"no port, LR40 pair",
     false,
     AttachedType::Mx40WithLr40,
     4800,
     "PC Comm Port NOT Setup.",
     {true, false, false, false, false}},
    {"QN510",
     true,
     AttachedType::Qn510,
     2400,
     "PC Comm Port Setup. Baud = 2400",
     {false, false, false, false, false}},
    {"MX40 configured 4800 still shows 2400",
     true,
     AttachedType::Mx40,
     4800,
     "PC Comm Port Setup. Baud = 2400",
     {false, false, false, false, false}},
    {"MX40 with LR40 at 2400",
     true,
     AttachedType::Mx40WithLr40,
     2400,
     "PC Comm Port Setup. Baud = 2400",
     {false, true, true, false, true}},
    {"QN510 with LR40 at 4800",
     true,
     AttachedType::Qn510WithLr40,
     4800,
     "PC Comm Port Setup. Baud = 4800",
     {false, true, true, true, false}},
    {"MX40 with LR40 at 4800",
     true,
     AttachedType::Mx40WithLr40,
     4800,
     "PC Comm Port Setup. Baud = 4800",
     {false, true, true, true, false}},
};

class UtilitiesStatus : public UtilitiesTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(UtilitiesStatus, PortLineAndBaudButtonsFollowThePortTheTypeAndTheConfiguredRate) {
    const StatusCase& c = GetParam();
    profile.writeInt("Commo", "Baud", c.configured);
    if (!c.portUp) {
        device->vanished = true;
        port->reopen(c.configured);
    }
    auto u = make(c.type);
    EXPECT_EQ(u->portStatusText(), c.text) << c.what;
    EXPECT_EQ(u->buttons(), c.buttons) << c.what;
    EXPECT_STREQ(UtilitiesController::versionText(), "Version 1.62 B1");
}

INSTANTIATE_TEST_SUITE_P(Table, UtilitiesStatus, ::testing::ValuesIn(kStatus));

struct ReasonCase {
    const char* what;
    bool portUp;
    AttachedType type;
    int configured;
    const char* switchBaud;
    const char* pcTo2400;
    const char* pcTo4800;
};

constexpr const char* kNoPortReason =
    "The PC port is not set up: choose a port and verify it first.";

const ReasonCase kReasons[] = {
    {"no port", false, AttachedType::Mx40WithLr40, 2400, kNoPortReason, kNoPortReason,
     kNoPortReason},
    {"QN510", true, AttachedType::Qn510, 2400,
     "The QN510 talks at 2400 baud only: choose a \"( W LR40 )\" type in the loader to change "
     "rates.",
     "The QN510 talks at 2400 baud only: choose a \"( W LR40 )\" type in the loader to change "
     "rates.",
     "The QN510 talks at 2400 baud only: choose a \"( W LR40 )\" type in the loader to change "
     "rates."},
    {"LR40 pair at 2400", true, AttachedType::Mx40WithLr40, 2400, "",
     "The PC port is already at 2400 baud.", ""},
    {"LR40 pair at 4800", true, AttachedType::Qn510WithLr40, 4800, "", "",
     "The PC port is already at 4800 baud."},
};

class UtilitiesReasons : public UtilitiesTest, public ::testing::WithParamInterface<ReasonCase> {};

// A disabled baud button says why; an enabled one says nothing.
TEST_P(UtilitiesReasons, EveryDisabledBaudButtonSaysWhy) {
    const ReasonCase& c = GetParam();
    profile.writeInt("Commo", "Baud", c.configured);
    if (!c.portUp) {
        device->vanished = true;
        port->reopen(c.configured);
    }
    auto u = make(c.type);
    const UtilitiesController::ButtonReasons why = u->buttonReasons();
    EXPECT_EQ(why.switchBaud, c.switchBaud) << c.what;
    EXPECT_EQ(why.pcTo2400, c.pcTo2400) << c.what;
    EXPECT_EQ(why.pcTo4800, c.pcTo4800) << c.what;
    const Buttons b = u->buttons();
    EXPECT_EQ(b.switchTo2400, why.switchBaud.empty()) << c.what;
    EXPECT_EQ(b.pcTo2400, why.pcTo2400.empty()) << c.what;
    EXPECT_EQ(b.pcTo4800, why.pcTo4800.empty()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, UtilitiesReasons, ::testing::ValuesIn(kReasons));

TEST_F(UtilitiesTest, TheConfiguredRateIs4800OnlyWhenTheProfileSays4800) {
    for (auto [stored, expected] :
         std::vector<std::pair<int, int>>{{4800, 4800}, {2400, 2400}, {9600, 2400}, {0, 2400}}) {
        profile.writeInt("Commo", "Baud", stored);
        auto u = make(AttachedType::Mx40WithLr40);
        EXPECT_EQ(u->configuredBaud(), expected) << stored;
    }
}

TEST_F(UtilitiesTest, ChangingThePcRateReopensThePortStoresTheRateAndSaysSo) {
    auto u = make(AttachedType::Mx40WithLr40);
    u->changePcBaud(4800);
    EXPECT_EQ(port->currentBaud(), 4800);
    EXPECT_EQ(profile.getInt("Commo", "Baud", 0), 4800);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Baud rate changed to 4800 for PC.");
    EXPECT_EQ(view.messages[0].caption, "Quirn Radio Software");
    EXPECT_EQ(u->portStatusText(), "PC Comm Port Setup. Baud = 4800");
    EXPECT_EQ(u->buttons(), (Buttons{false, true, true, true, false}));
    EXPECT_EQ(u->rateText(), "Baud Rate = 4800");

    u->changePcBaud(2400);
    EXPECT_EQ(port->currentBaud(), 2400);
    EXPECT_EQ(profile.getInt("Commo", "Baud", 0), 2400);
    EXPECT_EQ(view.messages.back().text, "Baud rate changed to 2400 for PC.");
    EXPECT_EQ(u->rateText(), "Baud Rate = 2400");
    EXPECT_EQ(view.beeps, 0);
}

TEST_F(UtilitiesTest, APcRateChangeOnAVanishedPortBeepsAndShowsThePortMessage) {
    auto u = make(AttachedType::Mx40WithLr40);
    device->vanished = true;
    u->changePcBaud(4800);
    EXPECT_EQ(view.beeps, 1);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "The serial port is not available.  If it is a USB device plug it back in and try "
              "again. ");
    EXPECT_EQ(u->portStatusText(), "PC Comm Port NOT Setup.");
}

TEST_F(UtilitiesTest, TheSwitchBaudChangeAsksFirstAndRunsOnTheDialogTick) {
    BaudSwitch sw{2400};
    device->script = sw.script();
    profile.writeInt("Commo", "Baud", 2400);
    auto u = make(AttachedType::Mx40WithLr40);

    view.answers = {false};
    u->changeSwitchBaud(4800);
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text,
              "Would you like to change the baud rate in the connected time switch to 4800?");
    EXPECT_FALSE(u->baudChange().running()) << "No starts nothing";

    view.answers = {true};
    u->changeSwitchBaud(4800);
    EXPECT_EQ(u->baudChange().step(), 200);
    EXPECT_EQ(u->buttons(), Buttons{}) << "no button while the switch is being changed";
    tick();
    EXPECT_EQ(u->baudChange().stepText(), "Setting Up.");
    EXPECT_EQ(u->baudChange().headline(), "Changing the BAUD rate to 4800.  Please Wait...");
    tick(6);
    EXPECT_FALSE(u->baudChange().running());
    EXPECT_EQ(sw.rate, 4800);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Baud rate changed to 4800 in attached time switch.");
    EXPECT_EQ(port->currentBaud(), 2400);
    EXPECT_EQ(u->buttons(), (Buttons{false, true, true, false, true}));

    view.answers = {true};
    u->changeSwitchBaud(2400);
    EXPECT_EQ(view.questions.back().text,
              "Would you like to change the baud rate in the connected time switch to 2400?");
    EXPECT_EQ(u->baudChange().step(), 100);
}

TEST_F(UtilitiesTest, ClosingTheDialogDuringAChangeRestoresTheRateAndStopsTheTick) {
    BaudSwitch sw{4800};
    device->script = sw.script();
    auto u = make(AttachedType::Qn510WithLr40);
    std::size_t running = timers.activeCount();
    view.answers = {true};
    u->changeSwitchBaud(2400);
    tick(3);
    EXPECT_TRUE(u->baudChange().running());
    EXPECT_TRUE(u->requestClose());
    EXPECT_FALSE(u->isOpen());
    EXPECT_EQ(timers.activeCount(), running - 1);
    EXPECT_FALSE(u->baudChange().running());
    EXPECT_EQ(port->currentBaud(), 2400);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "The baud rate change was cancelled.  The PC port is back at 2400 baud; the time "
              "switch may be at either rate.");
    EXPECT_TRUE(view.messages[0].warning);
}

TEST_F(UtilitiesTest, AfterTheSwitchChangedItsRateTheDialogOffersThePcTheSameRate) {
    for (bool accept : {true, false}) {
        SCOPED_TRACE(accept ? "Yes" : "No");
        BaudSwitch sw{kBaud2400};
        device->script = sw.script();
        profile.writeInt("Commo", "Baud", kBaud2400);
        port->reopen(kBaud2400);
        view = RecordingView{};
        auto u = make(AttachedType::Mx40WithLr40);
        view.answers = {true, accept};
        u->changeSwitchBaud(kBaud4800);
        tick(7);
        ASSERT_FALSE(u->baudChange().running());
        ASSERT_EQ(view.questions.size(), 2u);
        EXPECT_EQ(view.questions[1].text,
                  "The time switch now talks at 4800 baud.  Change the PC to the same rate?");
        EXPECT_EQ(u->configuredBaud(), accept ? kBaud4800 : kBaud2400);
        EXPECT_EQ(port->currentBaud(), accept ? kBaud4800 : kBaud2400);
        EXPECT_EQ(profile.getInt("Commo", "Baud", 0), accept ? kBaud4800 : kBaud2400);
    }
}

TEST_F(UtilitiesTest, AFailedChangeIsAWarningAndOffersNothing) {
    BaudSwitch sw{kBaud2400};
    sw.silent = true;
    device->script = sw.script();
    auto u = make(AttachedType::Mx40WithLr40);
    view.answers = {true};
    u->changeSwitchBaud(kBaud4800);
    tick(7);
    EXPECT_EQ(view.questions.size(), 1u);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "Baud rate change FAILURE.  Please check cabling and try again.");
    EXPECT_TRUE(view.messages[0].warning);
    EXPECT_EQ(port->currentBaud(), kBaud2400);
}

TEST_F(UtilitiesTest, ATypedDevicePathIsStoredAndUsedAndAMissingOneIsNamed) {
    auto u = make(AttachedType::Qn510);
    u->typeDevicePath("  /dev/pts/77 ");
    EXPECT_TRUE(u->portChangeUnverified());
    EXPECT_EQ(u->portChoices()[static_cast<std::size_t>(u->selectedPortIndex())],
              "/dev/pts/77  (as COM 1)");
    u->verifyPort();
    EXPECT_EQ(view.messages.back().text, "Comm port setup correctly.");
    EXPECT_EQ(profile.getString("Serial", "COM1", ""), "/dev/pts/77");
    EXPECT_EQ(device->openPaths.back(), "/dev/pts/77");
    EXPECT_TRUE(port->isSetUp());

    device->missingPaths.insert("/dev/pts/78");
    u->typeDevicePath("/dev/pts/78");
    u->verifyPort();
    EXPECT_EQ(view.messages.back().text,
              "The com port you selected is not available, or does not exist on your computer.  "
              "Make another selection.\n\nCOM 1 is /dev/pts/78.");
    EXPECT_TRUE(view.messages.back().warning);
    EXPECT_EQ(profile.getString("Serial", "COM1", ""), "/dev/pts/77") << "the old device stays";
    EXPECT_EQ(device->openPaths.back(), "/dev/pts/77") << "and is open again";

    // Typing the text of an entry chooses that entry.
    u->typeDevicePath(defaultEntry(3));
    EXPECT_EQ(u->selectedPortIndex(), indexOf(*u, "COM 3"));
}

TEST_F(UtilitiesTest, PortChoicesListFourPortsAndTheConfiguredOne) {
    profile.writeInt("Commo", "Port", 7);
    auto u = make(AttachedType::Qn510);
    EXPECT_EQ(u->portChoices(),
              (std::vector<std::string>{"Disabled", defaultEntry(1), defaultEntry(2),
                                        defaultEntry(3), defaultEntry(4), defaultEntry(7)}));
    EXPECT_EQ(u->selectedPortIndex(), 5);
}

TEST_F(UtilitiesTest, VerifyingAWorkingPortStoresItEverywhere) {
    auto u = make(AttachedType::Qn510);
    EXPECT_EQ(u->selectedPortIndex(), indexOf(*u, "COM 1"));
    u->choosePort(indexOf(*u, "COM 3"));
    EXPECT_TRUE(u->portChangeUnverified());
    EXPECT_TRUE(u->buttons().verifyPort);
    u->verifyPort();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Comm port setup correctly.");
    EXPECT_FALSE(u->portChangeUnverified());
    EXPECT_EQ(port->comNumber(), 3);
    EXPECT_EQ(profile.getInt("Commo", "Port", 0), 3);
    EXPECT_EQ(settings.radioPort, 3);
    EXPECT_NE(readFile(folder.file("profile.csv")).find("RadioPort,3"), std::string::npos);
    EXPECT_TRUE(u->requestClose()) << "nothing unverified is left";
    EXPECT_TRUE(view.questions.empty());
}

TEST_F(UtilitiesTest, VerifyingAMissingPortSaysSoAndKeepsTheOldPort) {
    device->missingPaths.insert(ComPortMap(&profile).devicePath(2));
    auto u = make(AttachedType::Qn510);
    u->choosePort(indexOf(*u, "COM 2"));
    u->verifyPort();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "The com port you selected is not available, or does not exist on your computer.  "
              "Make another selection.\n\nCOM 2 is " +
                  defaultDevice(2) + ".");
    EXPECT_TRUE(view.messages[0].warning);
    EXPECT_TRUE(u->portChangeUnverified());
    EXPECT_EQ(port->comNumber(), 1);
    EXPECT_TRUE(port->isSetUp());
    EXPECT_EQ(profile.getInt("Commo", "Port", 0), 0) << "nothing stored";

    view.answers = {false};
    EXPECT_FALSE(u->requestClose());
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text,
              "You have made changes to the comm port, but have not verified it.  Are you sure "
              "you want to exit ignoring these changes?");
    EXPECT_TRUE(u->isOpen());
    view.answers = {true};
    EXPECT_TRUE(u->requestClose());
    EXPECT_FALSE(u->isOpen());
}

TEST_F(UtilitiesTest, VerifyingDisabledClosesThePortAndSaysItIsDisabled) {
    auto u = make(AttachedType::Qn510);
    u->choosePort(indexOf(*u, "Disabled"));
    u->verifyPort();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "The com port is disabled.  You must select a valid com port for Quirn4Loader to "
              "work.");
    EXPECT_EQ(port->comNumber(), 0);
    EXPECT_FALSE(port->isSetUp());
    EXPECT_EQ(profile.getInt("Commo", "Port", -1), 0);
    EXPECT_EQ(u->portStatusText(), "PC Comm Port NOT Setup.");
    EXPECT_TRUE(u->buttons().verifyPort);
}

TEST_F(UtilitiesTest, MasterGroupsAreSwitchedAndChosenInTheSettings) {
    auto u = make(AttachedType::Qn510);
    EXPECT_FALSE(u->masterGroupsEnabled());
    EXPECT_EQ(u->masterGroupChoices().size(), 10u);
    EXPECT_EQ(u->masterGroupChoices().front(), "Master Group 1");
    EXPECT_EQ(u->masterGroupChoices().back(), "Master Group 10");
    u->chooseMasterGroup(4);
    EXPECT_EQ(u->currentMasterGroup(), 1) << "no master groups: always 1";
    u->setMasterGroupsEnabled(true);
    EXPECT_TRUE(u->masterGroupsEnabled());
    u->chooseMasterGroup(4);
    EXPECT_EQ(u->currentMasterGroup(), 4);
    std::string saved = readFile(folder.file("profile.csv"));
    EXPECT_NE(saved.find("HasMasterGroups,1"), std::string::npos);
    EXPECT_NE(saved.find("MasterGroup,4"), std::string::npos);
}

}  // namespace
}  // namespace quirn::test
