// Display names and subjects as a header carries them: plain names as written, others quoted
// or encoded, every encoded word within its limit and whole characters.
#include <gtest/gtest.h>

#include <string>

#include "comms/MailHeaderText.h"

namespace quirn {
namespace {

TEST(MailHeaderText, NamesAreQuotedOrEncodedOnlyWhenTheyNeedIt) {
    struct Case {
        const char* name;
        const char* mailbox;
    };
    const Case cases[] = {
        {"Ann Lee", "Ann Lee<ann@example.org>"},
        {"Ann Lee ", "Ann Lee <ann@example.org>"},
        {"", "<ann@example.org>"},
        {"  ", "<ann@example.org>"},
        {"Lee, Ann", "\"Lee, Ann\" <ann@example.org>"},
        {"J. Smith", "\"J. Smith\" <ann@example.org>"},
        {"Say \"hi\" \\o/", "\"Say \\\"hi\\\" \\\\o/\" <ann@example.org>"},
        {"=?x?", "\"=?x?\" <ann@example.org>"},
        {"J\xC3\xBCrgen", "=?UTF-8?B?SsO8cmdlbg==?= <ann@example.org>"},
        // Plain words stay plain; the others are encoded in one run with the blank between.
        {"J\xC3\xBCrgen M\xC3\xBCller Field",
         "=?UTF-8?B?SsO8cmdlbiBNw7xsbGVy?= Field <ann@example.org>"},
        // Not UTF-8: taken as the Windows code page such files were written in.
        {"J\xFCrgen", "=?windows-1252?B?SvxyZ2Vu?= <ann@example.org>"},
    };
    for (const Case& c : cases) EXPECT_EQ(mailboxText(c.name, "ann@example.org"), c.mailbox);
}

TEST(MailHeaderText, EncodedWordsStayShortAndKeepCharactersWhole) {
    std::string name;
    for (int i = 0; i < 40; ++i) name += "\xC3\xA9";  // two bytes each; 45 would cut one
    const std::string words = encodedWords(name);
    const std::string prefix = "=?UTF-8?B?";
    std::size_t start = 0;
    std::size_t bytes = 0;
    int count = 0;
    while (start < words.size()) {
        std::size_t end = words.find("\r\n ", start);
        if (end == std::string::npos) end = words.size();
        const std::string word = words.substr(start, end - start);
        EXPECT_LE(word.size(), 75u) << word;
        ASSERT_EQ(word.rfind(prefix, 0), 0u) << word;
        const std::string payload = word.substr(prefix.size(), word.size() - prefix.size() - 2);
        const std::size_t padding = payload.size() - payload.find_last_not_of('=') - 1;
        const std::size_t decoded = payload.size() / 4 * 3 - padding;
        EXPECT_EQ(decoded % 2, 0u) << word;
        bytes += decoded;
        ++count;
        start = end == words.size() ? end : end + 3;
    }
    EXPECT_EQ(bytes, name.size());
    EXPECT_EQ(count, 2);
}

TEST(MailHeaderText, Utf8IsRecognised) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("Caf\xC3\xA9 \xF0\x9F\x9A\xA6"));
    EXPECT_FALSE(isValidUtf8("Caf\xE9"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(isValidUtf8("\xE6\x9D"));      // cut short
    EXPECT_EQ(unstructuredText("Message from Quirn Radio"), "Message from Quirn Radio");
    EXPECT_EQ(unstructuredText("Caf\xC3\xA9"), "=?UTF-8?B?Q2Fmw6k=?=");
}

}  // namespace
}  // namespace quirn
