#pragma once
#include <string>
#include <string_view>

namespace quirn {

// Texts as a mail header can carry them: header fields are 7-bit ASCII, and in an address a
// display name made of more than letters, digits and blanks has to be quoted, or a mail program
// splits "Lee, Ann" into two recipients.

// True when text is well-formed UTF-8 (plain ASCII is).
bool isValidUtf8(std::string_view text);

// The charset a text is declared with: "UTF-8" when it is well-formed UTF-8, else
// "windows-1252" (what a Windows program writing the system's files would have used).
const char* charsetOf(std::string_view text);

// The text as encoded words ("=?UTF-8?B?...?="), each within the 75-character limit and never
// splitting a UTF-8 character, joined by a folded line break so that no header line gets long.
std::string encodedWords(std::string_view text);

// One recipient as the To header lists it. A name of letters, digits, blanks and the other
// characters an atom allows goes as written: "Ann Lee<ann@example.org>". A name with other
// printable ASCII characters is quoted ("\"Lee, Ann\" <ann@...>"), one with other bytes is
// encoded; a blank then separates it from the address. No name gives "<address>".
std::string mailboxText(std::string_view name, std::string_view address);

// An unstructured field (the subject): as written when it is printable ASCII, else encoded.
std::string unstructuredText(std::string_view text);

}  // namespace quirn
