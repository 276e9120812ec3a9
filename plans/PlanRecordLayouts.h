#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

namespace quirn {

// What a field of a database line holds, which decides how the check reads and judges it.
enum class FieldKind {
    MasterGroup,    // 1..10; a line out of range is ignored
    Group,          // 1..99; a line out of range is ignored
    Location,       // 1..99; a line out of range is ignored
    LocationOrAll,  // 0..99; 0 is every location
    StepPlan,       // day plan of a step: 0..19 read, only 1..9 kept and sent
    NamedPlan,      // day plan given a name: 0..19
    PlanChoice,     // the day plan a day gets: a day plan, the holiday or none
    Weekday,        // 1 = Sunday .. 7 = Saturday
    Minutes,        // minutes since midnight, or -61 for a step not programmed
    Command,        // 0 OFF, 1 ON
    DatePart,       // year, month or day: judged with its two neighbours
    TimePart,       // hour, minute or second: judged with its two neighbours
    Model,          // 0..3
    StriderCode,    // 0..9
    Text,           // any text without a comma
    Address,        // connection: the radio, the M2M client or an IPv4 address
};

struct FieldLayout {
    const char* name;
    FieldKind kind;
};

// The records the station reads; each file reads its own.
enum class RecordKind {
    DayPlan,
    VacationPlan,
    DayPlanName,
    DayPlanDefault,
    SpecialWeek,
    SpecialWeekEnd,
    Step,
    Group,
    Location,
    Ignore,
    Imsi,
    Version,
    StriderTime,
};

// How the reader recognises a line's keyword: the whole first field, or its first characters.
enum class KeywordMatch { Exact, Prefix };

struct RecordLayout {
    RecordKind kind;
    const char* keyword;
    KeywordMatch match;
    std::size_t requiredFields;       // fields, keyword included, a line needs to be read at all
    std::vector<FieldLayout> fields;  // after the keyword, in file order
};

// The database files the check reads, in the order the station loads them.
enum class DatabaseFileKind { DayPlans, Steps, Groups, Locations };

struct DatabaseFileLayout {
    DatabaseFileKind kind;
    const char* name;  // "dayplan.csv"
    std::vector<RecordLayout> records;
};

const std::vector<DatabaseFileLayout>& databaseFileLayouts();

// The layout the reader takes a line with this keyword as, or null when it ignores the line.
const RecordLayout* recordLayoutFor(const DatabaseFileLayout& file, std::string_view keyword);

}  // namespace quirn
