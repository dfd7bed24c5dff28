#pragma once

#include <bit>
#include <cstdint>

namespace tolvane::lha::lh5 {

// Alphabet sizes and the widths of their count fields in a block header.
inline constexpr unsigned kCodeSymbols = 510; // 256 literals + lengths 3..256
inline constexpr int kCodeCountBits = 9;
inline constexpr unsigned kLengthSymbols = 19; // the table that codes C lengths
inline constexpr int kLengthCountBits = 5;
inline constexpr unsigned kOffsetSymbols = 14; // offset bit widths 0..13
inline constexpr int kOffsetCountBits = 4;
// The length table carries a 2-bit run of zeros after its third entry.
inline constexpr unsigned kLengthZeroRunAfter = 3;

// Offset slot: 0 for offset 0, else the offset's bit width; the slot's
// extra bits are the offset below its top bit.
inline unsigned offsetSlot(std::uint32_t offset) {
    return static_cast<unsigned>(std::bit_width(offset));
}

} // namespace tolvane::lha::lh5
