#pragma once
#include <deque>
#include <string>
#include <vector>

#include "loader/LoaderView.h"

namespace quirn::test {

// A window stand-in: counts beeps, records questions and messages (and which were warnings), and
// answers questions from a queue (No when the queue is empty).
class RecordingView final : public LoaderView {
  public:
    struct Shown {
        std::string text;
        std::string caption;
        bool warning = false;
    };
    void beep() override { ++beeps; }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption});
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption, false});
    }
    void showWarning(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption, true});
    }
    void changed() override { ++changes; }

    int beeps = 0;
    int changes = 0;
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::deque<bool> answers;
};

}  // namespace quirn::test
