#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/DaySet.h"
#include "protocol/LogEntry.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/SentenceCommands.h"

namespace quirn {
namespace {

using Entry = Qn510Tables::Entry;
using Table = Qn510Tables::Table;

// A random group: up to nine day plans of up to 16 steps, a random default week and a few
// dated plans around today, with one QN510 and one LR40 location.
void randomGroup(PlanDatabase& db, std::mt19937& rng, std::time_t now) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Group& g = db.group(1, 1);
    int plans = pick(1, 9);
    for (int p = 1; p <= plans; ++p)
        for (int s = pick(0, 16); s > 0; --s)
            g.addStep(Step::atTime(1, 1, p, pick(0, 23), pick(0, 59), pick(0, 1)));
    for (int d = 1; d <= 7; ++d) g.setDefaultDay(d, pick(0, plans));
    LocalDateTime today = toLocal(now);
    for (int n = pick(0, 3); n > 0; --n) {
        LocalDateTime d = toLocal(fromLocal(today.year, today.month, today.day + pick(-3, 40), 12));
        g.addAnnualPlan(AnnualPlan::on(1, 1, pick(0, 1) ? kPlanHoliday : pick(1, plans), d.year,
                                       d.month, d.day));
    }
    if (pick(0, 1)) {
        LocalDateTime s = toLocal(fromLocal(today.year, today.month, today.day + pick(-6, 30), 12));
        LocalDateTime e = toLocal(fromLocal(s.year, s.month, s.day + pick(0, 12), 12));
        g.addVacationPlan(VacationPlan::over(1, 1, s.year, s.month, s.day, e.year, e.month, e.day));
    }
    Location qn(1, 1, 1);
    Location lr(1, 1, 2);
    lr.model = static_cast<int>(TimeSwitchModel::LR40);
    db.addLocation(qn);
    db.addLocation(lr);
}

// The default table a QN510 should hold after today's 'D', worked out from the plan records
// directly: every step of each weekday's plan, by minute, ON before OFF.
std::vector<Entry> expectedDefaultTable(const Group& g, std::time_t now) {
    std::map<std::pair<int, int>, uint8_t> masks;
    bool annualToday = g.annualPlanOn(now) || g.vacationCovering(now);
    for (int d = 1; d <= 7 && !annualToday; ++d) {
        const DayPlan* plan = g.findDayPlan(g.defaultWeek().day(d));
        if (plan == nullptr) continue;
        for (const Step& s : plan->steps())
            masks[{s.hour * 60 + s.minute, s.command == kCommandOn ? 0 : 1}] |=
                static_cast<uint8_t>(qn510DayBit(d));
    }
    std::vector<Entry> out;
    for (const auto& [key, days] : masks) {
        uint8_t hour = static_cast<uint8_t>(key.first / 60);
        if (key.second == 0) hour |= Qn510Tables::kOnBit;
        out.push_back({days, hour, static_cast<uint8_t>(key.first % 60)});
    }
    return out;
}

TEST(RoundTrip, WhatIsSentIsWhatValidates) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        PlanDatabase db;
        ManualClock clock(fromLocal(2026, 3, 16 + seed % 7, 6 + seed % 12, seed % 60, 10));
        randomGroup(db, rng, clock.now());
        test::FakeOverrides overrides;
        Settings settings;
        PlanDownload download(db, clock, settings, &overrides);
        Validation validation(download);
        ReadBack readBack(validation);
        Group& group = *db.findGroup(1, 1);

        // The texts a QN510 received, applied as the switch applies them.
        download.buildImage(group);
        std::vector<std::string> texts = download.pagedTexts(1, 1);
        ASSERT_FALSE(texts.empty()) << seed;
        Qn510Tables held = Qn510Tables::fresh(toLocal(clock.now()));
        for (const std::string& text : texts)
            for (const LogEntry& e : decodeText(text)) applyTo(e, held);

        Location& qn = *db.findLocation(1, 1, 1);
        EXPECT_EQ(held, validation.expectedQn510(qn)) << seed;
        EXPECT_EQ(Validation::normalised(held).entries(Table::Default),
                  expectedDefaultTable(group, clock.now()))
            << seed;

        // A switch holding exactly that, read now, validates.
        EXPECT_EQ(readBack.onReadData(qn, held.bytes().data(), held.bytes().size(), clock.now()),
                  1);
        EXPECT_EQ(validation.compare(qn), 0u) << seed;

        // An LR40 loaded with the station's sentence reads back as the same program.
        Location& lr = *db.findLocation(1, 1, 2);
        std::string sentence =
            ProgramSentenceCommand(1, 1, 2, download.imageFor(lr).bytes()).bytes();
        clock.advance(30);
        EXPECT_EQ(readBack.onReadData(lr, reinterpret_cast<const uint8_t*>(sentence.data()),
                                      sentence.size(), clock.now()),
                  1);
        EXPECT_EQ(validation.compare(lr), 0u) << seed;
    }
}

}  // namespace
}  // namespace quirn
