#include "validationrun/RunCounts.h"

namespace quirn {

namespace {
struct OutcomeName {
    ReadOutcome outcome;
    const char* text;
};
constexpr OutcomeName kOutcomeNames[] = {
    {ReadOutcome::Passed, "validate passed"},
    {ReadOutcome::ValidateFailed, "validate failed"},
    {ReadOutcome::ConnectionFailed, "connection failed"},
    {ReadOutcome::PartialData, "partial data"},
    {ReadOutcome::Gone, "location deleted"},
};
}  // namespace

ReadOutcome outcomeOf(ReadState state) {
    switch (state) {
        case ReadState::ValidatePassed:
            return ReadOutcome::Passed;
        case ReadState::ValidateFailed:
            return ReadOutcome::ValidateFailed;
        case ReadState::PartialData:
            return ReadOutcome::PartialData;
        default:
            return ReadOutcome::ConnectionFailed;
    }
}

const char* outcomeText(ReadOutcome outcome) {
    for (const OutcomeName& n : kOutcomeNames)
        if (n.outcome == outcome) return n.text;
    return "";
}

void RunCounts::add(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::Passed:
            ++passed;
            return;
        case ReadOutcome::ValidateFailed:
            ++validateFailed;
            return;
        case ReadOutcome::ConnectionFailed:
            ++connectionFailed;
            return;
        case ReadOutcome::PartialData:
            ++partialData;
            return;
        case ReadOutcome::Gone:
            ++gone;
            return;
    }
}

std::string RunCounts::text() const {
    std::string out = std::to_string(read()) + " read: " + std::to_string(passed) + " passed, " +
                      std::to_string(validateFailed) + " validate failed, " +
                      std::to_string(connectionFailed) + " connection failed, " +
                      std::to_string(partialData) + " partial data, ";
    if (gone > 0) out += std::to_string(gone) + " deleted meanwhile, ";
    return out + std::to_string(skippedDisabled) + " skipped (validate disabled)";
}

}  // namespace quirn
