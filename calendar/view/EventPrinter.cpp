#include "calendar/view/EventPrinter.h"

#include <cstdio>

#include "calendar/com/VornCalendarTypeLib.h"
#include "platform/Format.h"

namespace quirn::vorncal {

using namespace quirn::com;

namespace {
constexpr std::uint32_t kDateArguments = 3;
}  // namespace

std::string eventLine(DispId id, const DispParams& params) {
    const Member* member = findMember(eventMembers(), id);
    if (member && params.args && params.count == member->argumentCount &&
        params.count >= kDateArguments) {
        std::string line = format("%s %04d-%02d-%02d", member->name, params.args[0], params.args[1],
                                  params.args[2]);
        if (id == kEventNewFocusTime)
            line += format(" ctrl=0x%04X",
                           static_cast<unsigned>(static_cast<std::uint16_t>(params.args[3])));
        return line;
    }
    std::string line = format("event %d", static_cast<int>(id));
    for (std::uint32_t i = 0; params.args && i < params.count; ++i)
        line += " " + std::to_string(params.args[i]);
    return line;
}

HResult EventPrinter::QueryInterface(const Guid& iid, void** out) {
    if (!out) return kPointerError;
    if (iid == kIidUnknown || iid == kIidDispatch || iid == kDiidEvents) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return kOk;
    }
    *out = nullptr;
    return kNoInterface;
}

HResult EventPrinter::GetIDsOfNames(const char* name, DispId* id) {
    if (!name || !id) return kPointerError;
    const Member* member = findMember(eventMembers(), name);
    if (!member) return kUnknownName;
    *id = member->id;
    return kOk;
}

HResult EventPrinter::Invoke(DispId id, const DispParams& params) {
    std::fprintf(out_, "%s\n", eventLine(id, params).c_str());
    std::fflush(out_);
    return kOk;
}

}  // namespace quirn::vorncal
