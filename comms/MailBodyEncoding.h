#pragma once
#include <string>
#include <string_view>

namespace quirn {

// How a plain-text body crosses a mail server that promises only 7-bit lines of at most 998
// characters (the client greets with HELO, so no 8BITMIME).
enum class BodyEncoding {
    SevenBit,         // printable ASCII in short lines: sent as written
    QuotedPrintable,  // anything else: a location name with accents, a very long line
};

BodyEncoding bodyEncodingFor(std::string_view body);
// The Content-Transfer-Encoding value: "7bit" or "quoted-printable".
const char* bodyEncodingName(BodyEncoding encoding);

// The body in quoted-printable: lines (ended by CR LF, LF or CR) come out ended by CR LF and
// cut by soft breaks to at most 76 characters; '=', bytes outside printable ASCII and a blank
// at the end of a line are written as "=XX".
std::string quotedPrintable(std::string_view body);

}  // namespace quirn
