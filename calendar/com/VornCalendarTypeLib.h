#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "calendar/com/Guid.h"
#include "calendar/com/Interfaces.h"

// The control's type library VORNCALENDARIIILib: identifiers, names and the members of its
// dispatch and event interfaces. Hosts and the module read the same table.
namespace quirn::vorncal {

using com::DispId;
using com::Guid;

inline constexpr const char* kTypeLibName = "VORNCALENDARIIILib";
inline constexpr const char* kTypeLibHelp = "VornCalendarIII Control module";
inline constexpr int kTypeLibMajor = 1;
inline constexpr int kTypeLibMinor = 0;
inline constexpr const char* kDispatchName = "_DVornCalendarIII";
inline constexpr const char* kEventsName = "_DVornCalendarIIIEvents";
inline constexpr const char* kCoClassName = "VornCalendarIII";
inline constexpr const char* kControlProgId = "VORNCALENDARIII.VornCalendarIIICtrl.1";
inline constexpr const char* kPropPageProgId = "VORNCALENDARIII.VornCalendarIIIPropPage.1";
inline constexpr const char* kControlDescription = "VornCalendarIII Control";
inline constexpr const char* kPropPageDescription = "VornCalendarIII Property Page";
// The OLE miscellaneous status bits the control class is registered with.
inline constexpr int kOleMiscRecomposeOnResize = 0x1;
inline constexpr int kOleMiscCantLinkInside = 0x10;
inline constexpr int kOleMiscInsideOut = 0x80;
inline constexpr int kOleMiscActivateWhenVisible = 0x100;
inline constexpr int kOleMiscSetClientSiteFirst = 0x20000;
inline constexpr int kMiscStatus = kOleMiscActivateWhenVisible | kOleMiscSetClientSiteFirst |
                                   kOleMiscInsideOut | kOleMiscCantLinkInside |
                                   kOleMiscRecomposeOnResize;
static_assert(kMiscStatus == 131473);
// The version the control's property exchange stores (1.0).
inline constexpr std::uint32_t kControlVersion = 0x10000;

inline constexpr Guid kLibId{
    0x69151bfd, 0x36e5, 0x469b, {0x89, 0x61, 0x73, 0x1e, 0xc8, 0xe6, 0x6f, 0x52}};
inline constexpr Guid kDiidDispatch{
    0xa5568a8d, 0x18ba, 0x4d7c, {0x8a, 0xe9, 0x85, 0x09, 0x07, 0xc0, 0xaa, 0x80}};
inline constexpr Guid kDiidEvents{
    0x929fe270, 0x5928, 0x419b, {0x85, 0x00, 0x73, 0x05, 0x2c, 0x3d, 0x51, 0xb0}};
inline constexpr Guid kClsidControl{
    0x6814bf2c, 0xb1dc, 0x490d, {0x80, 0xcf, 0xaf, 0x25, 0xdb, 0x94, 0xdb, 0x4b}};
inline constexpr Guid kClsidPropPage{
    0x5ce2601e, 0x0e12, 0x4c9e, {0x8e, 0x65, 0xc4, 0x65, 0x3b, 0x8e, 0xf5, 0xd0}};

// _DVornCalendarIII
inline constexpr DispId kDispEraseDayPlans = 1;
inline constexpr DispId kDispSetActivePlan = 2;
inline constexpr DispId kDispAddDayPlan = 3;
inline constexpr DispId kDispAboutBox = -552;  // DISPID_ABOUTBOX
// _DVornCalendarIIIEvents
inline constexpr DispId kEventNewFocusTime = 1;
inline constexpr DispId kEventNewLiftTime = 2;

struct Member {
    DispId id;
    const char* name;
    std::uint32_t argumentCount;
};

std::span<const Member> dispatchMembers();
std::span<const Member> eventMembers();
// The member of a table by id or by name (names compare without regard to case, as dispatch
// names do); nullptr when there is none.
const Member* findMember(std::span<const Member> members, DispId id);
const Member* findMember(std::span<const Member> members, std::string_view name);

}  // namespace quirn::vorncal
