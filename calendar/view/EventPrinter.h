#pragma once
#include <atomic>
#include <cstdio>
#include <string>

#include "calendar/com/Interfaces.h"

namespace quirn::vorncal {

// The text a host prints for one event of _DVornCalendarIIIEvents:
// "NewFocusTime 2025-03-14 ctrl=0x0001", "NewLiftTime 2025-03-14", or the id and arguments of
// an event it does not know.
std::string eventLine(com::DispId id, const com::DispParams& params);

// An event sink that prints every event as one line, flushed at once.
class EventPrinter final : public com::IDispatch {
  public:
    explicit EventPrinter(std::FILE* out) : out_(out) {}

    com::HResult QueryInterface(const com::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return ++refs_; }
    // The host owns the printer; the count only tells when the control has let go.
    std::uint32_t Release() override { return --refs_; }

    com::HResult GetIDsOfNames(const char* name, com::DispId* id) override;
    com::HResult Invoke(com::DispId id, const com::DispParams& params) override;

  private:
    std::FILE* out_;
    std::atomic<std::uint32_t> refs_{0};
};

}  // namespace quirn::vorncal
