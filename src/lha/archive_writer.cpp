#include "lha/archive_writer.h"

#include "lha/archive_reader.h"
#include "lha/crc16.h"
#include "lha/errors.h"
#include "lha/file_info.h"
#include "lha/lh5_encoder.h"
#include "lha/output_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <random>
#include <system_error>

namespace tolvane::lha {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kSizeLimit = std::uint64_t{1} << 32;
// Streams shorter than this are stored: some readers cannot take them.
constexpr std::uint64_t kMinPackedSize = 8;
constexpr std::size_t kReadChunk = std::size_t{1} << 18;

struct PlannedEntry {
    fs::path source;
    EntryHeader header;
};

std::string nameBytes(const fs::path& name) {
    const std::u8string s = name.u8string();
    return std::string(s.begin(), s.end());
}

[[noreturn]] void cannotRead(const fs::path& path) {
    throw LhaError(kErrorCannotReadSource, "cannot read " + path.generic_string());
}

[[noreturn]] void tooLarge(const fs::path& path) {
    throw LhaError(kErrorFileTooLarge,
                   "file of 4 GiB or more cannot be archived: " + path.generic_string());
}

EntryHeader headerFor(const FileInfo& info, std::vector<std::string> folders, std::string name,
                      Method method) {
    EntryHeader h;
    h.method = method;
    h.folders = std::move(folders);
    h.name = std::move(name);
    h.mtime = info.mtime;
    h.mode = info.mode;
    h.hasOwner = info.hasOwner;
    h.uid = info.uid;
    h.gid = info.gid;
    return h;
}

// Lists the tree before anything is written, so the whole plan (names, sizes)
// is checked first and the temporary archive never shows up in it.
class Planner {
  public:
    std::vector<PlannedEntry> entries;

    void addFile(const fs::path& path, const FileInfo& info, std::vector<std::string> folders) {
        if (info.size >= kSizeLimit) {
            tooLarge(path);
        }
        add(path, headerFor(info, std::move(folders), nameBytes(path.filename()), Method::Lh5));
    }

    void addFolder(const fs::path& path, const FileInfo& info, std::vector<std::string> folders) {
        folders.push_back(nameBytes(path.filename()));
        add(path, headerFor(info, folders, "", Method::Directory));

        std::vector<fs::path> children;
        std::error_code ec;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
            children.push_back(it->path());
        }
        if (ec) {
            cannotRead(path);
        }
        std::sort(children.begin(), children.end(), [](const fs::path& a, const fs::path& b) {
            return a.filename().native() < b.filename().native();
        });
        for (const fs::path& child : children) {
            const FileInfo childInfo = inspectFile(child, false);
            switch (childInfo.kind) {
            case FileKind::Regular:
                addFile(child, childInfo, folders);
                break;
            case FileKind::Directory:
                addFolder(child, childInfo, folders);
                break;
            case FileKind::Symlink:
                addLink(child, childInfo, folders);
                break;
            case FileKind::Missing:
                cannotRead(child);
            case FileKind::Other:
                // The folder is deleted once archived: dropping it silently
                // would lose it.
                throw LhaError(kErrorSpecialFile, "socket, pipe or device cannot be archived: " +
                                                      child.generic_string());
            }
        }
    }

    // Stored as a link, never followed: a link to a folder does not bring
    // the folder's contents in.
    void addLink(const fs::path& path, const FileInfo& info, std::vector<std::string> folders) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            cannotRead(path);
        }
        EntryHeader h =
            headerFor(info, std::move(folders), nameBytes(path.filename()), Method::Link);
        h.mode = static_cast<std::uint16_t>(kModeLink | (h.mode & ~kModeTypeMask));
        h.linkTarget = nameBytes(target);
        add(path, std::move(h));
    }

  private:
    void add(const fs::path& path, EntryHeader header) {
        encodeHeader(header); // rejects names that cannot be stored, before any writing
        entries.push_back({path, std::move(header)});
    }
};

fs::path temporaryName(const fs::path& archive) {
    std::random_device device;
    std::uniform_int_distribution<int> pick(0, 15);
    static const char hex[] = "0123456789abcdef";
    std::string suffix = ".tmp-";
    for (int i = 0; i < 8; ++i) {
        suffix += hex[pick(device)];
    }
    fs::path tmp = archive;
    tmp += suffix;
    return tmp;
}

class Writer {
  public:
    explicit Writer(OutputFile& out)
        : out_(out), encoder_([this](const std::uint8_t* d, std::size_t n) { out_.write(d, n); }),
          buffer_(kReadChunk) {}

    // Writes one entry and completes its header with what was really read.
    void writeEntry(PlannedEntry& entry) {
        EntryHeader& h = entry.header;
        if (h.method == Method::Directory || h.method == Method::Link) {
            const std::vector<std::uint8_t> bytes = encodeHeader(h);
            out_.write(bytes.data(), bytes.size());
            return;
        }
        const std::uint64_t headerAt = out_.position();
        h.method = Method::Lh5;
        const std::size_t headerSize = encodeHeader(h).size();
        std::vector<std::uint8_t> placeholder(headerSize, 0);
        out_.write(placeholder.data(), placeholder.size());
        const std::uint64_t dataAt = out_.position();

        if (!tryPacked(entry)) {
            out_.rewind(dataAt);
            writeStored(entry);
        }
        const std::vector<std::uint8_t> bytes = encodeHeader(h);
        if (bytes.size() != headerSize) {
            throw LhaError(kErrorInternal, "header size changed for " + h.path());
        }
        out_.patch(headerAt, bytes.data(), bytes.size());
        bytesIn_ += h.originalSize;
    }

    std::uint64_t bytesIn() const { return bytesIn_; }

  private:
    std::ifstream openSource(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            cannotRead(path);
        }
        return in;
    }

    std::size_t readChunk(std::ifstream& in, const fs::path& path) {
        in.read(reinterpret_cast<char*>(buffer_.data()),
                static_cast<std::streamsize>(buffer_.size()));
        if (in.bad()) {
            cannotRead(path);
        }
        return static_cast<std::size_t>(in.gcount());
    }

    // Reads the whole source through the buffer, handing each chunk on, and
    // returns its size and CRC. The handler returns false to stop early.
    template <typename ChunkHandler>
    bool readSource(const fs::path& path, std::uint64_t& size, Crc16& crc, ChunkHandler&& onChunk) {
        std::ifstream in = openSource(path);
        size = 0;
        for (;;) {
            const std::size_t n = readChunk(in, path);
            if (n == 0) {
                return true;
            }
            size += n;
            if (size >= kSizeLimit) {
                tooLarge(path);
            }
            crc.update(buffer_.data(), n);
            if (!onChunk(n)) {
                return false;
            }
        }
    }

    // Compresses the file; false when it does not shrink (nothing of it
    // then counts, the caller stores the file instead).
    bool tryPacked(PlannedEntry& entry) {
        encoder_.begin();
        Crc16 crc;
        std::uint64_t size = 0;
        const bool whole = readSource(entry.source, size, crc, [this](std::size_t n) {
            encoder_.write(buffer_.data(), n);
            // Clearly incompressible so far: stop spending time on it.
            return !(encoder_.bytesCoded() >= (std::uint64_t{1} << 19) &&
                     encoder_.bytesOut() >= encoder_.bytesCoded());
        });
        if (!whole) {
            return false;
        }
        encoder_.finish();
        if (size < kMinPackedSize || encoder_.bytesOut() < kMinPackedSize ||
            encoder_.bytesOut() >= size) {
            return false;
        }
        entry.header.method = Method::Lh5;
        entry.header.originalSize = static_cast<std::uint32_t>(size);
        entry.header.compressedSize = static_cast<std::uint32_t>(encoder_.bytesOut());
        entry.header.crc = crc.value();
        return true;
    }

    void writeStored(PlannedEntry& entry) {
        Crc16 crc;
        std::uint64_t size = 0;
        readSource(entry.source, size, crc, [this](std::size_t n) {
            out_.write(buffer_.data(), n);
            return true;
        });
        entry.header.method = Method::Stored;
        entry.header.originalSize = static_cast<std::uint32_t>(size);
        entry.header.compressedSize = static_cast<std::uint32_t>(size);
        entry.header.crc = crc.value();
    }

    OutputFile& out_;
    Lh5Encoder encoder_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bytesIn_ = 0;
};

} // namespace

PackSummary packArchive(const fs::path& archive, const fs::path& source) {
    fs::path root = fs::absolute(source).lexically_normal();
    if (!root.has_filename()) {
        root = root.parent_path(); // "dir/" names "dir"
    }
    if (!root.has_filename() || root.filename() == "." || root.filename() == "..") {
        cannotRead(source);
    }

    Planner planner;
    const FileInfo info = inspectFile(root, true);
    if (info.kind == FileKind::Directory) {
        planner.addFolder(root, info, {});
    } else if (info.kind == FileKind::Regular) {
        planner.addFile(root, info, {});
    } else {
        cannotRead(source);
    }

    const fs::path tmp = temporaryName(archive);
    PackSummary summary;
    OutputFile out(tmp);
    try {
        Writer writer(out);
        std::vector<EntryHeader> written;
        written.reserve(planner.entries.size());
        for (PlannedEntry& entry : planner.entries) {
            writer.writeEntry(entry);
            written.push_back(entry.header);
            switch (entry.header.method) {
            case Method::Directory:
                ++summary.folders;
                break;
            case Method::Link:
                ++summary.links;
                break;
            case Method::Stored:
            case Method::Lh5:
                ++summary.files;
                break;
            }
        }
        const std::uint8_t endMark = 0;
        out.write(&endMark, 1);
        summary.archiveSize = out.position();
        summary.bytesIn = writer.bytesIn();
        out.close();
        if (!syncToDisk(tmp)) {
            throw LhaError(kErrorCannotWriteArchive, "cannot flush " + tmp.generic_string());
        }
        verifyArchive(tmp, written);
        std::error_code ec;
        fs::rename(tmp, archive, ec);
        if (ec) {
            throw LhaError(kErrorCannotWriteArchive,
                           "cannot rename the archive to " + archive.generic_string());
        }
        if (!syncFolderToDisk(archive.parent_path())) {
            fs::remove(archive, ec);
            throw LhaError(kErrorCannotWriteArchive,
                           "cannot flush the folder of " + archive.generic_string());
        }
    } catch (...) {
        out.discard();
        throw;
    }
    return summary;
}

} // namespace tolvane::lha
