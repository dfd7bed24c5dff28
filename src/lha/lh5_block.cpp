#include "lha/lh5_block.h"

#include "lha/huffman.h"

#include <vector>

namespace tolvane::lha {

namespace {

using namespace lh5;

// Counts bits instead of writing them, so sizes come from the writing code
// itself and cannot drift from it.
struct BitCounter {
    std::uint64_t bits = 0;
    void put(std::uint32_t /*value*/, int n) { bits += static_cast<std::uint64_t>(n); }
};

// Bit lengths of a table written in the 3-bit form with a unary tail.
template <typename Out> void putSmallLength(Out& out, unsigned len) {
    if (len < 7) {
        out.put(len, 3);
        return;
    }
    out.put(7, 3);
    for (unsigned i = 7; i < len; ++i) {
        out.put(1, 1);
    }
    out.put(0, 1);
}

template <std::size_t N> unsigned usedCount(std::span<const std::uint8_t> lengths, unsigned& last) {
    unsigned used = 0;
    last = 0;
    for (unsigned s = 0; s < N; ++s) {
        if (lengths[s] != 0) {
            ++used;
            last = s + 1;
        }
    }
    return used;
}

// The only symbol with a non-zero frequency (or 0 when there is none).
unsigned onlySymbol(std::span<const std::uint32_t> freq) {
    for (unsigned s = 0; s < freq.size(); ++s) {
        if (freq[s] != 0) {
            return s;
        }
    }
    return 0;
}

// The T or P table: either the one-symbol form or count + lengths.
template <typename Out, std::size_t N>
void putSmallTable(Out& out, std::span<const std::uint8_t> lengths,
                   const std::array<std::uint32_t, N>& freq, int countBits, unsigned zeroRunAfter) {
    unsigned n = 0;
    if (usedCount<N>(lengths, n) < 2) {
        out.put(0, countBits);
        out.put(onlySymbol(freq), countBits);
        return;
    }
    out.put(n, countBits);
    unsigned i = 0;
    while (i < n) {
        putSmallLength(out, lengths[i++]);
        if (i == zeroRunAfter) {
            unsigned zeros = 0;
            while (zeros < 3 && i + zeros < n && lengths[i + zeros] == 0) {
                ++zeros;
            }
            out.put(zeros, 2);
            i += zeros;
        }
    }
}

struct LengthCode {
    std::uint8_t symbol;
    std::uint16_t extra; // run length field for symbols 1 and 2
};

// The C lengths spelled with the T alphabet (never more than one per length).
struct SpelledLengths {
    std::array<LengthCode, kCodeSymbols> items;
    unsigned count = 0;

    void push_back(LengthCode c) { items[count++] = c; }
    const LengthCode* begin() const { return items.data(); }
    const LengthCode* end() const { return items.data() + count; }
};

// Spells the C lengths with the T alphabet: runs of zeros and lengths + 2.
SpelledLengths spellCodeLengths(std::span<const std::uint8_t> lengths, unsigned n) {
    SpelledLengths out;
    unsigned i = 0;
    while (i < n) {
        if (lengths[i] != 0) {
            out.push_back({static_cast<std::uint8_t>(lengths[i] + 2), 0});
            ++i;
            continue;
        }
        unsigned run = 0;
        while (i + run < n && lengths[i + run] == 0) {
            ++run;
        }
        i += run;
        if (run <= 2) {
            for (unsigned k = 0; k < run; ++k) {
                out.push_back({0, 0});
            }
        } else if (run <= 18) {
            out.push_back({1, static_cast<std::uint16_t>(run - 3)});
        } else if (run == 19) {
            out.push_back({0, 0});
            out.push_back({1, 15});
        } else {
            out.push_back({2, static_cast<std::uint16_t>(run - 20)});
        }
    }
    return out;
}

// The three code tables of a block, built from its statistics.
struct BlockTables {
    std::array<std::uint8_t, kCodeSymbols> lenC;
    std::array<std::uint8_t, kOffsetSymbols> lenP;

    explicit BlockTables(const Lh5BlockStats& s) {
        buildCodeLengths(s.freqC, kMaxCodeBits, lenC);
        buildCodeLengths(s.freqP, kMaxCodeBits, lenP);
    }

    // The block header: count, T, C and P tables.
    template <typename Out> void putHeader(Out& out, const Lh5BlockStats& s) const {
        out.put(s.codes, 16);
        unsigned nC = 0;
        if (usedCount<kCodeSymbols>(lenC, nC) < 2) {
            // One C symbol: an empty T table, then the symbol itself.
            out.put(0, kLengthCountBits);
            out.put(0, kLengthCountBits);
            out.put(0, kCodeCountBits);
            out.put(onlySymbol(s.freqC), kCodeCountBits);
        } else {
            const SpelledLengths spelled = spellCodeLengths(lenC, nC);
            std::array<std::uint32_t, kLengthSymbols> freqT{};
            for (const LengthCode& lc : spelled) {
                ++freqT[lc.symbol];
            }
            std::array<std::uint8_t, kLengthSymbols> lenT;
            buildCodeLengths(freqT, kMaxCodeBits, lenT);
            const std::vector<std::uint16_t> codeT = canonicalCodes(lenT);
            putSmallTable(out, lenT, freqT, kLengthCountBits, kLengthZeroRunAfter);
            out.put(nC, kCodeCountBits);
            for (const LengthCode& lc : spelled) {
                out.put(codeT[lc.symbol], lenT[lc.symbol]);
                if (lc.symbol == 1) {
                    out.put(lc.extra, 4);
                } else if (lc.symbol == 2) {
                    out.put(lc.extra, kCodeCountBits);
                }
            }
        }
        putSmallTable(out, lenP, s.freqP, kOffsetCountBits, 0);
    }
};

} // namespace

void Lh5BlockStats::subtract(const Lh5BlockStats& other) {
    for (std::size_t i = 0; i < freqC.size(); ++i) {
        freqC[i] -= other.freqC[i];
    }
    for (std::size_t i = 0; i < freqP.size(); ++i) {
        freqP[i] -= other.freqP[i];
    }
    extraBits -= other.extraBits;
    codes -= other.codes;
}

std::uint64_t lh5BlockBits(const Lh5BlockStats& stats) {
    const BlockTables tables(stats);
    BitCounter counter;
    tables.putHeader(counter, stats);
    std::uint64_t bits = counter.bits + stats.extraBits;
    for (std::size_t s = 0; s < stats.freqC.size(); ++s) {
        bits += std::uint64_t{stats.freqC[s]} * tables.lenC[s];
    }
    for (std::size_t s = 0; s < stats.freqP.size(); ++s) {
        bits += std::uint64_t{stats.freqP[s]} * tables.lenP[s];
    }
    return bits;
}

void writeLh5Block(BitWriter& out, std::span<const Lh5Code> codes, const Lh5BlockStats& stats) {
    const BlockTables tables(stats);
    tables.putHeader(out, stats);
    const std::vector<std::uint16_t> codeC = canonicalCodes(tables.lenC);
    const std::vector<std::uint16_t> codeP = canonicalCodes(tables.lenP);
    for (const Lh5Code c : codes) {
        out.put(codeC[c.symbol], tables.lenC[c.symbol]);
        if (c.symbol >= 256) {
            const unsigned slot = offsetSlot(c.offset);
            out.put(codeP[slot], tables.lenP[slot]);
            if (slot > 1) {
                out.put(c.offset - (1u << (slot - 1)), static_cast<int>(slot - 1));
            }
        }
    }
}

} // namespace tolvane::lha
