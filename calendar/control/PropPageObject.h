#pragma once
#include <QPointer>
#include <atomic>

#include "calendar/com/Interfaces.h"
#include "calendar/control/Module.h"
#include "calendar/widget/CVornCalendarIIIPropPage.h"

namespace quirn::vorncal {

// The "General" property page as the host sees it: its caption and its window.
class PropPageObject final : public com::IPropertyPage, public com::IControlWindow {
  public:
    // Needs a running QApplication; kFail without one.
    static com::HResult create(const com::Guid& iid, void** out);

    com::HResult QueryInterface(const com::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override;

    com::HResult GetTitle(const char** title) override;
    com::HResult GetWindow(void** widget) override;

  private:
    PropPageObject();
    ~PropPageObject();

    ObjectCount count_;
    std::atomic<std::uint32_t> refs_{1};
    QPointer<CVornCalendarIIIPropPage> page_;
};

}  // namespace quirn::vorncal
