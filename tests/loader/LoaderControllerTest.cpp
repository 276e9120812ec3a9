#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/LoaderController.h"
#include "plans/PlanCheck.h"
#include "platform/LocalTime.h"
#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/RecordCommands.h"
#include "protocol/TimeCommands.h"
#include "tests/loader/LoaderFixture.h"

namespace quirn::test {
namespace {

using Mode = LoaderController::Mode;
using Match = LoaderController::Match;
using sim::SimModel;

constexpr const char* kPortMessage =
    "The serial port is not available.  If it is a USB device plug it back in and try again. ";

class LoaderTest : public LoaderFixture {
  protected:
    std::unique_ptr<LoaderController> make(AttachedType type) {
        profile.writeInt("Clock", "Type", static_cast<int>(type));
        auto c = std::make_unique<LoaderController>(services(), view);
        c->open();
        c->selectGroup(kMasterGroup, kGroup);
        return c;
    }
    std::string computerTime() { return formatLocal("%H:%M %A, %B %d, %Y.", clock.now()); }
    // Ticks until the loader is idle again (at most `limit`); the status texts seen on the way.
    std::vector<std::string> runUntilIdle(LoaderController& c, int limit = 20) {
        std::vector<std::string> seen;
        for (int i = 0; i < limit && c.mode() != Mode::Idle; ++i) {
            tick();
            seen.push_back(c.statusText());
        }
        return seen;
    }
    std::string lastWritten() {
        return device->written.empty() ? "" : device->written.back().bytes;
    }
};

TEST_F(LoaderTest, OpeningTakesTheProfileEntriesAndClosingStoresTypeAndMasterGroups) {
    profile.writeInt("Commo", "Port", 3);
    profile.writeInt("Commo", "Hmg", 1);
    profile.writeInt("Clock", "Type", 2);
    std::size_t timersBefore = timers.activeCount();
    LoaderController c(services(), view);
    c.open();
    EXPECT_EQ(settings.radioPort, 3);
    EXPECT_EQ(settings.hasMasterGroups, 1);
    EXPECT_EQ(c.type(), AttachedType::Mx40WithLr40);
    EXPECT_EQ(c.statusText(), "No Clock Data Read Yet");
    EXPECT_EQ(timers.activeCount(), timersBefore + 1);

    c.chooseType(AttachedType::Qn510WithLr40);
    settings.hasMasterGroups = 0;
    c.close();
    EXPECT_EQ(timers.activeCount(), timersBefore);
    EXPECT_EQ(profile.getInt("Clock", "Type", -1), 3);
    EXPECT_EQ(profile.getInt("Commo", "Hmg", -1), 0);
}

TEST_F(LoaderTest, AnUnknownStoredTypeOpensAsQn510) {
    profile.writeInt("Clock", "Type", 9);
    LoaderController c(services(), view);
    c.open();
    EXPECT_EQ(c.type(), AttachedType::Qn510);
}

struct TypeRateCase {
    AttachedType type;
    const char* button;
    int rateAfter;  // station port and stored rate when the port was at 4800
};

const TypeRateCase kTypeRates[] = {
    {AttachedType::Qn510, "QN510", 2400},
    {AttachedType::Mx40, "MX40", 2400},
    {AttachedType::Mx40WithLr40, "MX40 ( W LR40 )", 4800},
    {AttachedType::Qn510WithLr40, "QN510  ( W LR40 )", 4800},
};

class LoaderTypeRate : public LoaderTest, public ::testing::WithParamInterface<TypeRateCase> {};

TEST_P(LoaderTypeRate, ChoosingQn510OrMx40Sets2400AndStoresIt) {
    const TypeRateCase& c = GetParam();
    profile.writeInt("Commo", "Baud", 4800);
    port->reopen(4800);
    auto loader = make(AttachedType::Mx40WithLr40);
    loader->chooseType(c.type);
    EXPECT_STREQ(attachedTypeInfo(c.type).button, c.button);
    EXPECT_EQ(loader->type(), c.type);
    EXPECT_EQ(port->currentBaud(), c.rateAfter) << c.button;
    EXPECT_EQ(profile.getInt("Commo", "Baud", 0), c.rateAfter) << c.button;
}

INSTANTIATE_TEST_SUITE_P(Buttons, LoaderTypeRate, ::testing::ValuesIn(kTypeRates));

// What the protocol classes build for the group, the way the loader's buttons should send it.
struct CommandCase {
    AttachedType type;
    const char* what;
};

const CommandCase kCommandTypes[] = {
    {AttachedType::Qn510, "QN510"},
    {AttachedType::Mx40, "MX40"},
    {AttachedType::Mx40WithLr40, "MX40 with LR40"},
    {AttachedType::Qn510WithLr40, "QN510 with LR40"},
};

class LoaderCommands : public LoaderTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(LoaderCommands, ManualAndSendTimeSendWhatTheCommandClassesBuild) {
    const CommandCase& c = GetParam();
    auto loader = make(c.type);
    const Group& g = *db.findGroup(kMasterGroup, kGroup);
    bool paged = c.type == AttachedType::Qn510;

    ASSERT_TRUE(loader->manual(true));
    EXPECT_EQ(lastWritten(), paged ? ManualCommand(kMasterGroup, kGroup, 0, true, false).bytes()
                                   : BcdRelayCommand(kMasterGroup, kGroup, 0, 1).bytes())
        << c.what;
    ASSERT_TRUE(loader->manual(false));
    EXPECT_EQ(lastWritten(), paged ? manualCommand(g, false, false).bytes()
                                   : BcdRelayCommand(kMasterGroup, kGroup, 0, 0).bytes())
        << c.what;
    // Group 5, every location, relay OFF.
    if (paged) {
        EXPECT_EQ(lastWritten().substr(0, 8), "@M05000#");
    } else {
        EXPECT_EQ(lastWritten(), std::string("$M\x01\x05\x00\x00", 6));
    }

    ASSERT_TRUE(loader->sendTime());
    EXPECT_EQ(lastWritten(), paged ? timeToEveryone(db, clock, false).bytes()
                                   : BcdTimeCommand(0, 0, 0, clock).bytes())
        << c.what;
    EXPECT_EQ(loader->mode(), Mode::Idle);
    EXPECT_EQ(view.beeps, 0);
}

TEST_P(LoaderCommands, EveryButtonOnAVanishedPortBeepsShowsThePortMessageAndStaysIdle) {
    const CommandCase& c = GetParam();
    auto loader = make(c.type);
    device->vanished = true;
    EXPECT_FALSE(loader->read());
    EXPECT_FALSE(loader->write());
    EXPECT_FALSE(loader->manual(true));
    EXPECT_FALSE(loader->sendTime());
    EXPECT_EQ(view.beeps, 4);
    ASSERT_EQ(view.messages.size(), 4u);
    for (const auto& m : view.messages) {
        EXPECT_EQ(m.text, kPortMessage);
        EXPECT_EQ(m.caption, "Quirn Radio Software");
    }
    EXPECT_EQ(loader->mode(), Mode::Idle);
    EXPECT_EQ(loader->statusText(), "No Clock Data Read Yet");
    EXPECT_TRUE(loader->portErrorVisible());
    EXPECT_STREQ(LoaderController::portErrorText(),
                 "Serial Port Error.  Select new port or plug USB device in.");
}

INSTANTIATE_TEST_SUITE_P(Types, LoaderCommands, ::testing::ValuesIn(kCommandTypes));

TEST_F(LoaderTest, ButtonsThatAddressAGroupNeedOneSelected) {
    profile.writeInt("Clock", "Type", 0);
    LoaderController c(services(), view);
    c.open();
    EXPECT_FALSE(c.selectGroup(kMasterGroup, 42));
    EXPECT_FALSE(c.selectedGroup().has_value());
    EXPECT_FALSE(c.read());
    EXPECT_FALSE(c.write());
    EXPECT_FALSE(c.manual(true));
    EXPECT_TRUE(device->written.empty());
    EXPECT_TRUE(c.sendTime()) << "the time goes to everyone";
    ASSERT_TRUE(c.selectGroup(kMasterGroup, kGroup));
    EXPECT_EQ(c.selectedGroup()->name, "Elm Street");
    ASSERT_EQ(c.groups().size(), 1u);
    EXPECT_EQ(c.groups()[0].group, kGroup);
}

// A group whose lines the plan check found faults in is marked in the list, and Write asks
// before it sends what the station read; No sends nothing and says why.
TEST_F(LoaderTest, WriteAsksBeforeSendingAGroupWithPlanFindings) {
    db.group(1, 2).setName("Oak Avenue");
    DatabaseTexts texts;
    texts.groups = "Group,1,Elm Street,5\r\nGroup,1,Oak Avenue,2\r\n";
    texts.steps = "Step,1,5,7:15,1,1\r\nStep,1,5,510,1,0\r\nStep,1,2,420,1,1\r\n";
    texts.locations =
        "Location,5,1,School,Elm North,1,127.0.0.2,0\r\n"
        "Location,2,1,School,Oak East,1,127.0.0.2,0\r\n";
    texts.dayPlans = "";
    const std::vector<PlanFinding> findings = checkDatabaseTexts(texts);
    ASSERT_EQ(findings.size(), 1u);
    LoaderServices withFindings = services();
    withFindings.planFindings = &findings;
    profile.writeInt("Clock", "Type", 0);
    LoaderController c(withFindings, view);
    c.open();
    for (const auto& g : c.groups()) EXPECT_EQ(g.planFindings, g.group == kGroup ? 1 : 0);

    ASSERT_TRUE(c.selectGroup(kMasterGroup, kGroup));
    view.answers = {false};
    EXPECT_FALSE(c.write());
    EXPECT_TRUE(device->written.empty());
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_NE(view.questions[0].text.find("Elm Street,5 with 1 plan finding"), std::string::npos)
        << view.questions[0].text;
    EXPECT_NE(view.questions[0].text.find("steps.csv:1: minutes \"7:15\""), std::string::npos)
        << view.questions[0].text;
    EXPECT_NE(c.statusText().find("Nothing sent"), std::string::npos) << c.statusText();

    view.answers = {true};
    EXPECT_TRUE(c.write());
    EXPECT_FALSE(device->written.empty());
    runUntilIdle(c);

    // A group without findings is written without a question.
    ASSERT_TRUE(c.selectGroup(1, 2));
    EXPECT_TRUE(c.write());
    EXPECT_EQ(view.questions.size(), 2u);
}

TEST_F(LoaderTest, GroupsAreListedByTextUnlessTheProfileSaysByNumber) {
    db.group(1, 2).setName("Oak Avenue");
    db.group(2, 1).setName("Ash Lane");
    LoaderController c(services(), view);
    auto texts = [&c] {
        std::vector<std::string> out;
        for (const auto& g : c.groups()) out.push_back(g.text);
        return out;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"Ash Lane,1", "Elm Street,5", "Oak Avenue,2"}));
    profile.writeInt("Groups", "Sort", 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Oak Avenue,2", "Elm Street,5", "Ash Lane,1"}));
}

// Where the agency has master groups, two groups of the same name and number in different master
// groups must not look alike: the list, the result and the sent line name the master group.
TEST_F(LoaderTest, WithMasterGroupsTheListNamesTheMasterGroupOfEachGroup) {
    Group& other = db.group(2, kGroup);
    other.setName("Elm Street");
    other.addStep(Step::atTime(2, kGroup, 1, 6, 0, 1));
    other.setDefaultDay(2, 1);
    profile.writeInt("Commo", "Hmg", 1);
    attach(SimModel::QN510);
    auto loader = make(AttachedType::Qn510);
    std::vector<std::string> texts;
    for (const auto& g : loader->groups()) texts.push_back(g.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Elm Street,5 (master group 1)",
                                               "Elm Street,5 (master group 2)"}));
    ASSERT_TRUE(loader->manual(true));
    tick();
    EXPECT_EQ(loader->sentLine(), "Manual ON sent to group Elm Street,5 (master group 1).");

    // Without master groups the list stays as it always was.
    profile.writeInt("Commo", "Hmg", 0);
    loader->open();
    texts.clear();
    for (const auto& g : loader->groups()) texts.push_back(g.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Elm Street,5", "Elm Street,5"}));
}

// The computer's time beside what was read keeps time; the time of a failure stays put.
TEST_F(LoaderTest, TheComputerTimeAfterAReadKeepsTime) {
    attach(SimModel::QN510);
    auto loader = make(AttachedType::Qn510);
    ASSERT_TRUE(loader->read());
    runUntilIdle(*loader);
    ASSERT_TRUE(loader->lastRead().valid);
    EXPECT_EQ(loader->statusText(), "Computer Time 09:15 Monday, March 16, 2026.");
    constexpr int kTwoMinutesOfTicks = 2 * 60 * 2;
    const int changesBefore = view.changes;
    tick(kTwoMinutesOfTicks);
    EXPECT_EQ(loader->statusText(), "Computer Time 09:17 Monday, March 16, 2026.");
    EXPECT_LE(view.changes - changesBefore, 3) << "drawn again when the minute changes only";
}

TEST_F(LoaderTest, ReadingCountsSevenSecondsOnTheTickThenShowsTheFailureWithoutAReply) {
    auto loader = make(AttachedType::Qn510);
    ASSERT_TRUE(loader->read());
    EXPECT_EQ(lastWritten(), readCommand(*db.findGroup(kMasterGroup, kGroup), false).bytes());
    EXPECT_EQ(loader->mode(), Mode::Reading);
    EXPECT_FALSE(loader->read()) << "one job at a time";
    std::vector<std::string> seen = runUntilIdle(*loader);
    ASSERT_EQ(seen.size(), 14u);
    const std::vector<int> shown = {1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7};
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(seen[i], "Reading Data " + std::to_string(shown[i]) + " of 7 seconds");
    EXPECT_EQ(seen.back(), "Quirn Clock Read FAILED " + computerTime());
    EXPECT_EQ(clock.now(), kLoaderStart + 7);
    EXPECT_EQ(loader->match(), Match::None);
    EXPECT_TRUE(loader->description().empty());
    EXPECT_TRUE(loader->clockLine().empty());
}

TEST_F(LoaderTest, APortThatVanishesDuringAReadEndsItWithTheFailureTextOfTheType) {
    for (AttachedType type : {AttachedType::Qn510, AttachedType::Mx40}) {
        device->vanished = false;
        port->reopen(2400);
        auto loader = make(type);
        ASSERT_TRUE(loader->read());
        tick(5);
        device->vanished = true;
        runUntilIdle(*loader);
        EXPECT_EQ(loader->mode(), Mode::Idle);
        EXPECT_EQ(loader->statusText(), (type == AttachedType::Qn510 ? "Quirn Clock Read FAILED "
                                                                     : "MX40 Clock Read FAILED ") +
                                            computerTime());
        EXPECT_TRUE(loader->portErrorVisible());
    }
}

TEST_F(LoaderTest, WritingShowsItsProgressFromCountFourAndEndsWithNoClockData) {
    auto loader = make(AttachedType::Mx40);
    ASSERT_TRUE(loader->write());
    EXPECT_EQ(loader->statusText(), "Writing Data Start.");
    EXPECT_EQ(loader->mode(), Mode::Writing);
    std::vector<std::string> seen = runUntilIdle(*loader);
    ASSERT_EQ(seen.size(), 10u);
    const std::vector<int> shown = {3, 4, 4, 5, 5, 6, 6, 7, 7};
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(seen[i], "Writing Data " + std::to_string(shown[i]) + " of 7 seconds");
    EXPECT_EQ(seen.back(), "No Clock Data Read Yet");
}

struct FailCase {
    const char* what;
    AttachedType type;
    std::string reply;
    const char* failure;  // printf format of the status, %s the computer time
};

std::string marked776() {
    std::string raw(776, '\0');
    raw[3] = 'U';
    raw[775] = 'X';
    return raw;
}

const FailCase kFailures[] = {
    {"QN510 nothing", AttachedType::Qn510, "", "Quirn Clock Read FAILED %s"},
    {"QN510 garbage", AttachedType::Qn510, "hello", "Quirn Clock Read FAILED %s"},
    {"QN510 raw one byte long", AttachedType::Qn510, marked776() + "X",
     "Quirn Clock Read FAILED %s"},
    {"QN510 raw one byte short", AttachedType::Qn510, marked776().substr(1),
     "Quirn Clock Read FAILED %s"},
    {"MX40 nothing", AttachedType::Mx40, "", "MX40 Clock Read FAILED %s"},
    {"MX40 one byte short", AttachedType::Mx40, std::string(967, 'a'), "MX40 Clock Read FAILED %s"},
    {"MX40 one byte long", AttachedType::Mx40WithLr40, std::string(969, 'a'),
     "MX40 Clock Read FAILED %s"},
    {"MX40 size, no header", AttachedType::Qn510WithLr40, std::string(968, 'a'),
     "No Clock Data Read Yet"},
};

class LoaderReadFailure : public LoaderTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(LoaderReadFailure, ARepliesOfTheWrongSizeOrFormShowTheFailureTextOfItsType) {
    const FailCase& c = GetParam();
    auto loader = make(c.type);
    std::string reply = c.reply;
    device->script = [reply](const std::string&, int) { return reply; };
    ASSERT_TRUE(loader->read());
    runUntilIdle(*loader);
    char expected[200];
    std::snprintf(expected, sizeof expected, c.failure, computerTime().c_str());
    EXPECT_EQ(loader->statusText(), expected) << c.what;
    EXPECT_EQ(loader->lastRead().bytes, c.reply.size());
    EXPECT_FALSE(loader->lastRead().valid);
    EXPECT_EQ(loader->match(), Match::None);
    EXPECT_TRUE(loader->description().empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, LoaderReadFailure, ::testing::ValuesIn(kFailures));

struct RoundTripCase {
    AttachedType type;
    SimModel model;
    const char* computerFormat;
    bool rawQn510Image;  // the QN510 answers with its whole 776-byte memory
    // What the switch reported of its clock, and how far that is from the computer's.
    const char* clockLine;
    const char* offsetLine;
};

// A QN510 reports its weekday, hour and minute only; the program image carries a full clock,
// which the write set 4 seconds ahead for the line time the manual clock does not take here.
constexpr const char* kQn510Clock = "Clock Data read at 09:15 Monday.";
constexpr const char* kToTheMinute = "Switch clock agrees with the computer's to the minute.";
constexpr const char* kImageClock = "Clock Data read at 09:15.09 Monday, March 16, 2026.";
constexpr const char* kFourSecondsFast = "Switch clock 4 s fast.";

const RoundTripCase kRoundTrips[] = {
    {AttachedType::Qn510, SimModel::QN510, "Computer Time %s", false, kQn510Clock, kToTheMinute},
    {AttachedType::Qn510, SimModel::QN510, "Computer Time %s", true, kQn510Clock, kToTheMinute},
    {AttachedType::Mx40, SimModel::MX40, "Computer %s", false, kImageClock, kFourSecondsFast},
    {AttachedType::Mx40WithLr40, SimModel::MX40, "Computer %s", false, kImageClock,
     kFourSecondsFast},
    {AttachedType::Qn510WithLr40, SimModel::MX40, "Computer %s", false, kImageClock,
     kFourSecondsFast},
};

class LoaderRoundTrip : public LoaderTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(LoaderRoundTrip, AWrittenGroupReadsBackEqualAndAChangedGroupDiffers) {
    const RoundTripCase& c = GetParam();
    attach(c.model, {}, c.rawQn510Image);
    auto loader = make(c.type);

    ASSERT_TRUE(loader->write());
    runUntilIdle(*loader);
    ASSERT_TRUE(loader->read());
    runUntilIdle(*loader);
    char expected[200];
    std::snprintf(expected, sizeof expected, c.computerFormat, computerTime().c_str());
    EXPECT_EQ(loader->statusText(), expected);
    EXPECT_TRUE(loader->lastRead().valid);
    // The switch took the station's time with the write: its clock reads the same minute.
    EXPECT_EQ(loader->clockLine(), c.clockLine);
    EXPECT_EQ(loader->clockOffsetLine(), c.offsetLine);
    EXPECT_FALSE(loader->description().empty());
    EXPECT_EQ(loader->match(), Match::Matches);
    if (c.rawQn510Image) {
        EXPECT_EQ(loader->lastRead().bytes, 776u);
    }

    Group& g = *db.findGroup(kMasterGroup, kGroup);
    g.addStep(Step::atTime(kMasterGroup, kGroup, 1, 14, 10, 1));
    g.markProgrammingChanged();
    ASSERT_TRUE(loader->read());
    runUntilIdle(*loader);
    EXPECT_TRUE(loader->lastRead().valid);
    EXPECT_EQ(loader->match(), Match::Differs);

    ASSERT_TRUE(loader->write());
    runUntilIdle(*loader);
    ASSERT_TRUE(loader->read());
    runUntilIdle(*loader);
    EXPECT_EQ(loader->match(), Match::Matches) << "written again, equal again";
}

INSTANTIATE_TEST_SUITE_P(Types, LoaderRoundTrip, ::testing::ValuesIn(kRoundTrips));

TEST_F(LoaderTest, ProgramImageWritesAreTheGroupImageForLocationZero) {
    auto loader = make(AttachedType::Mx40);
    ASSERT_TRUE(loader->write());
    ProgramImage expected = download.buildImageFor(*db.findGroup(kMasterGroup, kGroup), 0);
    std::string sent = lastWritten();
    ASSERT_EQ(sent.size(), 968u);
    EXPECT_EQ(sent.substr(0, 956),
              std::string(reinterpret_cast<const char*>(expected.bytes().data()), 956));
}

TEST_F(LoaderTest, Qn510WritesAreTheTimeThenTheGroupsWeek) {
    auto loader = make(AttachedType::Qn510);
    ASSERT_TRUE(loader->write());
    const Group& g = *db.findGroup(kMasterGroup, kGroup);
    std::string time = timeToEveryone(db, clock, false).bytes();
    EXPECT_EQ(lastWritten(), time + download.defaultWeekText(g, 0, clock.now()) +
                                 download.specialWeekText(kMasterGroup, kGroup, 0, clock.now()));
    EXPECT_NE(lastWritten().find("@D0500AH0AiU#"), std::string::npos);
}

TEST_F(LoaderTest, VornTimeShowsOnlyForTheNamedGroup99OfMasterGroup1) {
    LoaderController c(services(), view);
    EXPECT_FALSE(c.vornTimeVisible());
    db.group(1, 99).setName("Group 99");
    EXPECT_FALSE(c.vornTimeVisible());
    db.group(1, 99).setName("MOXBYRD");
    EXPECT_TRUE(c.vornTimeVisible());
    db.group(2, 99).setName("MOXBYRD");
    db.group(1, 99).setName("moxbyrd");
    EXPECT_FALSE(c.vornTimeVisible());
}

}  // namespace
}  // namespace quirn::test
