#include "tools/quirnctl/CheckCommand.h"

#include "plans/PlanCheck.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/JsonWriter.h"

namespace quirn::ctl {

namespace {

std::string findingsJson(const std::vector<PlanFinding>& findings) {
    JsonWriter json;
    json.beginObject().key("count").value(static_cast<long long>(findings.size()));
    json.key("findings").beginArray();
    for (const PlanFinding& f : findings) {
        json.beginObject();
        json.key("file").value(f.file).key("line").value(f.line).key("field").value(f.field);
        json.key("read").value(f.read).key("problem").value(f.problem);
        json.key("effect").value(f.effect);
        json.key("masterGroup").value(f.masterGroup).key("group").value(f.group);
        json.endObject();
    }
    json.endArray().endObject();
    return json.str();
}

}  // namespace

int runPlanCheck(const WorkingFolder& folder, bool json) {
    std::optional<std::vector<PlanFinding>> findings = checkWorkingFolder(folder);
    if (!findings) return fail("could not read the database files of " + folder.path());
    if (json)
        writeLine(findingsJson(*findings));
    else
        for (const PlanFinding& f : *findings) writeLine(findingLine(f));
    return findings->empty() ? kExitOk : kExitMismatch;
}

}  // namespace quirn::ctl
