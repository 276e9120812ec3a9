#pragma once
#include <cstdint>

#include "calendar/com/Guid.h"
#include "calendar/com/HResult.h"

namespace quirn {
class Clock;
}

// A small component model of our own, standing in for in-process COM: reference-counted objects
// reached through abstract interfaces, each named by a Guid. Every method returning an
// interface pointer has added a reference for the caller, who releases it.
namespace quirn::com {

using DispId = std::int32_t;

class IUnknown {
  public:
    // Puts an added reference to the interface `iid` in *out, or nullptr and kNoInterface.
    virtual HResult QueryInterface(const Guid& iid, void** out) = 0;
    // Both return the new count (for diagnostics only).
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

  protected:
    ~IUnknown() = default;  // objects go through Release, never delete
};

class IClassFactory : public IUnknown {
  public:
    // A new object of the factory's class. `outer` must be nullptr (no aggregation).
    virtual HResult CreateInstance(IUnknown* outer, const Guid& iid, void** out) = 0;
    // Keeps the module loaded (true) or lets it go (false), counted.
    virtual HResult LockServer(bool lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// The calendar needs a "today" that tests and hosts can fix. A factory of a class whose objects
// read the date offers this too; the clock must outlive the object created.
class IClockClassFactory : public IUnknown {
  public:
    virtual HResult CreateInstanceWithClock(const quirn::Clock* clock, const Guid& iid,
                                            void** out) = 0;

  protected:
    ~IClockClassFactory() = default;
};

// Arguments of a dispatch call: signed 16-bit integers in the order the method lists them.
struct DispParams {
    const std::int16_t* args = nullptr;
    std::uint32_t count = 0;
};

class IDispatch : public IUnknown {
  public:
    // The dispatch id of a method (or event) by name; kUnknownName when there is none.
    virtual HResult GetIDsOfNames(const char* name, DispId* id) = 0;
    // kMemberNotFound for an unknown id, kBadParamCount when the count is wrong.
    virtual HResult Invoke(DispId id, const DispParams& params) = 0;

  protected:
    ~IDispatch() = default;
};

class IConnectionPoint : public IUnknown {
  public:
    // The interface the sinks implement (the event dispinterface's id).
    virtual HResult GetConnectionInterface(Guid* iid) = 0;
    // Keeps a reference to the sink and calls its Invoke for every event until Unadvise.
    virtual HResult Advise(IDispatch* sink, std::uint32_t* cookie) = 0;
    // kNoConnection for a cookie not handed out (or already given back).
    virtual HResult Unadvise(std::uint32_t cookie) = 0;

  protected:
    ~IConnectionPoint() = default;
};

class IConnectionPointContainer : public IUnknown {
  public:
    // The connection point of an event interface; kNoConnection when the object has none.
    virtual HResult FindConnectionPoint(const Guid& iid, IConnectionPoint** out) = 0;

  protected:
    ~IConnectionPointContainer() = default;
};

// The object's window, for a host to place among its own. Here the "window handle" is the
// object's QWidget*; it lives until the object's last Release (or until a parent the host gave
// it deletes it first).
class IControlWindow : public IUnknown {
  public:
    virtual HResult GetWindow(void** widget) = 0;

  protected:
    ~IControlWindow() = default;
};

class IPropertyPage : public IUnknown {
  public:
    // The page's caption, a static text.
    virtual HResult GetTitle(const char** title) = 0;

  protected:
    ~IPropertyPage() = default;
};

// {00000000-0000-0000-C000-000000000046}: the identity every object answers to.
inline constexpr Guid kIidUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid kIidClassFactory{
    0x9c5ed769, 0x13fe, 0x48af, {0xaa, 0x41, 0x68, 0x50, 0x3b, 0x09, 0x86, 0x08}};
inline constexpr Guid kIidDispatch{
    0xe09b859d, 0xda6c, 0x4d6c, {0x9e, 0xfa, 0xa1, 0xf5, 0x52, 0x29, 0x33, 0x5e}};
inline constexpr Guid kIidConnectionPointContainer{
    0xd4fd3651, 0x504c, 0x409c, {0x86, 0xcd, 0x10, 0xb0, 0xd4, 0x07, 0x41, 0xfe}};
inline constexpr Guid kIidConnectionPoint{
    0x3116b5ca, 0xc75d, 0x4ba6, {0x97, 0xc7, 0x3d, 0x87, 0xe7, 0xa5, 0xe6, 0x66}};
inline constexpr Guid kIidControlWindow{
    0x2b94962d, 0x12ba, 0x47f9, {0x87, 0x9c, 0x77, 0x1c, 0xc0, 0xe8, 0xcc, 0x03}};
inline constexpr Guid kIidClockClassFactory{
    0xde893be6, 0xeaba, 0x4859, {0xb5, 0x28, 0x33, 0x61, 0x52, 0x9e, 0xd6, 0x0e}};
inline constexpr Guid kIidPropertyPage{
    0x302236e4, 0xf522, 0x4c41, {0x99, 0xb0, 0x89, 0xc1, 0x95, 0xcd, 0x6b, 0xb0}};

}  // namespace quirn::com
