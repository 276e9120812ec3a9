#pragma once
#include <functional>
#include <string>

#include "loader/LoaderView.h"

namespace quirn {

// What a window hands its controller: prompts go to the window's prompter (message boxes in
// the program, a recorder in tests), and every change makes the window draw again.
class WindowView final : public LoaderView {
  public:
    WindowView(LoaderView& prompts, std::function<void()> redraw)
        : prompts_(prompts), redraw_(std::move(redraw)) {}

    void beep() override { prompts_.beep(); }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        return prompts_.askYesNo(text, caption);
    }
    void showMessage(const std::string& text, const std::string& caption) override {
        prompts_.showMessage(text, caption);
        if (redraw_) redraw_();
    }
    void showWarning(const std::string& text, const std::string& caption) override {
        prompts_.showWarning(text, caption);
        if (redraw_) redraw_();
    }
    void changed() override {
        if (redraw_) redraw_();
    }

  private:
    LoaderView& prompts_;
    std::function<void()> redraw_;
};

}  // namespace quirn
