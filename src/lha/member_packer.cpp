#include "lha/member_packer.h"

#include "lha/crc16.h"
#include "lha/errors.h"
#include "platform/failure.h"
#include "platform/file_io.h"

#include <optional>

namespace tolvane::lha {

namespace {

constexpr std::uint64_t kSizeLimit = std::uint64_t{1} << 32;
// Streams shorter than this are stored: some readers cannot take them.
constexpr std::uint64_t kMinPackedSize = 8;
constexpr std::size_t kReadChunk = std::size_t{1} << 18;
// After this much input a stream that has not shrunk is given up.
constexpr std::uint64_t kGiveUpAfter = std::uint64_t{1} << 19;

[[noreturn]] void cannotRead(const std::string& path) {
    throw LhaError(kErrorCannotReadSource, "cannot read " + path);
}

} // namespace

// A full buffer, short only at the end of the file.
std::size_t MemberPacker::readChunk(platform::InputFile& in, const std::string& path) {
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

MemberPacker::MemberPacker(const std::atomic<bool>* cancel)
    : cancel_(cancel), encoder_([this](const std::uint8_t* d, std::size_t n) { (*sink_)(d, n); }),
      buffer_(kReadChunk) {}

// Reads the whole source through the buffer, handing each chunk on, and
// fills in its size and CRC. The handler returns false to stop early.
template <typename ChunkHandler>
bool MemberPacker::readSource(const std::string& path, MemberData& out, ChunkHandler&& onChunk) {
    std::optional<platform::InputFile> in;
    try {
        in.emplace(path);
    } catch (const platform::Failure&) {
        cannotRead(path);
    }
    Crc16 crc;
    out = MemberData{};
    for (;;) {
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) {
            throw LhaError(kErrorCancelled, "cancelled by the user");
        }
        const std::size_t n = readChunk(*in, path);
        if (n == 0) {
            out.crc = crc.value();
            return true;
        }
        out.size += n;
        if (out.size >= kSizeLimit) {
            throw LhaError(kErrorFileTooLarge, "file of 4 GiB or more cannot be archived: " + path);
        }
        crc.update(buffer_.data(), n);
        if (onRead) {
            onRead(out.size);
        }
        if (!onChunk(n)) {
            return false;
        }
    }
}

PackOutcome MemberPacker::pack(const std::string& path, const DataSink& sink, MemberData& out,
                               std::uint64_t limit) {
    sink_ = &sink;
    encoder_.begin();
    bool tooLarge = false;
    const bool whole = readSource(path, out, [&](std::size_t n) {
        if (out.size > limit) {
            tooLarge = true;
            return false;
        }
        encoder_.write(buffer_.data(), n);
        // Clearly incompressible so far: stop spending time on it.
        return !(encoder_.bytesCoded() >= kGiveUpAfter &&
                 encoder_.bytesOut() >= encoder_.bytesCoded());
    });
    if (tooLarge) {
        return PackOutcome::TooLarge;
    }
    if (!whole) {
        return PackOutcome::Store;
    }
    encoder_.finish();
    out.packedSize = encoder_.bytesOut();
    if (out.size < kMinPackedSize || out.packedSize < kMinPackedSize ||
        out.packedSize >= out.size) {
        return PackOutcome::Store;
    }
    return PackOutcome::Packed;
}

void MemberPacker::store(const std::string& path, const DataSink& sink, MemberData& out) {
    readSource(path, out, [&](std::size_t n) {
        sink(buffer_.data(), n);
        return true;
    });
}

PackedMember packInMemory(MemberPacker& packer, const std::string& path, std::uint64_t limit) {
    PackedMember member;
    try {
        const DataSink sink = [&](const std::uint8_t* d, std::size_t n) {
            member.stream.insert(member.stream.end(), d, d + n);
        };
        member.outcome = packer.pack(path, sink, member.data, limit);
        if (member.outcome != PackOutcome::Packed) {
            member.stream = {};
        }
    } catch (...) {
        member.error = std::current_exception();
    }
    return member;
}

} // namespace tolvane::lha
