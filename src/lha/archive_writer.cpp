#include "lha/archive_writer.h"

#include "lha/archive_reader.h"
#include "lha/crc16.h"
#include "lha/errors.h"
#include "lha/file_info.h"
#include "lha/lh5_encoder.h"
#include "lha/output_file.h"
#include "platform/failure.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/temporaries.h"

#include <algorithm>
#include <optional>

namespace tolvane::lha {

namespace {

constexpr std::uint64_t kSizeLimit = std::uint64_t{1} << 32;
// Streams shorter than this are stored: some readers cannot take them.
constexpr std::uint64_t kMinPackedSize = 8;
constexpr std::size_t kReadChunk = std::size_t{1} << 18;

struct PlannedEntry {
    std::string source;
    EntryHeader header;
};

[[noreturn]] void cannotRead(const std::string& path) {
    throw LhaError(kErrorCannotReadSource, "cannot read " + path);
}

[[noreturn]] void tooLarge(const std::string& path) {
    throw LhaError(kErrorFileTooLarge, "file of 4 GiB or more cannot be archived: " + path);
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

    void addFile(const std::string& path, const FileInfo& info, std::vector<std::string> folders) {
        if (info.size >= kSizeLimit) {
            tooLarge(path);
        }
        add(path, headerFor(info, std::move(folders), platform::lastName(path), Method::Lh5));
    }

    void addFolder(const std::string& path, const FileInfo& info,
                   std::vector<std::string> folders) {
        folders.push_back(platform::lastName(path));
        add(path, headerFor(info, folders, "", Method::Directory));

        std::vector<std::string> names;
        try {
            names = platform::listFolderNames(path);
        } catch (const platform::Failure&) {
            cannotRead(path);
        }
        // Byte order, whatever order the system listed them in.
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const std::string child = platform::joinPath(path, name);
            if (platform::isTemporaryName(name)) {
                // A killed copy's leftover is no backup; one a live run is
                // still writing would be lost with the folder.
                if (platform::isStaleTemporary(child)) {
                    continue;
                }
                throw LhaError(kErrorFolderInUse, "a run may still be writing " + child);
            }
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
                throw LhaError(kErrorSpecialFile,
                               "socket, pipe or device cannot be archived: " + child);
            }
        }
    }

    // Stored as a link, never followed: a link to a folder does not bring
    // the folder's contents in.
    void addLink(const std::string& path, const FileInfo& info, std::vector<std::string> folders) {
        std::string target;
        try {
            target = platform::readLink(path);
        } catch (const platform::Failure&) {
            cannotRead(path);
        }
        EntryHeader h = headerFor(info, std::move(folders), platform::lastName(path), Method::Link);
        h.mode = static_cast<std::uint16_t>(kModeLink | (h.mode & ~kModeTypeMask));
        h.linkTarget = std::move(target);
        add(path, std::move(h));
    }

  private:
    void add(const std::string& path, EntryHeader header) {
        encodeHeader(header); // rejects names that cannot be stored, before any writing
        entries.push_back({path, std::move(header)});
    }
};

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
    // A full buffer, short only at the end of the file.
    std::size_t readChunk(platform::InputFile& in, const std::string& path) {
        std::size_t done = 0;
        try {
            while (done < buffer_.size()) {
                const std::size_t got = in.read(buffer_.data() + done, buffer_.size() - done);
                if (got == 0) {
                    break;
                }
                done += got;
            }
        } catch (const platform::Failure&) {
            cannotRead(path);
        }
        return done;
    }

    // Reads the whole source through the buffer, handing each chunk on, and
    // returns its size and CRC. The handler returns false to stop early.
    template <typename ChunkHandler>
    bool readSource(const std::string& path, std::uint64_t& size, Crc16& crc,
                    ChunkHandler&& onChunk) {
        std::optional<platform::InputFile> in;
        try {
            in.emplace(path);
        } catch (const platform::Failure&) {
            cannotRead(path);
        }
        size = 0;
        for (;;) {
            const std::size_t n = readChunk(*in, path);
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

PackSummary packArchive(const std::string& archive, const std::string& source) {
    std::string root;
    try {
        root = platform::absolutePath(source);
    } catch (const platform::Failure&) {
        cannotRead(source);
    }
    if (platform::lastName(root).empty()) {
        cannotRead(source); // the root has no name to start the entries with
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

    // Leftovers of killed archive runs (and any other stale temporaries of
    // the program there) go before a new one is made.
    platform::removeStaleTemporaries(platform::folderOfPath(archive));

    PackSummary summary;
    OutputFile out(archive);
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
        verifyArchive(out.path(), written);
        try {
            platform::renameReplacing(out.path(), archive);
        } catch (const platform::Failure&) {
            throw LhaError(kErrorCannotWriteArchive, "cannot rename the archive to " + archive);
        }
        if (!platform::syncFolder(platform::folderOfPath(archive))) {
            platform::removeFile(archive);
            throw LhaError(kErrorCannotWriteArchive, "cannot flush the folder of " + archive);
        }
    } catch (...) {
        out.discard();
        throw;
    }
    return summary;
}

} // namespace tolvane::lha
