#include "calendar/com/HResult.h"

#include "platform/Format.h"

namespace quirn::com {

namespace {

struct Name {
    HResult code;
    const char* name;
};

// CONNECT_E_NOCONNECTION shares its value with SELFREG_E_TYPELIB; registration is where hosts
// print codes, so that name wins.
constexpr Name kNames[] = {
    {kOk, "S_OK"},
    {kFalse, "S_FALSE"},
    {kNotImplemented, "E_NOTIMPL"},
    {kNoInterface, "E_NOINTERFACE"},
    {kPointerError, "E_POINTER"},
    {kFail, "E_FAIL"},
    {kUnexpected, "E_UNEXPECTED"},
    {kOutOfMemory, "E_OUTOFMEMORY"},
    {kInvalidArg, "E_INVALIDARG"},
    {kMemberNotFound, "DISP_E_MEMBERNOTFOUND"},
    {kUnknownName, "DISP_E_UNKNOWNNAME"},
    {kBadParamCount, "DISP_E_BADPARAMCOUNT"},
    {kNoAggregation, "CLASS_E_NOAGGREGATION"},
    {kClassNotAvailable, "CLASS_E_CLASSNOTAVAILABLE"},
    {kSelfRegTypeLib, "SELFREG_E_TYPELIB"},
    {kSelfRegClass, "SELFREG_E_CLASS"},
};

}  // namespace

std::string hresultText(HResult hr) {
    const std::string hex = format("0x%08X", static_cast<unsigned>(hr));
    for (const Name& n : kNames)
        if (n.code == hr)
            return hr == kOk ? std::string(n.name) : std::string(n.name) + " (" + hex + ")";
    return hex;
}

}  // namespace quirn::com
