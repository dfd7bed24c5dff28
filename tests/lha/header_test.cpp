#include "lha/command_line.h"
#include "lha/errors.h"
#include "lha/header.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tolvane::lha {
namespace {

using Bytes = std::vector<std::uint8_t>;

EntryHeader sample(Method method, std::vector<std::string> folders, std::string name,
                   std::uint16_t mode) {
    EntryHeader h;
    h.method = method;
    h.folders = std::move(folders);
    h.name = std::move(name);
    h.mtime = 946684800;
    h.mode = mode;
    h.hasOwner = true;
    h.uid = 1000;
    h.gid = 1000;
    return h;
}

TEST(Header, GoldenBytes) {
    const Bytes folder = {0x35, 0x00, 0x2d, 0x6c, 0x68, 0x64, 0x2d, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x80, 0x43, 0x6d, 0x38, 0x20, 0x02, 0x00,
                          0x00, 0x55, 0x05, 0x00, 0x00, 0x76, 0x9b, 0x03, 0x00, 0x01, 0x07,
                          0x00, 0x02, 0x73, 0x72, 0x63, 0xff, 0x05, 0x00, 0x50, 0xed, 0x41,
                          0x07, 0x00, 0x51, 0xe8, 0x03, 0xe8, 0x03, 0x00, 0x00};
    const EntryHeader dir = sample(Method::Directory, {"src"}, "", 040755);
    EXPECT_EQ(encodeHeader(dir), folder);

    const Bytes file = {0x3a, 0x00, 0x2d, 0x6c, 0x68, 0x30, 0x2d, 0x06, 0x00, 0x00, 0x00, 0x06,
                        0x00, 0x00, 0x00, 0x80, 0x43, 0x6d, 0x38, 0x20, 0x02, 0x34, 0x5a, 0x55,
                        0x05, 0x00, 0x00, 0xc4, 0x9f, 0x08, 0x00, 0x01, 0x61, 0x2e, 0x74, 0x78,
                        0x74, 0x07, 0x00, 0x02, 0x73, 0x72, 0x63, 0xff, 0x05, 0x00, 0x50, 0xa4,
                        0x81, 0x07, 0x00, 0x51, 0xe8, 0x03, 0xe8, 0x03, 0x00, 0x00};
    EntryHeader txt = sample(Method::Stored, {"src"}, "a.txt", 0100644);
    txt.compressedSize = txt.originalSize = 6;
    txt.crc = 0x5A34;
    EXPECT_EQ(encodeHeader(txt), file);

    // And both read back to what was written.
    const EntryHeader back = decodeHeader(file);
    EXPECT_EQ(back.path(), "src/a.txt");
    EXPECT_EQ(back.method, Method::Stored);
    EXPECT_EQ(back.crc, 0x5A34);
    EXPECT_EQ(back.mode, 0100644);
    EXPECT_EQ(back.mtime, 946684800u);
    EXPECT_EQ(decodeHeader(folder).path(), "src/");
}

TEST(Header, ALengthEndingInZeroGetsTheWindowsTimesInstead) {
    // Find the name length that would bring the header to exactly 256 bytes.
    EntryHeader h = sample(Method::Lh5, {"d"}, "", 0100644);
    h.mtime = 946684800;
    Bytes bytes;
    for (std::size_t len = 1; len < 300; ++len) {
        h.name.assign(len, 'n');
        bytes = encodeHeader(h);
        if (bytes.size() >= 256) {
            break;
        }
    }
    // 256 plus the 27 bytes of the times extension, closing the chain.
    ASSERT_EQ(bytes.size(), 283u);
    EXPECT_EQ(bytes[0], 283 & 0xFF);
    EXPECT_EQ(bytes[1], 283 >> 8);
    const std::size_t at = bytes.size() - 2 - 24 - 1;
    EXPECT_EQ(bytes[at], 0x41);
    EXPECT_EQ(bytes[at - 2], 27u);
    // 2000-01-01 as 100 ns steps since 1601, three times.
    const Bytes time = {0x00, 0x40, 0x6D, 0x25, 0xEB, 0x53, 0xBF, 0x01};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Bytes(bytes.begin() + static_cast<long>(at + 1 + 8 * i),
                        bytes.begin() + static_cast<long>(at + 9 + 8 * i)),
                  time)
            << i;
    }
    EXPECT_EQ(bytes[bytes.size() - 2], 0);
    EXPECT_EQ(bytes[bytes.size() - 1], 0);
    const EntryHeader back = decodeHeader(bytes);
    EXPECT_EQ(back.name, h.name);
    EXPECT_EQ(back.mtime, h.mtime);

    // One byte shorter needs nothing.
    h.name.pop_back();
    EXPECT_EQ(encodeHeader(h).size(), 255u);
}

TEST(Header, TopLevelFileHasNoFolderExtension) {
    EntryHeader h = sample(Method::Stored, {}, "top.txt", 0100644);
    const Bytes bytes = encodeHeader(h);
    // Extensions: CRC(5) name(3+7) mode(5) owner(7) after the 26 fixed bytes.
    EXPECT_EQ(bytes.size(), 26u + 5 + 10 + 5 + 7);
    EXPECT_EQ(decodeHeader(bytes).path(), "top.txt");
}

TEST(Header, UnstorableNamesAreRefused) {
    EntryHeader h = sample(Method::Lh5, {"ok"}, std::string("bad\xff", 4), 0100644);
    try {
        encodeHeader(h);
        FAIL() << "a name with 0xFF was accepted";
    } catch (const LhaError& e) {
        EXPECT_EQ(e.code(), kErrorBadName);
    }
    h.name = "fine";
    h.folders = {std::string(4096, 'x')};
    try {
        encodeHeader(h);
        FAIL() << "an oversized header was accepted";
    } catch (const LhaError& e) {
        EXPECT_EQ(e.code(), kErrorBadName);
    }
}

// Extension data of the given type, from a header encodeHeader() wrote.
std::string extension(const Bytes& header, std::uint8_t type) {
    std::size_t at = kHeaderFixedSize;
    std::size_t size = header[24] | (header[25] << 8);
    while (size != 0) {
        if (header[at] == type) {
            return std::string(header.begin() + static_cast<long>(at) + 1,
                               header.begin() + static_cast<long>(at + size) - 2);
        }
        at += size;
        size = header[at - 2] | (header[at - 1] << 8);
    }
    return "<none>";
}

EntryHeader link(std::vector<std::string> folders, std::string name, std::string target) {
    EntryHeader h = sample(Method::Link, std::move(folders), std::move(name), 0120777);
    h.linkTarget = std::move(target);
    return h;
}

TEST(Header, LinkTextIsSplitLikeAPathAndReadsBack) {
    // The target's slashes go to the folder extension, as separators.
    const Bytes abs = encodeHeader(link({"day"}, "abs", "/etc/hostname"));
    EXPECT_EQ(std::string(abs.begin() + 2, abs.begin() + 7), "-lhd-");
    EXPECT_EQ(std::string(abs.begin() + 7, abs.begin() + 15), std::string(8, '\0')); // sizes
    EXPECT_EQ(abs[21] | (abs[22] << 8), 0);                                          // data CRC
    EXPECT_EQ(extension(abs, 0x02), "day\xff"
                                    "abs|\xff"
                                    "etc\xff");
    EXPECT_EQ(extension(abs, 0x01), "hostname");
    EXPECT_EQ(extension(abs, 0x50), "\xff\xa1"); // 0120777
    // Without a slash the whole text is the base name.
    EXPECT_EQ(extension(encodeHeader(link({"day"}, "rel", "a.txt")), 0x01), "rel|a.txt");

    struct Case {
        std::vector<std::string> folders;
        const char* name;
        const char* target;
    };
    for (const Case& c :
         {Case{{"day"}, "rel", "a.txt"}, Case{{"day", "sub"}, "up", "../../a.txt"},
          Case{{"day"}, "to-dir", "sub/"}, Case{{"day"}, "root", "/"}, Case{{}, "top", "day/a.txt"},
          Case{{"day"}, "odd", "a//b/./c d"}, Case{{"日本"}, "名 前", "../語/ファイル"}}) {
        SCOPED_TRACE(c.target);
        const EntryHeader back = decodeHeader(encodeHeader(link(c.folders, c.name, c.target)));
        EXPECT_EQ(back.method, Method::Link);
        EXPECT_EQ(back.folders, c.folders);
        EXPECT_EQ(back.name, c.name);
        EXPECT_EQ(back.linkTarget, c.target);
        EXPECT_EQ(back.mode, 0120777);
    }

    // A '|' means nothing special outside a link.
    const EntryHeader folder =
        decodeHeader(encodeHeader(sample(Method::Directory, {"day", "p|q"}, "", 040755)));
    EXPECT_EQ(folder.method, Method::Directory);
    EXPECT_EQ(folder.path(), "day/p|q/");
}

TEST(Header, LinksReadersWouldMisplaceAreRefused) {
    const std::string ff(1, '\xff');
    for (const EntryHeader& bad :
         {link({"day"}, "a|b", "t"), link({"day"}, "l", "x|y"), link({"day", "p|q"}, "l", "t"),
          link({"day"}, "l", "x" + ff), link({"day"}, "l" + ff, "t"), link({"day" + ff}, "l", "t"),
          link({"day"}, "l", "")}) {
        try {
            encodeHeader(bad);
            ADD_FAILURE() << "accepted " << bad.path() << " -> " << bad.linkTarget;
        } catch (const LhaError& e) {
            EXPECT_EQ(e.code(), kErrorLinkNotStorable) << bad.path() << " -> " << bad.linkTarget;
        }
    }
    // A link entry without its target cannot be read back.
    const Bytes noTarget = encodeHeader(sample(Method::Directory, {"day"}, "l", 0120777));
    EXPECT_THROW(decodeHeader(noTarget), LhaError);
}

TEST(Header, DamageIsDetected) {
    Bytes bytes = encodeHeader(sample(Method::Stored, {"src"}, "a.txt", 0100644));
    Bytes name = bytes;
    name[33] ^= 0x01; // inside the base name
    EXPECT_THROW(decodeHeader(name), LhaError);
    Bytes level = bytes;
    level[20] = 1;
    EXPECT_THROW(decodeHeader(level), LhaError);
    Bytes chain = bytes;
    chain[24] = 0xF0; // first extension claims more than the header holds
    EXPECT_THROW(decodeHeader(chain), LhaError);
}

TEST(CommandLine, PathsInQuotesWithBlanksAndCommas) {
    EXPECT_EQ(splitCommandLine(R"(a -x1 -r2 "/tmp/my docs/20261207.lzh" "/tmp/a,b c/20261207")"),
              (std::vector<std::string>{"a", "-x1", "-r2", "/tmp/my docs/20261207.lzh",
                                        "/tmp/a,b c/20261207"}));
    EXPECT_EQ(splitCommandLine("  a   x.lzh\tdir  "),
              (std::vector<std::string>{"a", "x.lzh", "dir"}));

    const auto cmd = parsePackCommand(R"(a -r2 -x1 "/d/x y.lzh" /d/20261207)");
    ASSERT_TRUE(cmd.has_value());
    EXPECT_EQ(cmd->archive, "/d/x y.lzh");
    EXPECT_EQ(cmd->source, "/d/20261207");

    for (const char* bad :
         {"", "x -x1 -r2 a.lzh dir", "a -x1 -r2 a.lzh", "a -x1 -r2 a.lzh dir extra",
          "a -x1 -r2 -q a.lzh dir", "a -x1 a.lzh dir", "a -r2 a.lzh dir", "e -x1 -r2 a.lzh dir",
          R"(a -x1 -r2 "" dir)", "a -x1 -r2 a.lzh -x1 dir extra"}) {
        EXPECT_FALSE(parsePackCommand(bad).has_value()) << bad;
    }
}

} // namespace
} // namespace tolvane::lha
