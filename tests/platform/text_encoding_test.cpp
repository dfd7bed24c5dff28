#include "platform/text_encoding.h"

#include <gtest/gtest.h>
#include <string>

namespace tolvane::platform {
namespace {

// "設定表～①" as Windows code page 932 writes it. 表 ends in 0x5C, a
// backslash on its own, and ～ and ① exist only in the Windows variant.
const std::string kSjisBytes = "\x90\xdd\x92\xe8\x95\x5c\x81\x60\x87\x40";
const std::string kUtf8Text = "設定表～①";

TEST(TextEncoding, RecognisesWellFormedUtf8Only) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain ascii"));
    EXPECT_TRUE(isValidUtf8(kUtf8Text));
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80")); // outside the BMP
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));

    EXPECT_FALSE(isValidUtf8(kSjisBytes));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong, three bytes
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE8\xA8"));         // cut off at the end
    EXPECT_FALSE(isValidUtf8("\x80"));             // a lone continuation
}

TEST(TextEncoding, ConvertsWindowsShiftJis) {
    EXPECT_EQ(shiftJisToUtf8(kSjisBytes), kUtf8Text);
    EXPECT_EQ(shiftJisToUtf8("C:\\\x83\x66\x81\x5B\x83\x5E"), "C:\\データ");
    // Half-width katakana are single bytes.
    EXPECT_EQ(shiftJisToUtf8("\xB1"), "ｱ");
}

TEST(TextEncoding, MarksBrokenShiftJisAndKeepsTheRest) {
    // 0xFF is no CP932 byte; 0x90 at the end is a lead byte without its pair.
    EXPECT_EQ(shiftJisToUtf8("a\xFF"
                             "b\x90"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(shiftJisToUtf8(std::string("x\0y", 3)), std::string("x\0y", 3));
}

TEST(TextEncoding, DecodesFilesAsUtf8ElseShiftJis) {
    EXPECT_EQ(decodeFileText(kUtf8Text), kUtf8Text);
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF" + kUtf8Text), kUtf8Text);
    EXPECT_EQ(decodeFileText(kSjisBytes), kUtf8Text);
    EXPECT_EQ(decodeFileText("\x83\x66\x81\x5B\x83\x5E"), "データ");
}

TEST(TextEncoding, DecidesTheEncodingLineByLine) {
    // A stray Latin-1 byte in one line leaves the UTF-8 lines around it alone,
    // whatever ends the lines.
    EXPECT_EQ(decodeFileText("; caf\xE9\r\nSaveAt=" + kUtf8Text + "\r\n"),
              "; caf\xEF\xBF\xBD\r\nSaveAt=" + kUtf8Text + "\r\n");
    EXPECT_EQ(decodeFileText(kUtf8Text + "\n" + kSjisBytes + "\r" + kUtf8Text),
              kUtf8Text + "\n" + kUtf8Text + "\r" + kUtf8Text);
    // The byte-order mark goes only at the very start, also before a CP932 line.
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF" + kSjisBytes + "\r\n\xEF\xBB\xBFx"),
              kUtf8Text + "\r\n\xEF\xBB\xBFx");
}

TEST(TextEncoding, PrefixCountsCharactersNotBytes) {
    const std::string text = "aデータb";
    EXPECT_EQ(utf8PrefixBytes(text, 0), 0u);
    EXPECT_EQ(utf8PrefixBytes(text, 1), 1u);
    EXPECT_EQ(utf8PrefixBytes(text, 2), 4u);
    EXPECT_EQ(utf8PrefixBytes(text, 4), 10u);
    EXPECT_EQ(utf8PrefixBytes(text, 100), text.size());
    EXPECT_EQ(utf8PrefixBytes("\xF0\x9F\x98\x80z", 1), 4u);
    // Stray bytes count one each and never run past the end.
    EXPECT_EQ(utf8PrefixBytes("\xE3\x83", 1), 1u);
    EXPECT_EQ(utf8PrefixBytes("\xE3\x83", 5), 2u);
}

} // namespace
} // namespace tolvane::platform
