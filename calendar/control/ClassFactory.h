#pragma once
#include <atomic>

#include "calendar/com/Interfaces.h"
#include "calendar/control/Module.h"

namespace quirn::vorncal {

// The class factory of one class: makes its objects, and for a class that reads the date, also
// with a clock the host chooses.
class ClassFactory final : public com::IClassFactory, public com::IClockClassFactory {
  public:
    using Creator = com::HResult (*)(const Clock& clock, const com::Guid& iid, void** out);

    // The factory of `clsid` as interface `iid`; kClassNotAvailable for a class not ours.
    static com::HResult create(const com::Guid& clsid, const com::Guid& iid, void** out);

    com::HResult QueryInterface(const com::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override;

    com::HResult CreateInstance(com::IUnknown* outer, const com::Guid& iid, void** out) override;
    com::HResult LockServer(bool lock) override;
    com::HResult CreateInstanceWithClock(const Clock* clock, const com::Guid& iid,
                                         void** out) override;

  private:
    ClassFactory(Creator creator, bool readsClock) : creator_(creator), readsClock_(readsClock) {}
    ~ClassFactory() = default;

    ObjectCount count_;
    std::atomic<std::uint32_t> refs_{1};
    Creator creator_;
    bool readsClock_;
};

}  // namespace quirn::vorncal
