#pragma once

#include "lha/bit_writer.h"
#include "lha/lh5_format.h"

#include <array>
#include <cstdint>
#include <span>

namespace tolvane::lha {

// One code of an -lh5- block: a literal byte (symbol < 256) or a match
// (symbol 256 + length - 3) with its offset, distance - 1.
struct Lh5Code {
    std::uint16_t symbol = 0;
    std::uint16_t offset = 0;
};

// What a block's size depends on: symbol counts and the offsets' extra bits.
struct Lh5BlockStats {
    std::array<std::uint32_t, lh5::kCodeSymbols> freqC{};
    std::array<std::uint32_t, lh5::kOffsetSymbols> freqP{};
    std::uint64_t extraBits = 0;
    std::uint32_t codes = 0;

    void add(Lh5Code code) {
        ++freqC[code.symbol];
        ++codes;
        if (code.symbol >= 256) {
            const unsigned slot = lh5::offsetSlot(code.offset);
            ++freqP[slot];
            extraBits += slot > 1 ? slot - 1 : 0;
        }
    }
    void add(std::span<const Lh5Code> codes) {
        for (Lh5Code c : codes) {
            add(c);
        }
    }
    void subtract(const Lh5BlockStats& other);
};

// Exact size in bits of the block these statistics describe, tables included.
std::uint64_t lh5BlockBits(const Lh5BlockStats& stats);

// Writes one block (at most 65535 codes, at least one) with the statistics
// of those codes, which the caller has at hand.
void writeLh5Block(BitWriter& out, std::span<const Lh5Code> codes, const Lh5BlockStats& stats);

} // namespace tolvane::lha
