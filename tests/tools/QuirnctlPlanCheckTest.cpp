// `quirnctl db check` over real working folders: a folder the station saved has no finding,
// and each kind of slip a technician makes in the CSV files is named with its file, line,
// field, what was read and what the station does with it.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "QuirnctlRunner.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::ToolRun;

std::time_t fixedNow() {
    return fromLocal(2026, 3, 18, 10, 15, 30);
}

int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

class PlanCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        PlanDatabase db;
        test::FleetShape shape{2, 3, 4, 9, 16, 12, 2, true, 5};
        test::generateFleet(db, shape, fixedNow());
        ASSERT_TRUE(saveDatabase(db, root.workingFolder(), fixedNow()));
    }
    ToolRun check(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"--root", root.path(), "db", "check"};
        args.insert(args.end(), extra.begin(), extra.end());
        return test::runQuirnctl(args, scratch.path());
    }
    // Appends lines to a database file; returns the line number of the first.
    int append(const char* name, const std::vector<std::string>& lines) {
        const std::string path = root.file(name);
        std::string text = test::readFile(path);
        const int first = lineCount(text) + 1;
        for (const std::string& line : lines) text += line + "\r\n";
        EXPECT_TRUE(test::writeFile(path, text));
        return first;
    }

    test::TempFolder root;
    test::TempFolder scratch;
};

TEST_F(PlanCheck, FolderTheStationSavedHasNoFinding) {
    ToolRun r = check();
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(PlanCheck, EverySlipIsNamedWithFileLineFieldAndWhatTheStationDoes) {
    const int steps = append("steps.csv", {
                                              "Step,1,40,7:15,3,1",   // +0 a time for minutes
                                              "Step,1,40,99999,3,0",  // +1 beyond a day
                                              "Step,1,40,1440,3,1",   // +2 a day exactly
                                              "Step,1,40,-5,3,1",     // +3 negative
                                              "Step,2,1,601,1,7",     // +4 neither ON nor OFF
                                              "step,1,1,500,1,1",     // +5 lower-case keyword
                                              "Step,12,1,500,1,1",    // +6 plan without steps
                                          });
    const int days = append("dayplan.csv", {
                                               "DayPlan,1,1,2,2027,2,30",              // +0
                                               "DayPlan,1,1,2,2027,13,45",             // +1
                                               "VacationPlan,1,1,2027,4,10,2027,4,3",  // +2
                                               "DayPlan,1,1,15,2027,5,5",              // +3
                                               "DayPlanDefault,9,1,1,2",               // +4
                                               "DayPlan,1,1,3,27,5,6",                 // +5
                                           });
    const int groups = append("groups.csv", {
                                                "Group,1,Jefferson, North Campus,5",  // +0
                                                "Group,1,Second Name,1",              // +1
                                                "Group,3,Empty School,40",            // +2
                                                "Group,1,Far Away,120",               // +3
                                                "Group,1,MOXBYRD,99",                 // +4
                                            });
    const int places =
        append("locations.csv", {
                                    "Location,1,1,School,Twice,1,127.0.0.2,0",            // +0
                                    "Location,2,1,School,Bad Address,50,127.0.0.300,1",   // +1
                                    "Location,2,1,School,Seven,51,127.0.0.1,7",           // +2
                                    "Location,2,1,School,Main St, North,52,127.0.0.2,0",  // +3
                                    "Ignore,1,1,77",                                      // +4
                                    "StriderTime,1,1,1,12",                               // +5
                                    "Location,1,1,School,Tail,7x,127.0.0.2,0",            // +6
                                    "Location,2,1,School,Every Link,53,0.0.0.0,1",        // +7
                                    "Location,2,1,School,Name Only,54,school-54,1",       // +8
                                });

    ToolRun r = check();
    EXPECT_EQ(r.exitCode, 1) << r.err;
    struct Expected {
        const char* file;
        int line;
        const char* field;
        const char* words;  // part of the problem and effect
    };
    const Expected expected[] = {
        {"steps.csv", steps + 0, "minutes \"7:15\"", "not a whole number; read as 7 (00:07)"},
        {"steps.csv", steps + 1, "minutes \"99999\"", "more than a day"},
        {"steps.csv", steps + 1, "minutes \"99999\"", "read as 10:39"},
        {"steps.csv", steps + 2, "minutes \"1440\"", "read as 00:00"},
        {"steps.csv", steps + 3, "minutes \"-5\"", "not programmed, and saved as -61"},
        {"steps.csv", steps + 4, "command \"7\"", "sent as OFF"},
        {"steps.csv", steps + 5, "keyword \"step\"", "(keywords are written \"Step\")"},
        {"steps.csv", steps + 6, "day plan \"12\"", "only day plans 1..9 hold steps"},
        {"dayplan.csv", days + 0, "date \"2027,2,30\"", "read as 02 March 2027"},
        {"dayplan.csv", days + 1, "date \"2027,13,45\"", "read as 14 February 2028"},
        {"dayplan.csv", days + 2, "end date \"2027,4,3\"", "the vacation covers no day"},
        {"dayplan.csv", days + 3, "day plan \"15\"", "is never defined"},
        {"dayplan.csv", days + 4, "weekday \"9\"", "the line is ignored"},
        {"dayplan.csv", days + 5, "year \"27\"", "read as the year 27"},
        {"groups.csv", groups + 0, "line \"Group,1,Jefferson, North Campus,5\"",
         "a comma in a name splits it"},
        {"groups.csv", groups + 1, "group \"1\"", "is named on line 1 already"},
        {"groups.csv", groups + 3, "group \"120\"", "the line is ignored"},
        {"locations.csv", places + 0, "location \"1\"",
         "keeps line 1's connection and model and takes this line's name and type"},
        {"locations.csv", places + 1, "connection \"127.0.0.300\"", "no message arrives"},
        {"locations.csv", places + 2, "model \"7\"", "is no time switch model"},
        {"locations.csv", places + 3, "line \"Location,2,1,School,Main St, North,52,127.0.0.2,0\"",
         "a comma in a name splits it"},
        {"locations.csv", places + 3, "location \" North\"", "the line is ignored"},
        {"locations.csv", places + 4, "location \"1,1,77\"", "names no location"},
        {"locations.csv", places + 5, "Strider time code \"12\"", "read as 0 (15 seconds)"},
        {"locations.csv", places + 6, "location \"7x\"", "not a whole number; read as 7"},
        {"locations.csv", places + 7, "connection \"0.0.0.0\"", "every link"},
        {"locations.csv", places + 8, "connection \"school-54\"", "nor an IPv4 address"},
        {"locations.csv", 0, "group \"3,40\"", "has no locations"},
    };
    for (const Expected& e : expected) {
        std::string head = std::string(e.file) + (e.line > 0 ? ":" + std::to_string(e.line) : "") +
                           ": " + e.field + ": ";
        bool found = false;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);)
            found = found || (line.rfind(head, 0) == 0 && line.find(e.words) != std::string::npos);
        EXPECT_TRUE(found) << head << "... " << e.words << "\nnot in:\n" << r.out;
    }
    // The group that only unlocks the loader's VORN TIME button needs no locations.
    EXPECT_EQ(r.out.find("\"1,99\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("steps.csv:" + std::to_string(steps) +
                         ": minutes \"7:15\": is not a whole number; read as 7 (00:07)\n"),
              std::string::npos);

    // The check says what the reader does: the station's own load agrees with it.
    PlanDatabase db;
    loadDatabase(db, root.workingFolder(), fixedNow());
    const Group* empty = db.findGroup(3, 40);
    ASSERT_NE(empty, nullptr);
    bool earlyStep = false, tenThirtyNine = false;
    for (const Step& s : empty->findDayPlan(1)->steps()) {
        earlyStep = earlyStep || (s.hour == 0 && s.minute == 7 && s.command == 1);
        tenThirtyNine = tenThirtyNine || (s.hour == 10 && s.minute == 39 && s.command == 0);
    }
    EXPECT_TRUE(earlyStep);
    EXPECT_TRUE(tenThirtyNine);
    const Group* g = db.findGroup(1, 1);
    ASSERT_NE(g, nullptr);
    bool secondOfMarch = false;
    for (const AnnualPlan& a : g->annualPlans())
        secondOfMarch = secondOfMarch || (a.date == fromLocal(2027, 3, 2) && a.plan == 2);
    EXPECT_TRUE(secondOfMarch);
}

TEST_F(PlanCheck, JsonListsTheSameFindingsAndTheFilesStayAsTheyWere) {
    append("steps.csv", {"Step,1,1,7:15,1,1", "Step,1,1,99999,1,0"});
    const std::string before = test::readFile(root.file("steps.csv"));
    ToolRun text = check();
    ToolRun json = check({"--json"});
    EXPECT_EQ(json.exitCode, 1) << json.err;
    std::smatch count;
    ASSERT_TRUE(std::regex_search(json.out, count, std::regex("^\\{\"count\":([0-9]+),")))
        << json.out;
    EXPECT_EQ(std::stoi(count[1]), lineCount(text.out));
    EXPECT_NE(json.out.find("\"read\":\"7:15\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"effect\":\"read as 7 (00:07)\""), std::string::npos) << json.out;
    EXPECT_EQ(test::readFile(root.file("steps.csv")), before);
}

TEST_F(PlanCheck, MissingFileIsAFindingAndAnUnreadableOneStopsTheCheck) {
    ASSERT_TRUE(removeFile(root.file("groups.csv")));
    ToolRun missing = check();
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("groups.csv: file: is missing; the station creates it empty"),
              std::string::npos)
        << missing.out;
    EXPECT_FALSE(fileExists(root.file("groups.csv"))) << "the check must not create it";

    // A folder in a file's place cannot be read as one.
    ASSERT_TRUE(makeFolder(root.file("groups.csv")));
    ToolRun unreadable = check();
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_NE(unreadable.err.find("could not read"), std::string::npos) << unreadable.err;
}

}  // namespace
}  // namespace quirn
