#pragma once
#include <ctime>

namespace quirn {

class Group;
class PlanDatabase;
struct DatabaseTexts;

// The programming the tests write into the test group, group 1 of master group 1. Each call
// edits the group in memory; the test saves the database afterwards.
namespace test_programming {

inline constexpr int kDayPlans = 9;
inline constexpr int kSixteenSteps = 16;
inline constexpr int kFourSteps = 4;
inline constexpr int kStartMinutePairs = 6;

// Step k of day plan p of the sixteen-step plans falls at minute of day 60 + 15k + 2p: every
// step of every plan at its own minute, so a switch on the wrong plan is seen.
int sixteenStepMinute(int plan, int step);
// Step k of day plan p of the four-step plans falls at minute of day 60p + 15k.
int fourStepMinute(int plan, int step);
// Steps switch ON, OFF, ON, ... from step 0; every plan ends OFF.
bool stepTurnsOn(int step);
// The day plan of weekday w (1 = Sunday .. 7) in the default week of rotation s.
int rotationPlan(int rotation, int weekday);
// The start-minute plan's steps: ON at start + 240k (k 0..5) and OFF 15 minutes later, each
// wrapped into the day.
int startMinuteOnAt(int startMinute, int pair);
inline constexpr int kStartMinuteOnLength = 15;

// The test group, made when missing.
Group& testGroup(PlanDatabase& db);
// Removes the group's annual and vacation plans and every day plan, and puts day plan 1 on all
// seven days of its default week; the group is made when missing.
Group& resetTestGroup(PlanDatabase& db);
// resetTestGroup, then day plans 1 to 9 with sixteen steps each.
Group& resetToSixteenStepPlans(PlanDatabase& db);
// Day plans 1 to 9, four steps each.
void addFourStepPlans(Group& group);
void setRotationWeek(Group& group, int rotation);
// Day plan 1: the six ON/OFF pairs of a start minute.
void addStartMinutePlan(Group& group, int startMinute);
// Gives the test group back the programming the database texts hold for it (its name, day
// plans, default week, annual and vacation plans), as a load of those texts would; what the
// tests put there goes. Other groups are left as they are.
Group& restoreTestGroup(PlanDatabase& db, const DatabaseTexts& texts, std::time_t now);
// An annual plan giving the day holding `day` to `plan`.
void addAnnualPlanOn(Group& group, int plan, std::time_t day);

}  // namespace test_programming
}  // namespace quirn
