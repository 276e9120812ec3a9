#pragma once
#include <windows.h>

#include <cstring>

#include "calendar/com/Guid.h"

namespace quirn::activex {

// Our identifiers share the system's layout; the control's tables stay the one source of truth.
inline GUID toGuid(const com::Guid& g) {
    GUID out;
    static_assert(sizeof out == sizeof g);
    std::memcpy(&out, &g, sizeof out);
    return out;
}

inline bool sameGuid(REFIID a, const com::Guid& b) {
    const GUID g = toGuid(b);
    return IsEqualGUID(a, g) != 0;
}

}  // namespace quirn::activex
