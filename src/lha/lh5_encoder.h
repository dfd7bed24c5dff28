#pragma once

#include "lha/bit_writer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tolvane::lha {

// The -lh5- stream: LZ77 over an 8 KiB window (hash chains, lazy matching)
// and static Huffman blocks. Data goes in piece by piece; compressed bytes
// come out through the sink block by block, so a large file never sits in
// memory whole.
class Lh5Encoder {
  public:
    using Sink = std::function<void(const std::uint8_t*, std::size_t)>;

    static constexpr std::uint32_t kWindow = 8192;
    static constexpr std::uint32_t kMinMatch = 3;
    static constexpr std::uint32_t kMaxMatch = 256;
    static constexpr std::size_t kMaxBlockCodes = 65535;

    explicit Lh5Encoder(Sink sink);

    // Starts a new stream; earlier data is forgotten. Tables are reused.
    void begin();
    void write(const std::uint8_t* data, std::size_t size);
    // Ends the stream: encodes what is left and pads the last byte.
    void finish();

    std::uint64_t bytesIn() const { return bytesIn_; }
    std::uint64_t bytesOut() const { return bytesOut_; }
    // Input bytes covered by the compressed bytes given out so far.
    std::uint64_t bytesCoded() const { return bytesCoded_; }

  private:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 17;
    static constexpr int kHashBits = 15;
    static constexpr std::uint32_t kRingMask = 2 * kWindow - 1;
    // Search effort: chain steps per position (a quarter once a good match
    // waits), and match lengths at which the search (nice) or the lazy
    // look-ahead (lazy) stops.
    static constexpr int kMaxChain = 256;
    static constexpr std::uint32_t kNiceLength = 256;
    static constexpr std::uint32_t kLazyLength = 64;
    static constexpr std::uint32_t kGoodLength = 32;
    // Matches worth less than this (see matchScore) lose to literals: a
    // length-3 match from more than 511 bytes back costs more than it saves.
    static constexpr int kMinScore = 3;
    // What a match one byte later must be worth beyond the waiting one, and
    // how many positions past a waiting match are tried.
    static constexpr int kLazyBonus = 2;
    static constexpr std::uint64_t kLookAhead = 2;

    void process(bool final);
    void compact();
    void insert(std::uint64_t position);
    std::uint32_t findMatch(std::uint64_t position, std::uint32_t candidate, std::uint32_t maxLen,
                            std::uint32_t& dist) const;
    std::uint32_t hashAt(std::size_t index) const;
    void emitLiteral(std::uint8_t byte);
    void emitMatch(std::uint32_t length, std::uint32_t dist);
    void encodeBlock(std::size_t first, std::size_t count);
    void drainBits();

    Sink sink_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0; // stream offset of buffer_[0]
    std::size_t filled_ = 0;
    std::uint64_t pos_ = 0; // next stream offset to look at

    // Hash chains hold "stamps": stream offset plus a base that moves on with
    // every stream, so old entries fall out of the window without clearing.
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> prev_;
    std::uint32_t stampBase_ = 1;

    // A match (or a literal) at pendingAt_ whose fate waits on the lazy
    // look-ahead.
    bool pending_ = false;
    std::uint64_t pendingAt_ = 0;
    std::uint32_t pendingLen_ = 0;
    std::uint32_t pendingDist_ = 0;

    // Codes of the blocks not yet written: C symbols and, for matches, offsets.
    std::vector<std::uint16_t> codes_;
    std::vector<std::uint16_t> offsets_;
    std::size_t codeCount_ = 0;

    BitWriter bits_;
    std::uint64_t bytesIn_ = 0;
    std::uint64_t bytesOut_ = 0;
    std::uint64_t bytesCoded_ = 0;
};

} // namespace tolvane::lha
