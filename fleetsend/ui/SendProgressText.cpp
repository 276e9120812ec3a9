#include "fleetsend/ui/SendProgressText.h"

namespace quirn {

std::string sendStateLine(const SendProgress& p) {
    if (p.planning) return "Planning the send to " + p.selection.text() + "\u2026";
    if (p.prepared) return "Planned: press Send to send it, or Cancel.";
    if (p.stopping) return "Stopping: what is on its way is ending.";
    if (p.running) {
        std::string line = "Sending to " + p.selection.text() + ": " + std::to_string(p.done()) +
                           " of " + std::to_string(p.total) + " done";
        if (p.givenUp > 0) line += " (" + std::to_string(p.givenUp) + " given up)";
        return line + ".";
    }
    return "Ended.";
}

std::string sendCurrentLine(const SendProgress& p) {
    return p.current.empty() ? std::string() : "On its way: " + p.current;
}

}  // namespace quirn
