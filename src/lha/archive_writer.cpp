#include "lha/archive_writer.h"

#include "lha/archive_reader.h"
#include "lha/errors.h"
#include "lha/file_info.h"
#include "lha/member_pipeline.h"
#include "lha/output_file.h"
#include "platform/failure.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/temporaries.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace tolvane::lha {

namespace {

constexpr std::uint64_t kSizeLimit = std::uint64_t{1} << 32;

struct PlannedEntry {
    std::string source;
    EntryHeader header;
    std::uint64_t size = 0; // a file's size when listed
};

[[noreturn]] void cannotRead(const std::string& path) {
    throw LhaError(kErrorCannotReadSource, "cannot read " + path);
}

[[noreturn]] void cannotRead(const std::string& path, const platform::Failure& failure) {
    throw LhaError(kErrorCannotReadSource, "cannot read " + path, path, failure);
}

[[noreturn]] void tooLarge(const std::string& path) {
    throw LhaError(kErrorFileTooLarge, "file of 4 GiB or more cannot be archived: " + path);
}

void throwIfCancelled(const std::atomic<bool>* cancel) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        throw LhaError(kErrorCancelled, "cancelled by the user");
    }
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
    std::uint64_t totalSize = 0;
    const std::atomic<bool>* cancel = nullptr;

    void addFile(const std::string& path, const FileInfo& info, std::vector<std::string> folders) {
        if (info.size >= kSizeLimit) {
            tooLarge(path);
        }
        add(path, headerFor(info, std::move(folders), platform::lastName(path), Method::Lh5));
        entries.back().size = info.size;
        totalSize += info.size;
    }

    void addFolder(const std::string& path, const FileInfo& info,
                   std::vector<std::string> folders) {
        folders.push_back(platform::lastName(path));
        add(path, headerFor(info, folders, "", Method::Directory));

        std::vector<std::string> names;
        try {
            names = platform::listFolderNames(path);
        } catch (const platform::Failure& failure) {
            cannotRead(path, failure);
        }
        // Byte order, whatever order the system listed them in.
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            throwIfCancelled(cancel);
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
        } catch (const platform::Failure& failure) {
            cannotRead(path, failure);
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

bool isFile(const PlannedEntry& entry) {
    return entry.header.method != Method::Directory && entry.header.method != Method::Link;
}

class Writer {
  public:
    Writer(OutputFile& out, const std::atomic<bool>* cancel)
        : out_(out), packer_(cancel),
          toFile_([this](const std::uint8_t* d, std::size_t n) { out_.write(d, n); }) {}

    // Told the bytes of the current file read so far here, for progress.
    void onRead(std::function<void(std::uint64_t)> f) { packer_.onRead = std::move(f); }

    // Writes one entry and completes its header with what was really read.
    // A file comes packed in memory already, or (when `ready` is null or too
    // large) is packed here straight into the archive.
    void writeEntry(PlannedEntry& entry, PackedMember* ready) {
        EntryHeader& h = entry.header;
        if (!isFile(entry)) {
            const std::vector<std::uint8_t> bytes = encodeHeader(h);
            out_.write(bytes.data(), bytes.size());
            return;
        }
        if (ready != nullptr && ready->error) {
            std::rethrow_exception(ready->error);
        }
        if (ready != nullptr && ready->outcome == PackOutcome::Packed) {
            setData(h, Method::Lh5, ready->data, ready->data.packedSize);
            const std::vector<std::uint8_t> bytes = encodeHeader(h);
            out_.write(bytes.data(), bytes.size());
            out_.write(ready->stream.data(), ready->stream.size());
            bytesIn_ += h.originalSize;
            return;
        }
        const std::uint64_t headerAt = out_.position();
        h.method = Method::Lh5;
        const std::size_t headerSize = encodeHeader(h).size();
        std::vector<std::uint8_t> placeholder(headerSize, 0);
        out_.write(placeholder.data(), placeholder.size());
        const std::uint64_t dataAt = out_.position();

        MemberData data;
        const bool packed =
            (ready == nullptr || ready->outcome == PackOutcome::TooLarge) &&
            packer_.pack(entry.source, toFile_, data, std::numeric_limits<std::uint64_t>::max()) ==
                PackOutcome::Packed;
        if (packed) {
            setData(h, Method::Lh5, data, data.packedSize);
        } else {
            out_.rewind(dataAt);
            packer_.store(entry.source, toFile_, data);
            setData(h, Method::Stored, data, data.size);
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
    static void setData(EntryHeader& h, Method method, const MemberData& data,
                        std::uint64_t stored) {
        h.method = method;
        h.originalSize = static_cast<std::uint32_t>(data.size);
        h.compressedSize = static_cast<std::uint32_t>(stored);
        h.crc = data.crc;
    }

    OutputFile& out_;
    MemberPacker packer_;
    DataSink toFile_;
    std::uint64_t bytesIn_ = 0;
};

} // namespace

PackSummary packArchive(const std::string& archive, const std::string& source) {
    return packArchive(archive, source, PackOptions{});
}

PackSummary packArchive(const std::string& archive, const std::string& source,
                        const PackOptions& options) {
    PackProgress* const progress = options.progress;
    const std::atomic<bool>* const cancel = progress != nullptr ? &progress->cancel : nullptr;
    std::string root;
    try {
        root = platform::absolutePath(source);
    } catch (const platform::Failure& failure) {
        cannotRead(source, failure);
    }
    if (platform::lastName(root).empty()) {
        cannotRead(source); // the root has no name to start the entries with
    }

    if (progress != nullptr) {
        progress->setFolder(root);
        progress->phase = PackPhase::Listing;
    }
    throwIfCancelled(cancel);
    Planner planner;
    planner.cancel = cancel;
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

    if (progress != nullptr) {
        progress->bytesDone = 0;
        progress->bytesTotal = planner.totalSize;
        progress->phase = PackPhase::Writing;
    }

    PackSummary summary;
    OutputFile out(archive);
    try {
        std::vector<EntryHeader> written;
        written.reserve(planner.entries.size());
        {
            std::vector<MemberPipeline::File> inMemory;
            for (const PlannedEntry& entry : planner.entries) {
                if (isFile(entry) && entry.size <= MemberPipeline::kInMemoryLimit) {
                    inMemory.push_back({entry.source, entry.size});
                }
            }
            Writer writer(out, cancel);
            std::uint64_t doneBefore = 0; // bytes of the files already written
            if (progress != nullptr) {
                writer.onRead(
                    [&](std::uint64_t readSoFar) { progress->bytesDone = doneBefore + readSoFar; });
            }
            MemberPipeline pipeline(std::move(inMemory), packingThreads(options.threads), cancel);
            std::size_t nextInMemory = 0;
            for (PlannedEntry& entry : planner.entries) {
                throwIfCancelled(cancel);
                std::optional<PackedMember> ready;
                if (isFile(entry)) {
                    if (progress != nullptr) {
                        progress->setCurrentFile(entry.header.path());
                    }
                    if (entry.size <= MemberPipeline::kInMemoryLimit) {
                        ready = pipeline.take(nextInMemory++);
                    }
                }
                writer.writeEntry(entry, ready ? &*ready : nullptr);
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
                    doneBefore += entry.header.originalSize;
                    if (progress != nullptr) {
                        progress->bytesDone = doneBefore;
                    }
                    break;
                }
            }
            summary.bytesIn = writer.bytesIn();
        }
        const std::uint8_t endMark = 0;
        out.write(&endMark, 1);
        summary.archiveSize = out.position();
        // The disk catches up while the archive is read back.
        out.startClose();
        if (progress != nullptr) {
            progress->bytesDone = 0;
            progress->bytesTotal = summary.bytesIn;
            progress->phase = PackPhase::Verifying;
        }
        verifyArchive(
            out.path(), written,
            [&](const EntryHeader& entry, std::size_t bytes) {
                throwIfCancelled(cancel);
                if (progress != nullptr) {
                    if (bytes == 0) {
                        progress->setCurrentFile(entry.path());
                    }
                    progress->bytesDone += bytes;
                }
            },
            packingThreads(options.threads));
        out.finishClose();
        if (progress != nullptr && !written.empty()) {
            // Runs are checked side by side and end in any order: the check
            // ends, as the archive does, with its last entry.
            progress->setCurrentFile(written.back().path());
        }
        try {
            platform::renameReplacing(out.path(), archive);
        } catch (const platform::Failure& failure) {
            throw LhaError(kErrorCannotWriteArchive, "cannot rename the archive to " + archive,
                           archive, failure);
        }
        if (!platform::syncFolder(platform::folderOfPath(archive))) {
            platform::removeFile(archive);
            throw LhaError(kErrorCannotWriteArchive, "cannot flush the folder of " + archive);
        }
    } catch (...) {
        out.discard();
        throw;
    }
    if (progress != nullptr) {
        progress->phase = PackPhase::Done;
    }
    return summary;
}

} // namespace tolvane::lha
