#pragma once
#include <cstdint>

namespace quirn::com {

// Result codes with the component model's values (names in comments), so that a Win32 backend
// can hand them on unchanged. Negative means failure.
using HResult = std::int32_t;

inline constexpr HResult hresult(std::uint32_t bits) {
    return static_cast<HResult>(bits);
}

inline constexpr HResult kOk = 0;                                   // S_OK
inline constexpr HResult kFalse = 1;                                // S_FALSE
inline constexpr HResult kNotImplemented = hresult(0x80004001);     // E_NOTIMPL
inline constexpr HResult kNoInterface = hresult(0x80004002);        // E_NOINTERFACE
inline constexpr HResult kPointerError = hresult(0x80004003);       // E_POINTER
inline constexpr HResult kFail = hresult(0x80004005);               // E_FAIL
inline constexpr HResult kUnexpected = hresult(0x8000FFFF);         // E_UNEXPECTED
inline constexpr HResult kOutOfMemory = hresult(0x8007000E);        // E_OUTOFMEMORY
inline constexpr HResult kInvalidArg = hresult(0x80070057);         // E_INVALIDARG
inline constexpr HResult kMemberNotFound = hresult(0x80020003);     // DISP_E_MEMBERNOTFOUND
inline constexpr HResult kUnknownName = hresult(0x80020006);        // DISP_E_UNKNOWNNAME
inline constexpr HResult kBadParamCount = hresult(0x8002000E);      // DISP_E_BADPARAMCOUNT
inline constexpr HResult kNoAggregation = hresult(0x80040110);      // CLASS_E_NOAGGREGATION
inline constexpr HResult kClassNotAvailable = hresult(0x80040111);  // CLASS_E_CLASSNOTAVAILABLE
inline constexpr HResult kSelfRegTypeLib = hresult(0x80040200);     // SELFREG_E_TYPELIB
inline constexpr HResult kSelfRegClass = hresult(0x80040201);       // SELFREG_E_CLASS
inline constexpr HResult kNoConnection = hresult(0x80040200);       // CONNECT_E_NOCONNECTION

inline constexpr bool succeeded(HResult hr) {
    return hr >= 0;
}
inline constexpr bool failed(HResult hr) {
    return hr < 0;
}

}  // namespace quirn::com

#include <string>

namespace quirn::com {

// "S_OK", "SELFREG_E_TYPELIB (0x80040200)", or the code in hexadecimal.
std::string hresultText(HResult hr);

}  // namespace quirn::com
