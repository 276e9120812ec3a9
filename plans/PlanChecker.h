#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "plans/PlanFinding.h"
#include "plans/PlanRecordLayouts.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"

namespace quirn {

// Reads the database files line by line as the station's reader does, noting what each
// line adds, then judges the records together (duplicates, plans used but not defined,
// groups without locations). Used through checkDatabaseTexts.
class PlanChecker {
  public:
    PlanChecker();
    void checkFile(const DatabaseFileLayout& file, std::string_view text);
    void missingFile(const DatabaseFileLayout& file);
    // The findings in file and line order, then those about groups as a whole.
    std::vector<PlanFinding> finish();

  private:
    using Fields = std::vector<std::string_view>;
    // The numbers that make two records the same, compared exactly.
    using RecordKey = std::array<int, 4>;
    struct RecordKeyHash {
        size_t operator()(const RecordKey& key) const;
    };
    using KeyedLines = std::unordered_map<RecordKey, int, RecordKeyHash>;

    // The line being checked and the numbers the reader takes from its fields.
    struct Line {
        const DatabaseFileLayout* file = nullptr;
        int number = 0;
        std::string_view text;
        const Fields* fields = nullptr;
        const RecordLayout* layout = nullptr;
        std::vector<int> values;  // values[i] is field i as the reader reads it (0 for texts)
        int masterGroup = 0;
        int group = 0;

        std::string_view raw(size_t i) const { return (*fields)[i]; }
        int value(size_t i) const { return values[i]; }
        size_t count() const { return fields->size(); }
    };

    struct GroupFacts {
        bool exists = false;
        bool vornTimeMarker = false;  // the group that unlocks the loader's "VORN TIME"
        int namedLine = 0;            // its "Group" line in groups.csv
        int locations = 0;
        std::bitset<kMaxUserDayPlan + 1> planHasSteps;
        std::bitset<kMaxUserDayPlan + 1> planNamed;
        std::array<int, kSaturday + 1> defaultDayLine{};  // its "DayPlanDefault" line per weekday
        std::array<int, kMaxUserDayPlan + 1> nameLine{};
        int specialWeekLine = 0;
    };
    struct LocationFacts {
        int line = 0;  // its first "Location" line
        bool throughM2M = false;
    };
    struct StepSeen {
        int minute;  // -1 for a step that is not programmed
        int command;
        int line;
    };
    // A day plan that a line gives a day, judged once every plan is known.
    struct PlanUse {
        const char* file;
        int line;
        int masterGroup;
        int group;
        int plan;
        const char* field;
    };
    // A locations.csv line of the second pass, judged once every location is known.
    struct LocationReference {
        int line;
        int key;
        RecordKind kind;
        std::string imsi;
    };

    // Field checks (PlanFieldChecks.cpp). Each returns false when the reader ignores the line.
    bool checkFieldCount(const Line& line);
    bool checkField(Line& line, size_t index);
    void checkNumberText(const Line& line, size_t index);
    bool checkRange(const Line& line, size_t index);
    void checkAddress(const Line& line, size_t index);
    bool checkDate(const Line& line, size_t first, const char* label);
    void checkSpecialWeekEnd(const Line& line);
    void checkVacationOrder(const Line& line);

    // What a line adds (PlanChecker.cpp).
    void checkLine(const DatabaseFileLayout& file, int number, std::string_view text,
                   const Fields& fields);
    void noteRecord(const Line& line);
    void noteStep(const Line& line);
    void noteLocation(const Line& line);
    void noteAnnualPlan(const Line& line);
    void noteDuplicate(const Line& line, KeyedLines& seen, const RecordKey& key, const char* what,
                       const std::string& effect);
    void usePlan(const Line& line, int plan, const char* field);
    void judgeLocationReferences();
    void judgePlanUses();
    void judgeGroups();

    void add(const Line& line, const char* field, std::string_view read, std::string problem,
             std::string effect);
    void addAbout(const char* file, int line, int masterGroup, int group, const char* field,
                  std::string read, std::string problem, std::string effect);
    GroupFacts& groupFacts(int masterGroup, int group);

    std::vector<PlanFinding> findings_;
    std::vector<int> fileOrder_;  // of each finding, for the final order
    int currentFile_ = 0;
    std::vector<GroupFacts> groups_;
    std::vector<LocationFacts> locations_;
    std::vector<PlanUse> planUses_;
    std::vector<LocationReference> references_;
    LocalDayCache days_;
    std::vector<std::vector<StepSeen>> planSteps_;  // the steps kept, per group and day plan
    KeyedLines annualLines_;                        // group and date -> line
    KeyedLines vacationLines_;                      // group and range -> line
};

}  // namespace quirn
