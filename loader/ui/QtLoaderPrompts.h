#pragma once
#include "loader/LoaderView.h"

class QWidget;

namespace quirn {

// The loader's prompts as the program shows them: the system beep and message boxes over a
// parent window.
class QtLoaderPrompts final : public LoaderView {
  public:
    explicit QtLoaderPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void beep() override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void showMessage(const std::string& text, const std::string& caption) override;
    void showWarning(const std::string& text, const std::string& caption) override;

  private:
    QWidget* parent_;
};

}  // namespace quirn
