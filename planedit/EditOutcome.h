#pragma once
#include <string>

namespace quirn {

// What an edit did. A refused edit changed nothing; its refusal is a sentence for the
// technician ("Group 5 already exists in master group 1.").
struct EditOutcome {
    bool done = false;
    std::string refusal;
    // The number an add chose when it was asked for the lowest free one (a location added as
    // number 0, a summer plan's index); 0 otherwise.
    int number = 0;

    static EditOutcome accepted(int number = 0) { return {true, {}, number}; }
    static EditOutcome refused(std::string why) { return {false, std::move(why), 0}; }
    explicit operator bool() const { return done; }
};

}  // namespace quirn
