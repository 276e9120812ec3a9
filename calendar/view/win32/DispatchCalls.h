#pragma once
#include <oaidl.h>

#include <cstdint>
#include <initializer_list>

namespace quirn::vorncal {

// Calls a method of `target` by its name (looked up through GetIDsOfNames) with 16-bit integer
// arguments in the order the method lists them.
HRESULT callByName(IDispatch& target, const wchar_t* name,
                   std::initializer_list<std::int16_t> args);

}  // namespace quirn::vorncal
