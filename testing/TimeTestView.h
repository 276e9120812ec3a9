#pragma once
#include <string>

namespace quirn {

// What the testing window's logic asks of the window that draws it.
class TimeTestView {
  public:
    virtual ~TimeTestView() = default;
    // True for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
};

}  // namespace quirn
