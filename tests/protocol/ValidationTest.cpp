#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/LogEntry.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadState.h"
#include "protocol/Validation.h"

namespace quirn {
namespace {

namespace pi = program_image;
using Entry = Qn510Tables::Entry;
using Table = Qn510Tables::Table;

// Wednesday 18 March 2026, 10:15:30 local time.
std::time_t wednesday() {
    return fromLocal(2026, 3, 18, 10, 15, 30);
}

class ValidationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& g = db.group(1, 1);
        g.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
        g.addStep(Step::atTime(1, 1, 1, 8, 30, kCommandOff));
        g.addStep(Step::atTime(1, 1, 2, 9, 0, kCommandOn));
        for (int model = 0; model <= 3; ++model) {
            Location l(1, 1, model + 1);
            l.model = model;
            db.addLocation(l);
        }
    }
    Location& at(TimeSwitchModel m) { return *db.findLocation(1, 1, static_cast<int>(m) + 1); }

    // A QN510 holding exactly what the station sent, its clock at `clockTime`.
    std::unique_ptr<Qn510Image> qn510Holding(std::time_t clockTime) {
        download.buildImage(*db.findGroup(1, 1));
        Qn510Tables tables = Qn510Tables::fresh(toLocal(clockTime));
        for (const std::string& text : download.pagedTexts(1, 1))
            for (const LogEntry& e : decodeText(text)) applyTo(e, tables);
        return std::make_unique<Qn510Image>(tables, clock.now());
    }
    // An MX40 holding the image built for it, its clock moved by `offset` seconds.
    std::unique_ptr<ProgramImage> imageHolding(Location& l, long offset = 0) {
        auto image = std::make_unique<ProgramImage>(download.imageFor(l));
        image->writeClock(clock.now() + offset);
        return image;
    }
    unsigned compareWith(Location& l, std::unique_ptr<ReadBackImage> image) {
        l.image.reset(std::move(image));
        l.lastReadTime = clock.now();
        return validation.compare(l);
    }

    PlanDatabase db;
    ManualClock clock{wednesday()};
    test::FakeOverrides overrides;
    test::FakeSummer summer;
    Settings settings;
    PlanDownload download{db, clock, settings, &overrides, &summer};
    Validation validation{download};
};

TEST(ClockCheck, TwoMinutesEitherWayIsWrong) {
    const std::time_t read = wednesday();
    struct Row {
        long offset;
        bool wrong;
    };
    const Row rows[] = {{0, false},   {119, false}, {120, true},  {-119, false},
                        {-120, true}, {59, false},  {-60, false}, {3600, true}};
    for (const Row& r : rows)
        EXPECT_EQ(Validation::clockWrong(read + r.offset, read), r.wrong) << r.offset;
    EXPECT_TRUE(Validation::clockWrong(neverTime(), read));
}

TEST_F(ValidationTest, ImageModelWithItsOwnImageValidates) {
    Location& mx = at(TimeSwitchModel::MX40);
    EXPECT_EQ(compareWith(mx, imageHolding(mx)), 0u);
    EXPECT_EQ(compareWith(mx, imageHolding(mx, 119)), 0u);
    EXPECT_EQ(compareWith(mx, imageHolding(mx, -119)), 0u);
    EXPECT_EQ(compareWith(mx, imageHolding(mx, 120)), kClockWrong);
    EXPECT_EQ(compareWith(mx, imageHolding(mx, -120)), kClockWrong);
    EXPECT_EQ(compareWith(mx, nullptr), kProgramMismatch | kClockWrong);
    EXPECT_EQ(compareWith(mx, qn510Holding(clock.now())), kProgramMismatch | kClockWrong);
}

TEST_F(ValidationTest, RelayByteOfAStepIsNotCompared) {
    Location& mx = at(TimeSwitchModel::MX40);
    auto image = imageHolding(mx);
    image->bytes()[pi::slotOffset(1) + 2] = 0;  // 07:00 ON read back as OFF
    image->bytes()[pi::slotOffset(1) + 3] = 9;
    EXPECT_EQ(compareWith(mx, std::move(image)), 0u);
    image = imageHolding(mx);
    image->bytes()[pi::slotOffset(1) + 1] = 0x01;  // 07:01
    EXPECT_EQ(compareWith(mx, std::move(image)), kProgramMismatch);
    image = imageHolding(mx);
    image->bytes()[pi::kDefaultWeek] = 5;
    EXPECT_EQ(compareWith(mx, std::move(image)), kProgramMismatch);
}

TEST_F(ValidationTest, AddressOfTheImage) {
    Location& mx = at(TimeSwitchModel::MX40);
    auto image = imageHolding(mx);
    image->setLocation(0);  // loaded group-wide
    EXPECT_EQ(compareWith(mx, std::move(image)), 0u);
    image = imageHolding(mx);
    image->setLocation(7);
    EXPECT_EQ(compareWith(mx, std::move(image)), kProgramMismatch);
    image = imageHolding(mx);
    image->bytes()[pi::kAddress + 1] = 0x02;
    EXPECT_EQ(compareWith(mx, std::move(image)), kProgramMismatch);
}

TEST_F(ValidationTest, AnnualPlansCompareDayByDayWithinTheHorizon) {
    Location& mx = at(TimeSwitchModel::MX40);
    // Two entries written differently but giving the same days compare equal.
    db.findGroup(1, 1)->addVacationPlan(VacationPlan::over(1, 1, 2026, 4, 6, 2026, 4, 10));
    db.findGroup(1, 1)->markProgrammingChanged();
    auto image = imageHolding(mx);
    LocalDateTime a = toLocal(fromLocal(2026, 4, 6)), b = toLocal(fromLocal(2026, 4, 8));
    LocalDateTime c = toLocal(fromLocal(2026, 4, 9)), d = toLocal(fromLocal(2026, 4, 10));
    image->writeAnnual(0, a, b, 0);
    image->writeAnnual(1, c, d, 0);
    EXPECT_EQ(compareWith(mx, std::move(image)), 0u);

    // An entry starting 446 days ahead lies beyond the horizon; 445 days ahead does not.
    LocalDateTime beyond = toLocal(fromLocal(2027, 6, 7));  // day 446
    LocalDateTime inside = toLocal(fromLocal(2027, 6, 4));  // day 443, a Friday
    image = imageHolding(mx);
    image->writeAnnual(1, beyond, beyond, 3);
    EXPECT_EQ(compareWith(mx, std::move(image)), 0u);
    image = imageHolding(mx);
    image->writeAnnual(1, inside, inside, 3);
    EXPECT_EQ(compareWith(mx, std::move(image)), kProgramMismatch);
}

TEST_F(ValidationTest, Qn510WithWhatWasSentValidates) {
    Location& qn = at(TimeSwitchModel::QN510);
    EXPECT_EQ(compareWith(qn, qn510Holding(clock.now())), 0u);
    // Hour and minute right, weekday wrong: the clock alone fails.
    auto image = qn510Holding(clock.now());
    image->tables().bytes()[Qn510Tables::kWeekday] = 5;
    EXPECT_EQ(compareWith(qn, std::move(image)), kClockWrong);
    // Two minutes behind.
    EXPECT_EQ(compareWith(qn, qn510Holding(clock.now() - 120)), kClockWrong);
    EXPECT_EQ(compareWith(qn, qn510Holding(clock.now() - 60)), 0u);
    // The override table and flag bit 1 are not compared; the alternate flag is.
    image = qn510Holding(clock.now());
    image->tables().setFlags(Qn510Tables::kOverrideActive);
    image->tables().writeTable(Table::Override, {{0x7F, 0x85, 0}});
    EXPECT_EQ(compareWith(qn, std::move(image)), 0u);
    image = qn510Holding(clock.now());
    image->tables().setFlags(Qn510Tables::kAlternateActive);
    EXPECT_EQ(compareWith(qn, std::move(image)), kProgramMismatch);
}

TEST_F(ValidationTest, StriderConfirmationAndDelayCode) {
    Location& strider = at(TimeSwitchModel::Strider);
    EXPECT_EQ(compareWith(strider, qn510Holding(clock.now())), 0u);
    strider.passwayConfirm = true;
    EXPECT_EQ(compareWith(strider, qn510Holding(clock.now())), kStriderUnconfirmed);
    strider.passwayConfirm = false;
    strider.setStriderTimeCode(3);
    EXPECT_EQ(compareWith(strider, qn510Holding(clock.now())), kStriderUnconfirmed);
    strider.setConfirmedStriderTimeCode(3);
    EXPECT_EQ(compareWith(strider, qn510Holding(clock.now())), 0u);
}

TEST(Qn510Normalising, SameStepsInAnotherOrderOrSplit) {
    Qn510Tables a = Qn510Tables::fresh(toLocal(wednesday()));
    Qn510Tables b = a;
    a.writeTable(Table::Default, {{0x3E, 0x87, 0}, {0x3E, 0x08, 30}, {0x41, 0x89, 0}});
    // Monday..Friday split in two entries, listed out of order, OFF before ON.
    b.writeTable(Table::Default,
                 {{0x41, 0x89, 0}, {0x3E, 0x08, 30}, {0x06, 0x87, 0}, {0x38, 0x87, 0}});
    EXPECT_TRUE(Validation::tablesMatch(a, b));
    EXPECT_EQ(Validation::normalised(b).entries(Table::Default),
              (std::vector<Entry>{{0x3E, 0x87, 0}, {0x3E, 0x08, 30}, {0x41, 0x89, 0}}));
    // ON and OFF at one minute: ON first.
    b.writeTable(Table::Alternate, {{0x01, 0x05, 0}, {0x01, 0x85, 0}});
    EXPECT_EQ(Validation::normalised(b).entries(Table::Alternate),
              (std::vector<Entry>{{0x01, 0x85, 0}, {0x01, 0x05, 0}}));
    EXPECT_FALSE(Validation::tablesMatch(a, b));
    b.clearTable(Table::Alternate);
    b.writeTable(Table::Default, {{0x3E, 0x87, 0}, {0x3E, 0x08, 31}, {0x41, 0x89, 0}});
    EXPECT_FALSE(Validation::tablesMatch(a, b));
}

TEST_F(ValidationTest, SummerPlanReplacesTheWeekInTheExpectedImage) {
    Location& qn = at(TimeSwitchModel::QN510);
    summer.steps[{1, 1, 1}] = {SummerStep{9, 0, 12, 0}};
    Qn510Tables expected = validation.expectedQn510(qn);
    EXPECT_EQ(expected.entries(Table::Alternate),
              (std::vector<Entry>{{0x3E, 0x89, 0}, {0x3E, 0x0C, 0}}));
    EXPECT_EQ(expected.flags() & Qn510Tables::kAlternateActive, Qn510Tables::kAlternateActive);
    summer.inEffect = false;
    EXPECT_TRUE(validation.expectedQn510(qn).entries(Table::Alternate).empty());
}

TEST_F(ValidationTest, RevalidateMovesOnlyBetweenPassedAndFailed) {
    Location& mx = at(TimeSwitchModel::MX40);
    mx.image.reset(imageHolding(mx));
    mx.lastReadTime = clock.now();
    setReadState(mx, ReadState::ConnectionFailed, clock.now());
    EXPECT_EQ(validation.revalidate(mx), 1u);
    EXPECT_EQ(mx.readState, static_cast<int>(ReadState::ConnectionFailed));
    setReadState(mx, ReadState::ValidateFailed, clock.now());
    EXPECT_EQ(validation.revalidate(mx), 0u);
    EXPECT_EQ(mx.readState, static_cast<int>(ReadState::ValidatePassed));
    clock.advance(600);  // the clock read back is now ten minutes old
    EXPECT_EQ(validation.revalidate(mx), 0u);
    db.findGroup(1, 1)->addStep(Step::atTime(1, 1, 1, 18, 0, kCommandOn));
    db.findGroup(1, 1)->markProgrammingChanged();
    EXPECT_EQ(validation.revalidate(mx), kProgramMismatch);
    EXPECT_EQ(mx.readState, static_cast<int>(ReadState::ValidateFailed));
}

}  // namespace
}  // namespace quirn
