#include "plans/PlanFinding.h"

namespace quirn {

std::string findingLine(const PlanFinding& f) {
    std::string out = f.file;
    if (f.line > 0) out += ":" + std::to_string(f.line);
    out += ": " + f.field;
    if (!f.read.empty() || f.line > 0) out += " \"" + f.read + "\"";
    out += ": " + f.problem;
    if (!f.effect.empty()) out += "; " + f.effect;
    return out;
}

}  // namespace quirn
