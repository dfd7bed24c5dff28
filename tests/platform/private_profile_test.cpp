#include "platform/failure.h"
#include "platform/private_profile.h"
#include "platform/text_encoding.h"
#include "platform/text_file.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace tolvane::platform {
namespace {

using tolvane::testing::TempDir;
using tolvane::testing::writeFile;

std::string read(const std::string& path, const char* section, const char* key,
                 std::size_t size = 256, const char* fallback = "") {
    return getPrivateProfileString(section, key, fallback, size, path);
}

TEST(PrivateProfileRead, FindsNamesRegardlessOfCaseAndBlanks) {
    TempDir dir;
    const std::string ini = dir / "a.ini";
    writeFile(ini, "; a comment=not a key\r\n"
                   "orphan=before any section\r\n"
                   "  [ ToLvAnE ]  trailing words\r\n"
                   "  SaveAt  =  /backup/day one  \r\n"
                   "Interval=60000\r\n"
                   "interval=second one loses\r\n"
                   ";SaveAt=commented\r\n"
                   "Empty=\r\n"
                   "[Other]\r\n"
                   "Only=here\r\n"
                   "[tolvane]\r\n"
                   "Late=a second section of the same name is not read\r\n");
    EXPECT_EQ(read(ini, "Tolvane", "saveat"), "/backup/day one");
    EXPECT_EQ(read(ini, "TOLVANE", "Interval"), "60000");
    EXPECT_EQ(read(ini, "Tolvane", "Empty", 256, "default"), "");
    EXPECT_EQ(read(ini, "Tolvane", "Only", 256, "default"), "default");
    EXPECT_EQ(read(ini, "Tolvane", "Late"), "");
    EXPECT_EQ(read(ini, "Tolvane", "orphan"), "");
    EXPECT_EQ(read(ini, "Other", "Only"), "here");
    EXPECT_EQ(read(ini, "Missing", "Only", 256, "1.0"), "1.0");
    EXPECT_EQ(read(dir / "no-such.ini", "Tolvane", "SaveAt", 256, "d"), "d");
}

TEST(PrivateProfileRead, BoundsTheValueByCharacters) {
    TempDir dir;
    const std::string ini = dir / "a.ini";
    const std::string ascii(300, 'x');
    std::string japanese;
    for (int i = 0; i < 300; ++i) {
        japanese += i % 2 ? "デ" : "タ";
    }
    writeFile(ini, "[S]\r\nA=" + ascii + "\r\nJ=" + japanese + "\r\n");

    EXPECT_EQ(read(ini, "S", "A"), std::string(255, 'x'));
    EXPECT_EQ(read(ini, "S", "A", 100), std::string(99, 'x'));
    EXPECT_EQ(read(ini, "S", "A", 1), "");
    EXPECT_EQ(read(ini, "S", "A", 0), "");
    const std::string cut = read(ini, "S", "J");
    EXPECT_TRUE(isValidUtf8(cut));
    EXPECT_EQ(cut, japanese.substr(0, 255 * 3));
    // The default is bounded the same way.
    EXPECT_EQ(read(ini, "S", "none", 4, "abcdef"), "abc");
}

TEST(PrivateProfileRead, ReadsShiftJisFiles) {
    TempDir dir;
    const std::string ini = dir / "sjis.ini";
    writeFile(ini, "[Tolvane]\r\nSaveAt=D:\\\x83\x66\x81\x5B\x83\x5E\\\x95\x5C\r\n");
    EXPECT_EQ(read(ini, "Tolvane", "SaveAt"), "D:\\データ\\表");
}

TEST(PrivateProfileRead, DropsOnePairOfSurroundingQuotes) {
    TempDir dir;
    const std::string ini = dir / "q.ini";
    writeFile(ini, "[Tolvane]\r\n"
                   "Double = \"D:\\Backup\" \r\n"
                   "Single='/with blanks inside '\r\n"
                   "Twice=\"\"x\"\"\r\n"
                   "Unmatched=\"x'\r\n"
                   "Lone=\"\r\n"
                   "Empty=''\r\n"
                   "Inner=a\"b\"\r\n"
                   "Ascii=\"abcdef\"\r\n");
    EXPECT_EQ(read(ini, "Tolvane", "Double"), "D:\\Backup");
    EXPECT_EQ(read(ini, "Tolvane", "Single"), "/with blanks inside ");
    EXPECT_EQ(read(ini, "Tolvane", "Twice"), "\"x\"");
    EXPECT_EQ(read(ini, "Tolvane", "Unmatched"), "\"x'");
    EXPECT_EQ(read(ini, "Tolvane", "Lone"), "\"");
    EXPECT_EQ(read(ini, "Tolvane", "Empty", 256, "default"), "");
    EXPECT_EQ(read(ini, "Tolvane", "Inner"), "a\"b\"");
    // The buffer bounds what is left inside the quotes.
    EXPECT_EQ(read(ini, "Tolvane", "Ascii", 4), "abc");
}

TEST(PrivateProfileRead, AStrayByteInACommentChangesNoValue) {
    TempDir dir;
    const std::string ini = dir / "mixed.ini";
    // A Latin-1 comment, a UTF-8 value and a CP932 value in one file.
    writeFile(ini, "; r\xE9sum\xE9\r\n[Tolvane]\r\nSaveAt=/バックアップ\r\n"
                   "TargetFolder=/\x83\x66\x81\x5B\x83\x5E\r\n");
    EXPECT_EQ(read(ini, "Tolvane", "SaveAt"), "/バックアップ");
    EXPECT_EQ(read(ini, "Tolvane", "TargetFolder"), "/データ");
    // And a save writes the value back as it was.
    writePrivateProfileString("Tolvane", "Interval", "1000", ini);
    EXPECT_NE(readFileBytes(ini).find("\r\nSaveAt=/バックアップ\r\n"), std::string::npos);
}

#ifndef _WIN32
TEST(PrivateProfileRead, AFileThatCannotBeReadGivesTheDefaults) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_EQ(read(dir / "folder.ini", "Tolvane", "SaveAt", 256, "d"), "d");
    tolvane::testing::makeFifo(dir / "pipe.ini");
    EXPECT_EQ(read(dir / "pipe.ini", "Tolvane", "SaveAt", 256, "d"), "d");
    std::filesystem::create_symlink("/dev/zero", dir / "zero.ini");
    EXPECT_EQ(read(dir / "zero.ini", "Tolvane", "SaveAt", 256, "d"), "d");
}
#endif

TEST(PrivateProfileWrite, ReplacesInPlaceAndKeepsEverythingElse) {
    TempDir dir;
    const std::string ini = dir / "a.ini";
    writeFile(ini, "; kept comment\n"
                   "[Tolvane]\n"
                   "saveAT = /old\n"
                   "Unknown=kept\n"
                   "\n"
                   "[Other]\n"
                   "X=1");
    writePrivateProfileString("Tolvane", "SaveAt", "/new", ini);
    writePrivateProfileString("Tolvane", "Interval", "60000", ini);
    writePrivateProfileString("Third", "Key", " spaced ", ini);
    EXPECT_EQ(readFileBytes(ini), "; kept comment\r\n"
                                  "[Tolvane]\r\n"
                                  "saveAT=/new\r\n"
                                  "Unknown=kept\r\n"
                                  "Interval=60000\r\n"
                                  "\r\n"
                                  "[Other]\r\n"
                                  "X=1\r\n"
                                  "\r\n"
                                  "[Third]\r\n"
                                  "Key= spaced \r\n");
    EXPECT_EQ(read(ini, "Third", "Key"), "spaced");
}

TEST(PrivateProfileWrite, CreatesAMissingFileAndRewritesShiftJisAsUtf8) {
    TempDir dir;
    writePrivateProfileString("Tolvane", "SaveAt", "/backup", dir / "new.ini");
    EXPECT_EQ(readFileBytes(dir / "new.ini"), "[Tolvane]\r\nSaveAt=/backup\r\n");

    const std::string sjis = dir / "sjis.ini";
    writeFile(sjis, "[\x90\xdd\x92\xe8]\r\nA=\x95\x5C\r\n[Tolvane]\r\n");
    writePrivateProfileString("Tolvane", "Interval", "1000", sjis);
    EXPECT_EQ(readFileBytes(sjis), "[設定]\r\nA=表\r\n[Tolvane]\r\nInterval=1000\r\n");
}

TEST(PrivateProfileWrite, BatchWritesOnceAndRefusesWhatTheFileCannotHold) {
    TempDir dir;
    const std::string ini = dir / "a.ini";
    writeFile(ini, "[Tolvane]\r\nSaveAt=/old\r\n");
    auto profile = PrivateProfile::load(ini);
    profile.set("Tolvane", "SaveAt", "/new");
    profile.set("Tolvane", "Interval", "5");
    EXPECT_EQ(read(ini, "Tolvane", "SaveAt"), "/old");
    profile.save();
    EXPECT_EQ(read(ini, "Tolvane", "SaveAt"), "/new");
    EXPECT_EQ(read(ini, "Tolvane", "Interval"), "5");

    // A value with a line break would plant a key of its own.
    EXPECT_THROW(profile.set("Tolvane", "SaveAt", "/x\r\nInterval=1"), Failure);
    EXPECT_THROW(profile.set("Tolvane", "Save=At", "x"), Failure);
    EXPECT_THROW(profile.set("Tol]vane", "SaveAt", "x"), Failure);
    EXPECT_THROW(profile.set("Tolvane", " ", "x"), Failure);
    EXPECT_THROW(profile.set("Tolvane", "SaveAt", std::string("a\0b", 3)), Failure);
    EXPECT_EQ(profile.value("Tolvane", "SaveAt"), "/new");

    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_THROW(writePrivateProfileString("Tolvane", "A", "b", dir / "folder.ini"), Failure);
}

TEST(PrivateProfileRobustness, JunkLinesLoadWhatTheyCan) {
    TempDir dir;
    const std::string ini = dir / "junk.ini";
    std::string junk = "\xFF\xFE\x00garbage without equals\r\n";
    junk += std::string(1 << 20, 'k') + "=huge\r\n";
    junk += "=no key\r\n[]\r\n[\r\n]\r\n===\r\n";
    // The header lacks its "]"; the last line lacks its end.
    junk += "[Tolvane\r\n";
    junk += "SaveAt=/kept\r\n";
    junk += std::string("Nul=before\0after\r\n", 19);
    junk += "\x01\x02\x03\r\x7F\r\n";
    junk += "Interval=42";
    writeFile(ini, junk);
    EXPECT_EQ(read(ini, "Tolvane", "SaveAt"), "/kept");
    EXPECT_EQ(read(ini, "Tolvane", "Interval"), "42");
    EXPECT_EQ(read(ini, "Tolvane", "Nul"), "before");

    writePrivateProfileString("Tolvane", "SaveAt", "/new", ini);
    EXPECT_EQ(read(ini, "Tolvane", "SaveAt"), "/new");
    EXPECT_EQ(read(ini, "Tolvane", "Interval"), "42");
    EXPECT_TRUE(isValidUtf8(readFileBytes(ini)));
}

TEST(PrivateProfileRobustness, RandomNoiseNeverBreaksReadOrWrite) {
    std::mt19937 random(12345);
    static const char kAlphabet[] = "[]=; \t\r\nTolvane\0\x80\xE3\x83";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int round = 0; round < 300; ++round) {
        std::string noise;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            noise += random() % 2 ? alphabet[random() % alphabet.size()]
                                  : static_cast<char>(random() % 256);
        }
        PrivateProfile profile("noise.ini", decodeFileText(noise));
        (void)profile.value("Tolvane", "SaveAt");
        profile.set("Tolvane", "SaveAt", "/set");
        EXPECT_EQ(profile.value("Tolvane", "SaveAt"), "/set") << "round " << round;
        // What is written reads back the same.
        PrivateProfile again("noise.ini", profile.text());
        EXPECT_EQ(again.value("Tolvane", "SaveAt"), "/set") << "round " << round;
        EXPECT_EQ(again.text(), profile.text()) << "round " << round;
    }
}

} // namespace
} // namespace tolvane::platform
