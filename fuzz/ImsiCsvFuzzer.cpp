// imsi.csv from any text, parsed as it is (no file is read). Whatever it holds, no more IMSIs
// are read than the text has pieces of a line, none is empty or holds a comma; and the setups
// read, written out again as "agencyID" and "imsi" lines, read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "comms/ImsiList.h"
#include "platform/TextLines.h"

namespace {

// A line is read in pieces of ImsiList::kLineChunk characters.
std::size_t piecesOf(std::string_view text) {
    std::size_t pieces = 0;
    for (std::string_view line : quirn::splitLines(text))
        pieces += line.empty() ? 1
                               : (line.size() + quirn::ImsiList::kLineChunk - 1) /
                                     quirn::ImsiList::kLineChunk;
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quirn::ImsiList list;
    list.parse(text);
    if (list.imsis().size() > piecesOf(text)) std::abort();
    for (const std::string& imsi : list.imsis())
        if (imsi.empty() || imsi.find(',') != std::string::npos) std::abort();
    if (list.agencyId().find(',') != std::string::npos) std::abort();

    std::string written;
    if (list.agencyId() != quirn::ImsiList::kAgencyNotRead)
        written += "agencyID," + list.agencyId() + "\r\n";
    for (const std::string& imsi : list.imsis()) written += "imsi," + imsi + "\r\n";
    quirn::ImsiList again;
    again.parse(written);
    if (again.agencyId() != list.agencyId() || again.imsis() != list.imsis()) std::abort();
    return 0;
}
