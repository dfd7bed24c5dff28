#pragma once

#include "lha/lh5_optimal_encoder.h"
#include "platform/file_io.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace tolvane::lha {

using DataSink = std::function<void(const std::uint8_t*, std::size_t)>;

// What reading a file for the archive found.
struct MemberData {
    std::uint64_t size = 0; // bytes read
    std::uint16_t crc = 0;
    std::uint64_t packedSize = 0; // bytes of the -lh5- stream, when packed
};

enum class PackOutcome {
    Packed,  // the stream went to the sink
    Store,   // it would not shrink: store the file instead
    TooLarge // more than the caller's limit came in: pack it another way
};

// Reads one file in chunks and compresses or copies it. Before every chunk
// it looks at the cancel flag and throws LhaError(kErrorCancelled) when set.
// One per thread: it owns an encoder and a read buffer.
class MemberPacker {
  public:
    explicit MemberPacker(const std::atomic<bool>* cancel);

    // Compresses the file into the sink. On Store or TooLarge, whatever the
    // sink got is to be dropped. `limit` bounds the bytes read and given out.
    PackOutcome pack(const std::string& path, const DataSink& sink, MemberData& out,
                     std::uint64_t limit);
    void store(const std::string& path, const DataSink& sink, MemberData& out);

    // Told, after every chunk, how many bytes of the file this pass has read.
    std::function<void(std::uint64_t)> onRead;

  private:
    std::size_t readChunk(platform::InputFile& in, const std::string& path);
    template <typename ChunkHandler>
    bool readSource(const std::string& path, MemberData& out, ChunkHandler&& onChunk);

    const std::atomic<bool>* cancel_;
    const DataSink* sink_ = nullptr;
    Lh5OptimalEncoder encoder_;
    std::vector<std::uint8_t> buffer_;
};

// A file compressed in memory, waiting for its turn in the archive.
struct PackedMember {
    PackOutcome outcome = PackOutcome::Store;
    MemberData data;
    std::vector<std::uint8_t> stream; // the -lh5- stream when Packed
    std::exception_ptr error;         // rethrown when its turn comes
};

PackedMember packInMemory(MemberPacker& packer, const std::string& path, std::uint64_t limit);

} // namespace tolvane::lha
