#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tolvane::lha {

inline constexpr int kMaxCodeBits = 16;

// Code lengths of an optimal prefix code for the given frequencies, no
// longer than maxBits. Unused symbols get 0. With fewer than two used symbols
// every length is 0: the format spells such a table as its one symbol.
std::vector<std::uint8_t> buildCodeLengths(std::span<const std::uint32_t> freq, int maxBits);
// The same into `lengths` (as many as freq, at most 512 symbols).
void buildCodeLengths(std::span<const std::uint32_t> freq, int maxBits,
                      std::span<std::uint8_t> lengths);

// Canonical codes for the lengths: shorter codes first, and within one
// length in increasing symbol order.
std::vector<std::uint16_t> canonicalCodes(std::span<const std::uint8_t> lengths);

class BitReader;

// Decodes one canonical code. build() rejects lengths that are not a
// complete prefix code, so corrupt tables are caught, not followed.
class HuffmanDecoder {
  public:
    bool build(std::span<const std::uint8_t> lengths);
    // A table made of one symbol that costs no bits.
    void buildSingle(unsigned symbol);
    unsigned decode(BitReader& in) const;

  private:
    static constexpr int kFastBits = 10;
    // For codes up to kFastBits: symbol << 5 | length, 0 when longer.
    std::vector<std::uint16_t> fast_;
    // Canonical decoding for the longer ones.
    std::uint32_t firstCode_[kMaxCodeBits + 2] = {};
    std::uint32_t firstIndex_[kMaxCodeBits + 2] = {};
    std::uint32_t count_[kMaxCodeBits + 2] = {};
    std::vector<std::uint16_t> sorted_;
    int single_ = -1;
};

} // namespace tolvane::lha
