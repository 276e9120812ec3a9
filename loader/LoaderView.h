#pragma once
#include <string>

namespace quirn {

// What the loader and utilities controllers ask of the window that draws them: a beep, a
// Yes/No question and a message box (information or warning). Everything else the window reads from
// the controller after each tick or action; changed() says when to read again.
class LoaderView {
  public:
    virtual ~LoaderView() = default;
    virtual void beep() = 0;
    // True for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    // A message that something failed or was refused; shown as a message where no warning
    // exists.
    virtual void showWarning(const std::string& text, const std::string& caption) {
        showMessage(text, caption);
    }
    // Texts, lists or button states of the controller changed.
    virtual void changed() {}
};

// Caption of every message box of the loader and its utilities.
inline constexpr const char* kLoaderCaption = "Quirn Radio Software";

}  // namespace quirn
