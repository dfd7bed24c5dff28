#include "lha/archive_reader.h"
#include "lha/unlha.h"
#include "lha_test_support.h"
#include "support/temp_dir.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace tolvane::lha {
namespace {

namespace fs = std::filesystem;
using testing::randomBytes;
using testing::readBytes;
using testing::textBytes;
using testing::writeBytes;
using tolvane::testing::makeFifo;
using tolvane::testing::makeSocket;
using tolvane::testing::modifiedOf;
using tolvane::testing::namesIn;
using tolvane::testing::runCommand;
using tolvane::testing::setModified;
using tolvane::testing::shellQuoted;
using Bytes = std::vector<std::uint8_t>;

std::string quoteForCommand(const fs::path& p) {
    const std::string s = p.string();
    return s.find_first_of(" ,") == std::string::npos ? s : '"' + s + '"';
}

int pack(const fs::path& archive, const fs::path& folder, std::string* text = nullptr) {
    char out[1024];
    const int code =
        Unlha(0, "a -x1 -r2 " + quoteForCommand(archive) + " " + quoteForCommand(folder), out,
              sizeof out);
    if (text != nullptr) {
        *text = out;
    }
    return code;
}

struct Node {
    bool folder = false;
    bool link = false;
    Bytes data;            // a file's content, a link's target text
    std::time_t mtime = 0; // not for links: no reader is asked to set theirs
    bool operator==(const Node&) const = default;
};

std::string targetOf(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? "<not a link: " + ec.message() + ">" : target.string();
}

// Every folder, regular file and link under root, by relative path; links
// are not followed.
std::map<std::string, Node> snapshot(const fs::path& root) {
    std::map<std::string, Node> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        Node n;
        if (it->is_symlink()) {
            n.link = true;
            const std::string target = targetOf(it->path());
            n.data.assign(target.begin(), target.end());
        } else if (it->is_directory() || it->is_regular_file()) {
            n.folder = it->is_directory();
            n.mtime = static_cast<std::time_t>(modifiedOf(it->path()));
            if (!n.folder) {
                n.data = readBytes(it->path());
            }
        } else {
            continue;
        }
        out[it->path().lexically_relative(root).generic_string()] = std::move(n);
    }
    return out;
}

// Whether a link lies directly in the folder at `folder`.
bool holdsLink(const std::map<std::string, Node>& tree, const std::string& folder) {
    const std::string prefix = folder + "/";
    for (const auto& [path, node] : tree) {
        if (node.link && path.starts_with(prefix) &&
            path.find('/', prefix.size()) == std::string::npos) {
            return true;
        }
    }
    return false;
}

// Compares trees entry by entry so a failure names the entry.
void expectSameTree(const fs::path& source, const fs::path& extracted, const std::string& reader) {
    const auto want = snapshot(source);
    ASSERT_TRUE(fs::is_directory(extracted)) << reader << " extracted nothing at " << extracted;
    const auto got = snapshot(extracted);
    for (const auto& [path, node] : want) {
        auto it = got.find(path);
        if (it == got.end()) {
            ADD_FAILURE() << reader << ": missing " << path;
            continue;
        }
        EXPECT_EQ(it->second.folder, node.folder) << reader << ": " << path;
        EXPECT_EQ(it->second.link, node.link) << reader << ": " << path;
        if (node.link) {
            EXPECT_EQ(std::string(it->second.data.begin(), it->second.data.end()),
                      std::string(node.data.begin(), node.data.end()))
                << reader << ": target of " << path;
        } else {
            EXPECT_TRUE(it->second.data == node.data) << reader << ": content of " << path;
        }
        // lhasa makes links after it has set the folders' times, so a folder
        // holding a link keeps the time it was extracted at.
        if (!(reader == "lhasa" && node.folder && holdsLink(want, path))) {
            EXPECT_EQ(it->second.mtime, node.mtime) << reader << ": time of " << path;
        }
    }
    for (const auto& [path, node] : got) {
        EXPECT_TRUE(want.count(path)) << reader << ": extra " << path;
    }
}

std::vector<EntryHeader> readHeaders(const fs::path& archive) {
    std::vector<EntryHeader> out;
    ArchiveReader reader(archive);
    EntryHeader h;
    while (reader.next(h)) {
        out.push_back(h);
    }
    return out;
}

// Extracts with lhasa and bsdtar, compares trees and entry counts, and has
// jlha and 7-Zip test the archive's content.
void checkWithExternalReaders(const fs::path& archive, const fs::path& folder,
                              const fs::path& scratch) {
    REQUIRE_TOOL("lhasa");
    REQUIRE_TOOL("bsdtar");
    REQUIRE_TOOL("jlha");
    REQUIRE_TOOL("7zz");
    const std::size_t entries = readHeaders(archive).size();
    std::size_t files = 0;
    for (const EntryHeader& h : readHeaders(archive)) {
        files += h.method == Method::Stored || h.method == Method::Lh5;
    }

    const fs::path byLhasa = scratch / "lhasa-out";
    fs::create_directories(byLhasa);
    const auto lx =
        runCommand("cd " + shellQuoted(byLhasa) + " && lhasa xqw=. " + shellQuoted(archive));
    EXPECT_EQ(lx.status, 0) << lx.output;
    const auto ll = runCommand("lhasa l " + shellQuoted(archive));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(ll.output, m, std::regex(R"(Total\s+(\d+) files)"))) << ll.output;
    EXPECT_EQ(std::stoul(m[1]), entries) << "lhasa stopped early:\n" << ll.output;
    expectSameTree(folder, byLhasa / folder.filename(), "lhasa");

    const fs::path byBsdtar = scratch / "bsdtar-out";
    fs::create_directories(byBsdtar);
    const auto bx = runCommand("LC_ALL=C.UTF-8 bsdtar -xf " + shellQuoted(archive) + " -C " +
                               shellQuoted(byBsdtar));
    EXPECT_EQ(bx.status, 0) << bx.output;
    const auto bt = runCommand("LC_ALL=C.UTF-8 bsdtar -tf " + shellQuoted(archive) + " | wc -l");
    EXPECT_EQ(std::stoul(bt.output), entries) << "bsdtar listed a different number of entries";
    expectSameTree(folder, byBsdtar / folder.filename(), "bsdtar");

    const auto jt = runCommand("jlha t " + shellQuoted(archive));
    EXPECT_EQ(jt.status, 0) << jt.output;
    const std::ptrdiff_t tested = std::count(jt.output.begin(), jt.output.end(), '\n');
    EXPECT_EQ(static_cast<std::size_t>(tested), files) << jt.output;
    EXPECT_EQ(jt.output.find("rror"), std::string::npos) << jt.output;

    // The reader many Windows users open .lzh files with.
    const auto st = runCommand("7zz t " + shellQuoted(archive));
    EXPECT_EQ(st.status, 0) << st.output;
    EXPECT_NE(st.output.find("Everything is Ok"), std::string::npos) << st.output;
    ASSERT_TRUE(std::regex_search(st.output, m, std::regex(R"(\nFiles: (\d+))"))) << st.output;
    EXPECT_EQ(std::stoul(m[1]), files) << st.output;
}

class ArchiveTest : public ::testing::Test {
  protected:
    tolvane::testing::TempDir tmp;
    fs::path root() const { return tmp.path(); }
};

TEST_F(ArchiveTest, MixedTreeReadsBackExactlyInEveryReader) {
    const fs::path day = root() / "in" / "20261207";
    fs::create_directories(day / "empty folder");
    fs::create_directories(day / "日本語 フォルダ" / "a,b");
    fs::create_directories(day / "SRC");
    writeBytes(day / "empty.txt", {});
    writeBytes(day / "short.txt", {'a', 'b', 'c'});
    writeBytes(day / "zeros-100.bin", Bytes(100, 0)); // a stream of a few bytes
    writeBytes(day / "noise.bin", randomBytes(300000, 21));
    Bytes phrase;
    for (int i = 0; i < 30000; ++i) {
        const char* p = "the same line, again and again\n";
        phrase.insert(phrase.end(), p, p + 31);
    }
    writeBytes(day / "repetitive.txt", phrase);
    writeBytes(day / "text with blanks, commas.txt", textBytes(400000, 22));
    writeBytes(day / "日本語 フォルダ" / "a,b" / "ファイル 名.txt", textBytes(5000, 23));
    writeBytes(day / "SRC" / "MAIN.C", textBytes(3000, 24));
    Bytes window = randomBytes(8192, 25);
    window.insert(window.end(), window.begin(), window.end());
    writeBytes(day / "distance-8192.bin", window);

    // A name whose header would come to exactly 256 bytes (and so gets the
    // Windows times to make it longer).
    {
        EntryHeader h;
        h.folders = {"20261207"};
        h.hasOwner = true;
        for (std::size_t len = 1;; ++len) {
            h.name.assign(len, 'p');
            if (encodeHeader(h).size() >= 256) {
                break;
            }
        }
        ASSERT_EQ(encodeHeader(h).size(), 283u);
        writeBytes(day / h.name, textBytes(1000, 26));
    }

    fs::path deep = day / "deep";
    for (int i = 0; i < 30; ++i) {
        deep /= "level-" + std::to_string(i);
    }
    fs::create_directories(deep);
    writeBytes(deep / "bottom.txt", textBytes(777, 27));

    // Links are stored as links: one leads out of the tree, one to a file in it.
    fs::create_symlink("/etc", day / "link-out");
    fs::create_symlink("short.txt", day / "link-in");

    // Distinct times, folders last so filling them does not move theirs.
    std::time_t t = 1600000000;
    std::vector<fs::path> folders;
    for (auto it = fs::recursive_directory_iterator(day); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->is_symlink()) {
            continue;
        }
        if (it->is_directory()) {
            folders.push_back(it->path());
        } else {
            setModified(it->path(), t += 3607);
        }
    }
    folders.push_back(day);
    for (const fs::path& f : folders) {
        setModified(f, t += 86401);
    }

    const fs::path archive = root() / "out dir" / "20261207.lzh";
    fs::create_directories(archive.parent_path());
    std::string text;
    ASSERT_EQ(pack(archive, day, &text), kOk) << text;
    EXPECT_NE(text.find("2 symbolic links"), std::string::npos) << text;
    EXPECT_EQ(namesIn(archive.parent_path()), std::vector<std::string>{"20261207.lzh"});

    // Our own reading: methods chosen, and every folder before its contents.
    const auto headers = readHeaders(archive);
    std::map<std::string, Method> method;
    std::vector<std::string> seenFolders;
    for (const EntryHeader& h : headers) {
        method[h.path()] = h.method;
        if (!h.folders.empty()) {
            std::string parent;
            for (std::size_t i = 0; i + (h.method == Method::Directory ? 1 : 0) < h.folders.size();
                 ++i) {
                parent += h.folders[i] + "/";
            }
            if (!parent.empty()) {
                EXPECT_NE(std::find(seenFolders.begin(), seenFolders.end(), parent),
                          seenFolders.end())
                    << h.path() << " comes before its folder";
            }
        }
        if (h.method == Method::Directory) {
            seenFolders.push_back(h.path());
        }
    }
    EXPECT_EQ(headers.front().path(), "20261207/");
    EXPECT_EQ(method["20261207/empty folder/"], Method::Directory);
    EXPECT_EQ(method["20261207/empty.txt"], Method::Stored);
    EXPECT_EQ(method["20261207/short.txt"], Method::Stored);
    EXPECT_EQ(method["20261207/zeros-100.bin"], Method::Lh5);
    EXPECT_EQ(method["20261207/noise.bin"], Method::Stored);
    EXPECT_EQ(method["20261207/repetitive.txt"], Method::Lh5);
    EXPECT_EQ(method["20261207/distance-8192.bin"], Method::Lh5);
    EXPECT_EQ(method["20261207/link-out"], Method::Link);
    EXPECT_EQ(method["20261207/link-in"], Method::Link);

    checkWithExternalReaders(archive, day, root() / "x");
}

TEST_F(ArchiveTest, LinksComeBackAsLinksInEveryReader) {
    const fs::path outside = root() / "outside";
    fs::create_directories(outside / "deeper");
    writeBytes(outside / "deeper" / "not-in-archive.txt", textBytes(100, 1));

    const fs::path day = root() / "20261214";
    fs::create_directories(day / "sub" / "inner");
    fs::create_directories(day / "only links");
    fs::create_directories(day / "日本語");
    writeBytes(day / "a.txt", textBytes(2000, 2));
    writeBytes(day / "sub" / "g.txt", textBytes(500, 3));
    writeBytes(day / "pipe|in name.txt", textBytes(50, 4)); // only links care about '|'
    fs::create_symlink("a.txt", day / "rel");
    fs::create_symlink("../../a.txt", day / "sub" / "inner" / "up");
    fs::create_symlink(outside, day / "folder-outside"); // absolute, to a full folder
    fs::create_symlink("sub", day / "folder-inside");
    fs::create_symlink("sub/", day / "folder-slash");
    fs::create_symlink("no/such/thing", day / "dangling");
    fs::create_symlink("/", day / "root");
    fs::create_symlink("a//b/./c  d", day / "only links" / "odd spacing");
    fs::create_symlink("../日本語/ファイル", day / "日本語" / "リンク");
    fs::create_symlink("folder-inside", day / "link-to-link");

    const fs::path archive = root() / "20261214.lzh";
    std::string text;
    ASSERT_EQ(pack(archive, day, &text), kOk) << text;
    EXPECT_NE(text.find("10 symbolic links"), std::string::npos) << text;

    std::map<std::string, std::string> links;
    for (const EntryHeader& h : readHeaders(archive)) {
        EXPECT_EQ(h.path().find("not-in-archive"), std::string::npos) << "followed a link";
        EXPECT_EQ(h.path().rfind("20261214/folder-inside/", 0), std::string::npos)
            << "followed a link: " << h.path();
        if (h.method == Method::Link) {
            EXPECT_EQ(h.mode & kModeTypeMask, kModeLink) << h.path();
            links[h.path()] = h.linkTarget;
        }
    }
    EXPECT_EQ(links.size(), 10u);
    EXPECT_EQ(links["20261214/folder-outside"], outside.string());
    EXPECT_EQ(links["20261214/sub/inner/up"], "../../a.txt");

    // Every link and its target text, file and folder come back.
    checkWithExternalReaders(archive, day, root() / "x");
    EXPECT_EQ(targetOf(root() / "x" / "lhasa-out" / "20261214" / "folder-slash"), "sub/");
    EXPECT_EQ(targetOf(root() / "x" / "bsdtar-out" / "20261214" / "folder-slash"), "sub/");

    // Read-back compares the stored target with the one listed.
    auto expected = readHeaders(archive);
    EXPECT_NO_THROW(verifyArchive(archive, expected));
    for (EntryHeader& h : expected) {
        if (h.path() == "20261214/rel") {
            h.linkTarget = "b.txt";
        }
    }
    try {
        verifyArchive(archive, expected);
        ADD_FAILURE() << "a different target went unnoticed";
    } catch (const LhaError& e) {
        EXPECT_EQ(e.code(), kErrorVerifyFailed);
        EXPECT_NE(std::string(e.what()).find("20261214/rel"), std::string::npos) << e.what();
    }
}

// Anything the readers could not give back as it was refuses the whole
// archive: the folder is deleted after archiving.
TEST_F(ArchiveTest, UnstorableLinksAndSpecialFilesRefuseTheArchive) {
    const std::string ff(1, '\xff');
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        int code;
    };
    const std::vector<Case> cases = {
        {"'|' in the link's name",
         [](const fs::path& d) { fs::create_symlink("a.txt", d / "x|y"); }, kErrorLinkNotStorable},
        {"'|' in the target", [](const fs::path& d) { fs::create_symlink("a|b", d / "l"); },
         kErrorLinkNotStorable},
        {"'|' in the link's folder",
         [](const fs::path& d) {
             fs::create_directories(d / "p|q");
             fs::create_symlink("../a.txt", d / "p|q" / "l");
         },
         kErrorLinkNotStorable},
        {"0xFF in the target", [&](const fs::path& d) { fs::create_symlink("a" + ff, d / "l"); },
         kErrorLinkNotStorable},
        {"0xFF in the link's name",
         [&](const fs::path& d) { fs::create_symlink("a.txt", d / ("l" + ff)); },
         kErrorLinkNotStorable},
        {"a pipe", [](const fs::path& d) { makeFifo(d / "sub" / "fifo"); }, kErrorSpecialFile},
        {"a socket", [](const fs::path& d) { makeSocket(d / "sock"); }, kErrorSpecialFile},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path base = root() / std::to_string(n++);
        const fs::path day = base / "20261215";
        fs::create_directories(day / "sub");
        writeBytes(day / "a.txt", textBytes(3000, 7));
        fs::create_symlink("a.txt", day / "good-link"); // storable, and not the reason
        c.make(day);
        const auto before = snapshot(day);

        std::string text;
        EXPECT_EQ(pack(base / "20261215.lzh", day, &text), c.code) << text;
        EXPECT_EQ(namesIn(base), std::vector<std::string>{"20261215"});
        EXPECT_TRUE(snapshot(day) == before);
    }
}

// Some readers stop at a name that is not UTF-8 and extract nothing after
// it, so such a name refuses the archive as 0xFF does, and the folder stays.
TEST_F(ArchiveTest, NamesThatAreNotUtf8RefuseTheArchive) {
    struct Case {
        const char* what;
        std::string relative;
        bool link;
        int code;
    };
    const std::vector<Case> cases = {
        {"a Latin-1 file name", "caf\xe9.txt", false, kErrorBadName},
        {"a Shift-JIS folder name", "\x93\xfa\x96\x7b/a.txt", false, kErrorBadName},
        {"a cut sequence", "cut\xe3\x81", false, kErrorBadName},
        {"an overlong slash", "over\xc0\xaflong", false, kErrorBadName},
        {"a surrogate", "half\xed\xa0\x80", false, kErrorBadName},
        {"beyond U+10FFFF", "big\xf4\x90\x80\x80", false, kErrorBadName},
        {"a link's name", "l\xe9", true, kErrorLinkNotStorable},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path base = root() / std::to_string(n++);
        const fs::path day = base / "20261216";
        fs::create_directories(day);
        writeBytes(day / "a.txt", textBytes(3000, 8));
        const fs::path odd = day / c.relative;
        fs::create_directories(odd.parent_path());
        if (c.link) {
            fs::create_symlink("a.txt", odd);
        } else {
            writeBytes(odd, {'x'});
        }
        const auto before = snapshot(day);

        std::string text;
        EXPECT_EQ(pack(base / "20261216.lzh", day, &text), c.code) << text;
        EXPECT_NE(text.find("UTF-8"), std::string::npos) << text;
        EXPECT_EQ(namesIn(base), std::vector<std::string>{"20261216"});
        EXPECT_TRUE(snapshot(day) == before);
    }

    // A link's target is stored in its name too.
    const fs::path day = root() / "target" / "20261216";
    fs::create_directories(day);
    fs::create_symlink("caf\xe9", day / "l");
    std::string text;
    EXPECT_EQ(pack(root() / "target" / "20261216.lzh", day, &text), kErrorLinkNotStorable) << text;
}

// What stays storable: UTF-8 of every sequence length, read back whole.
TEST_F(ArchiveTest, Utf8NamesOfEveryLengthComeBackInEveryReader) {
    const fs::path day = root() / "20261217";
    fs::create_directories(day / "caf\xc3\xa9");
    writeBytes(day / "caf\xc3\xa9" / "\xe6\x97\xa5\xe6\x9c\xac.txt", textBytes(2000, 9));
    writeBytes(day / "clef \xf0\x9d\x84\x9e.txt", textBytes(500, 10));
    writeBytes(day / "replacement \xef\xbf\xbd.txt", {'r'});
    fs::create_symlink("clef \xf0\x9d\x84\x9e.txt", day / "\xe3\x83\xaa\xe3\x83\xb3\xe3\x82\xaf");
    const fs::path archive = root() / "20261217.lzh";
    std::string text;
    ASSERT_EQ(pack(archive, day, &text), kOk) << text;
    checkWithExternalReaders(archive, day, root() / "x");
}

// Temporaries of killed runs: the copy temporaries a day folder holds are
// never archived, and the archive writer clears away stale ones beside the
// archive. A temporary whose writer may still be at work is left alone.
TEST_F(ArchiveTest, StaleTemporariesStayOutOfTheArchiveAndGoFromBesideIt) {
    const auto temporaryOf = [](pid_t process, int counter) {
        return ".tolvane-" + std::to_string(process) + "-" + std::to_string(counter) + ".tmp";
    };
    const pid_t ended = tolvane::testing::endedProcessId();
    const fs::path day = root() / "20261218";
    fs::create_directories(day / "sub");
    writeBytes(day / "a.txt", textBytes(2000, 11));
    writeBytes(day / temporaryOf(ended, 0), textBytes(700, 12));
    writeBytes(day / "sub" / temporaryOf(ended, 1), textBytes(700, 13));
    writeBytes(day / "sub" / "notes.tmp", {'n'});
    writeBytes(root() / temporaryOf(ended, 2), Bytes(100, 'j'));
    writeBytes(root() / temporaryOf(::getppid(), 3), Bytes(100, 'l'));
    writeBytes(root() / "x.tmp", {'x'});

    const fs::path archive = root() / "20261218.lzh";
    std::string text;
    ASSERT_EQ(pack(archive, day, &text), kOk) << text;
    std::vector<std::string> paths;
    for (const EntryHeader& h : readHeaders(archive)) {
        paths.push_back(h.path());
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"20261218/", "20261218/a.txt", "20261218/sub/",
                                               "20261218/sub/notes.tmp"}));
    EXPECT_EQ(namesIn(root()), (std::vector<std::string>{temporaryOf(::getppid(), 3), "20261218",
                                                         "20261218.lzh", "x.tmp"}));

    // One that a live run may still be writing keeps the folder for later.
    writeBytes(day / "sub" / temporaryOf(::getppid(), 4), {'w'});
    const fs::path busy = root() / "busy.lzh";
    EXPECT_EQ(pack(busy, day, &text), kErrorFolderInUse) << text;
    EXPECT_NE(text.find(temporaryOf(::getppid(), 4)), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(busy));
}

TEST_F(ArchiveTest, LargeFilesAcrossManyBlocks) {
    const fs::path day = root() / "20261208";
    fs::create_directories(day);
    // Large enough for many blocks and segments, small enough for the
    // sanitizer build.
    writeBytes(day / "big.txt", textBytes(8 * 1000 * 1000, 31));
    // One literal, then longest matches only: the blocks in between hold a
    // single code symbol and take the one-symbol table form.
    writeBytes(day / "zeros.bin", Bytes(1 + 256 * 78125, 0));
    setModified(day / "big.txt", 1700000000);
    setModified(day / "zeros.bin", 1700000100);
    setModified(day, 1700000200);
    const fs::path archive = root() / "20261208.lzh";
    std::string text;
    ASSERT_EQ(pack(archive, day, &text), kOk) << text;
    for (const EntryHeader& h : readHeaders(archive)) {
        if (h.name == "big.txt") {
            EXPECT_EQ(h.method, Method::Lh5);
            EXPECT_LT(h.compressedSize, h.originalSize / 3);
        }
    }
    checkWithExternalReaders(archive, day, root() / "x");
}

TEST_F(ArchiveTest, SourceWithTrailingSeparatorOrAsASingleFile) {
    const fs::path day = root() / "20261213";
    fs::create_directories(day);
    writeBytes(day / "a.txt", textBytes(2000, 5));
    const fs::path archive = root() / "slash.lzh";
    ASSERT_EQ(pack(archive, day.string() + "/"), kOk);
    const auto headers = readHeaders(archive);
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0].path(), "20261213/");
    EXPECT_EQ(headers[1].path(), "20261213/a.txt");

    // A file on its own is one entry at the top level: no folder extension,
    // which every reader must still take.
    const fs::path single = root() / "single";
    fs::create_directories(single);
    writeBytes(single / "LONE FILE.TXT", textBytes(3000, 6));
    setModified(single / "LONE FILE.TXT", 1650000000);
    const fs::path lone = root() / "lone.lzh";
    ASSERT_EQ(pack(lone, single / "LONE FILE.TXT"), kOk);
    const auto loneHeaders = readHeaders(lone);
    ASSERT_EQ(loneHeaders.size(), 1u);
    EXPECT_TRUE(loneHeaders[0].folders.empty());
    EXPECT_EQ(loneHeaders[0].name, "LONE FILE.TXT");
    REQUIRE_TOOL("lhasa");
    REQUIRE_TOOL("bsdtar");
    const fs::path out = root() / "lone-out";
    fs::create_directories(out / "l");
    fs::create_directories(out / "b");
    EXPECT_EQ(
        runCommand("cd " + shellQuoted(out / "l") + " && lhasa xqw=. " + shellQuoted(lone)).status,
        0);
    EXPECT_EQ(runCommand("LC_ALL=C.UTF-8 bsdtar -xf " + shellQuoted(lone) + " -C " +
                         shellQuoted(out / "b"))
                  .status,
              0);
    for (const char* reader : {"l", "b"}) {
        const fs::path got = out / reader / "LONE FILE.TXT";
        EXPECT_TRUE(readBytes(got) == readBytes(single / "LONE FILE.TXT")) << reader;
        EXPECT_EQ(modifiedOf(got), 1650000000) << reader;
    }
}

TEST_F(ArchiveTest, FileOfFourGibibytesIsRefusedAndNothingIsLeft) {
    const fs::path day = root() / "20261209";
    fs::create_directories(day);
    writeBytes(day / "a.txt", textBytes(1000, 1));
    { std::ofstream sparse(day / "huge.bin", std::ios::binary); }
    fs::resize_file(day / "huge.bin", std::uint64_t{1} << 32); // sparse: no real disk use
    std::string text;
    EXPECT_EQ(pack(root() / "20261209.lzh", day, &text), kErrorFileTooLarge);
    EXPECT_NE(text.find("huge.bin"), std::string::npos) << text;
    EXPECT_EQ(namesIn(root()), std::vector<std::string>{"20261209"});
}

TEST_F(ArchiveTest, FailuresGiveTheirCodeAndLeaveNothing) {
    const fs::path day = root() / "20261210";
    fs::create_directories(day);
    writeBytes(day / "a.txt", textBytes(1000, 1));
    const std::string arc = (root() / "20261210.lzh").string();
    const std::string dir = day.string();
    char out[256];
    for (const std::string& bad :
         {"x -x1 -r2 " + arc + " " + dir, "a -x1 -r2 -y " + arc + " " + dir, "a " + arc + " " + dir,
          "a -x1 -r2 " + arc, "a -x1 -r2 " + arc + " " + dir + " " + dir, std::string()}) {
        EXPECT_EQ(Unlha(0, bad, out, sizeof out), kErrorBadCommand) << bad;
    }
    EXPECT_EQ(pack(arc, root() / "missing"), kErrorCannotReadSource);
    EXPECT_EQ(pack(root() / "no such folder" / "a.lzh", day), kErrorCannotWriteArchive);

    writeBytes(day / std::string("bad\xff.txt"), {'x'});
    std::string text;
    EXPECT_EQ(pack(arc, day, &text), kErrorBadName);
    EXPECT_NE(text.find("0xFF"), std::string::npos) << text;

    EXPECT_EQ(namesIn(root()), std::vector<std::string>{"20261210"});
    EXPECT_EQ(namesIn(day), (std::vector<std::string>{"a.txt", "bad\xff.txt"}));
    EXPECT_FALSE(UnlhaGetRunning());
}

TEST_F(ArchiveTest, ReplacesAnOldArchiveAndReportsWithinTheBuffer) {
    const fs::path day = root() / "20261211";
    fs::create_directories(day / "sub");
    writeBytes(day / "sub" / "a.txt", textBytes(5000, 2));
    const fs::path archive = root() / "20261211.lzh";
    writeBytes(archive, Bytes(100, 'j'));

    char out[16];
    std::memset(out, 'z', sizeof out);
    const std::string line = "a -x1 -r2 " + archive.string() + " " + day.string();
    ASSERT_EQ(Unlha(0, line, out, sizeof out), kOk);
    EXPECT_EQ(std::string(out), std::string("Archived 1 file").substr(0, 15));
    EXPECT_EQ(readHeaders(archive).size(), 3u);

    char one[1] = {'z'};
    ASSERT_EQ(Unlha(0, line, one, 1), kOk);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(Unlha(0, line, nullptr, 0), kOk);
    EXPECT_EQ(namesIn(root()), (std::vector<std::string>{"20261211", "20261211.lzh"}));
    EXPECT_GT(UnlhaGetVersion(), 0);
}

TEST_F(ArchiveTest, ReadBackCatchesDamage) {
    const fs::path day = root() / "20261212";
    fs::create_directories(day);
    writeBytes(day / "a.txt", textBytes(50000, 3));
    writeBytes(day / "b.bin", randomBytes(3000, 4));
    const fs::path archive = root() / "20261212.lzh";
    ASSERT_EQ(pack(archive, day), kOk);
    const auto headers = readHeaders(archive);
    ASSERT_EQ(headers.size(), 3u);
    // One reader, and one per entry (each passing over the entries before
    // its own, the last one checking the end).
    for (unsigned threads : {1u, 2u, 3u}) {
        EXPECT_NO_THROW(verifyArchive(archive, headers, {}, threads)) << threads;
    }

    const Bytes good = readBytes(archive);
    auto expectCaught = [&](const Bytes& damaged, const char* what) {
        writeBytes(archive, damaged);
        for (unsigned threads : {1u, 3u}) {
            try {
                verifyArchive(archive, headers, {}, threads);
                ADD_FAILURE() << what << " went unnoticed, threads " << threads;
            } catch (const LhaError& e) {
                EXPECT_EQ(e.code(), kErrorVerifyFailed) << what;
            }
        }
    };
    // A byte in the middle of the compressed text, one in the stored data,
    // a cut archive, a missing end byte and bytes after it.
    const std::size_t textData = encodeHeader(headers[0]).size() + encodeHeader(headers[1]).size();
    Bytes d = good;
    d[textData + headers[1].compressedSize / 2] ^= 0x04;
    expectCaught(d, "damaged compressed data");
    d = good;
    d[good.size() - 100] ^= 0x01;
    expectCaught(d, "damaged stored data");
    expectCaught(Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)),
                 "a cut archive");
    expectCaught(Bytes(good.begin(), good.end() - 1), "a missing end byte");
    d = good;
    d.push_back(0);
    expectCaught(d, "trailing bytes");
    // An entry the source does not have.
    auto fewer = headers;
    fewer.pop_back();
    writeBytes(archive, good);
    EXPECT_THROW(verifyArchive(archive, fewer), LhaError);
    EXPECT_THROW(verifyArchive(archive, fewer, {}, 2), LhaError);
}

} // namespace
} // namespace tolvane::lha
