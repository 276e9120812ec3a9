#include "loader/AttachedReport.h"

#include "loader/LoaderController.h"

namespace quirn {

namespace {

constexpr const char* kProgramIndent = "  ";

void addLine(std::string& report, const std::string& line, const char* indent = "") {
    if (line.empty()) return;
    report += indent;
    report += line;
    report += '\n';
}

}  // namespace

std::string attachedReport(const LoaderController& controller) {
    std::string report;
    addLine(report, controller.matchText());
    // The program lines sit under the result in the window; the indent keeps that shape.
    for (const std::string& line : controller.description()) addLine(report, line, kProgramIndent);
    addLine(report, controller.statusText());
    addLine(report, controller.sentLine());
    addLine(report, controller.clockLine());
    addLine(report, controller.clockOffsetLine());
    if (controller.portErrorVisible()) addLine(report, LoaderController::portErrorText());
    return report;
}

}  // namespace quirn
