#pragma once

#include "lha/bit_writer.h"
#include "lha/lh5_block.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tolvane::lha {

// The -lh5- stream, made small: every match the 8 KiB window offers is
// collected, the cheapest way through them is found for the code lengths of
// the block being built (parsed again with the lengths the last parse gave),
// and blocks end where a cost comparison says a fresh set of tables pays.
//
// Data goes in piece by piece and is worked on in segments of kSegment
// bytes, so memory stays the same whatever the stream's length; compressed
// bytes come out through the sink block by block.
class Lh5OptimalEncoder {
  public:
    using Sink = std::function<void(const std::uint8_t*, std::size_t)>;

    static constexpr std::uint32_t kWindow = 8192;
    static constexpr std::uint32_t kMinMatch = 3;
    static constexpr std::uint32_t kMaxMatch = 256;
    static constexpr std::size_t kMaxBlockCodes = 65535;
    static constexpr std::size_t kSegment = std::size_t{1} << 17;

    explicit Lh5OptimalEncoder(Sink sink);

    // Starts a new stream; earlier data is forgotten.
    void begin();
    void write(const std::uint8_t* data, std::size_t size);
    // Ends the stream: encodes what is left and pads the last byte.
    void finish();

    std::uint64_t bytesIn() const { return bytesIn_; }
    std::uint64_t bytesOut() const { return bytesOut_; }
    // Input bytes covered by the compressed bytes given out so far.
    std::uint64_t bytesCoded() const { return bytesCoded_; }
    // Blocks written in this stream.
    std::uint64_t blocks() const { return blocks_; }

  private:
    struct Match {
        std::uint16_t length;
        std::uint16_t distance;
    };
    // Bits a code costs under the tables a parse expects.
    struct CostModel {
        std::uint32_t symbol[lh5::kCodeSymbols];
        std::uint32_t slot[lh5::kOffsetSymbols]; // extra bits included
    };
    struct Block {
        std::size_t firstCode;
        std::size_t codeCount;
        Lh5BlockStats stats; // of these codes
    };

    void compact();
    void encodeSegment(std::uint64_t start, std::uint64_t end, bool last);
    // True when the bytes look already compressed: flat byte counts and
    // hardly a repeat.
    bool looksPacked(const std::uint8_t* data, std::size_t n);
    void findMatches(std::uint64_t start, std::uint64_t end);
    void rebase();
    static void setCosts(const Lh5BlockStats& stats, CostModel& model);
    // The first parse: the longest match wherever there is one, handed to
    // take() code by code.
    template <typename Take> void longestMatches(std::size_t n, Take&& take) const;
    void parse(const CostModel& model, std::size_t from, std::size_t to, std::vector<Lh5Code>& out);
    void splitBlocks(const std::vector<Lh5Code>& codes, std::size_t first, std::size_t count,
                     bool atEnd, std::vector<Block>& blocks) const;
    void emitBlock(std::span<const Lh5Code> codes, const Lh5BlockStats& stats);
    void drainBits();

    Sink sink_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0; // stream offset of buffer_[0]
    std::size_t filled_ = 0;
    std::uint64_t next_ = 0; // first stream offset not yet encoded

    // Hash chains of four-byte prefixes over positions + 1 (0: none), and
    // the latest position of each three-byte prefix. A position is the
    // stream offset plus origin_, which grows from stream to stream so the
    // tables need no clearing; rebase() lowers everything before it would
    // pass 32 bits. Positions stay above 2 * kWindow, so that a distance to
    // "none" is always beyond the window.
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> head3_;
    std::vector<std::uint32_t> prev_;
    std::uint64_t origin_ = 2 * kWindow;
    std::vector<std::uint32_t> probe_; // looksPacked()'s table

    // The segment being encoded: its bytes' matches, shortest first, and the
    // parse's working arrays.
    std::uint64_t segmentStart_ = 0;
    std::vector<std::uint32_t> firstMatch_;
    std::vector<Match> matches_;
    // How the cheapest path reaches each position: its cost in bits << 32 |
    // distance << 16 | length.
    std::vector<std::uint64_t> step_;
    std::vector<Lh5Code> codes_;
    std::vector<Lh5Code> trial_;

    BitWriter bits_;
    std::uint64_t bytesIn_ = 0;
    std::uint64_t bytesOut_ = 0;
    std::uint64_t bytesCoded_ = 0;
    std::uint64_t blocks_ = 0;
};

} // namespace tolvane::lha
