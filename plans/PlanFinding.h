#pragma once
#include <string>

namespace quirn {

// One thing in the database files that the station will read otherwise than a technician
// meant, or that will not reach a time switch as written.
struct PlanFinding {
    std::string file;     // "steps.csv"
    int line = 0;         // 1-based line of the file; 0 when the finding is about no single line
    std::string field;    // the field's name ("minutes"), or what the finding is about ("group")
    std::string read;     // the text as it stands in the file (or the numbers it is about)
    std::string problem;  // what is wrong with it
    std::string effect;   // what the station does with it
    // The group the finding belongs to, when its numbers are known (0 when not).
    int masterGroup = 0;
    int group = 0;
};

// "steps.csv:4: minutes "7:15": not a whole number; read as 7 (00:07)".
std::string findingLine(const PlanFinding& finding);

}  // namespace quirn
