#include "lha/lh5_decoder.h"

#include "lha/huffman.h"
#include "lha/lh5_format.h"

#include <cstring>
#include <memory>
#include <vector>

namespace tolvane::lha {

namespace {

[[noreturn]] void corrupt(const char* what) {
    throw LhaError(kErrorVerifyFailed, std::string("corrupt -lh5- data: ") + what);
}

void readSmallTable(BitReader& in, HuffmanDecoder& table, unsigned symbols, int countBits,
                    unsigned zeroRunAfter) {
    const unsigned n = in.get(countBits);
    if (n == 0) {
        const unsigned only = in.get(countBits);
        if (only >= symbols) {
            corrupt("table symbol out of range");
        }
        table.buildSingle(only);
        return;
    }
    if (n > symbols) {
        corrupt("table too long");
    }
    std::vector<std::uint8_t> lengths(symbols, 0);
    unsigned i = 0;
    while (i < n) {
        unsigned len = in.get(3);
        if (len == 7) {
            while (in.get(1) == 1) {
                if (++len > 16) {
                    corrupt("code length too long");
                }
            }
        }
        lengths[i++] = static_cast<std::uint8_t>(len);
        if (i == zeroRunAfter) {
            const unsigned zeros = in.get(2);
            if (i + zeros > n) {
                corrupt("zero run past the table");
            }
            i += zeros;
        }
    }
    if (!table.build(lengths)) {
        corrupt("incomplete code");
    }
}

void readCodeTable(BitReader& in, const HuffmanDecoder& lengthTable, HuffmanDecoder& table) {
    using namespace lh5;
    const unsigned n = in.get(kCodeCountBits);
    if (n == 0) {
        const unsigned only = in.get(kCodeCountBits);
        if (only >= kCodeSymbols) {
            corrupt("code symbol out of range");
        }
        table.buildSingle(only);
        return;
    }
    if (n > kCodeSymbols) {
        corrupt("code table too long");
    }
    std::vector<std::uint8_t> lengths(kCodeSymbols, 0);
    unsigned i = 0;
    while (i < n) {
        const unsigned c = lengthTable.decode(in);
        if (c <= 2) {
            const unsigned zeros = c == 0   ? 1
                                   : c == 1 ? in.get(4) + 3
                                            : in.get(kCodeCountBits) + 20;
            if (i + zeros > n) {
                corrupt("zero run past the code table");
            }
            i += zeros;
        } else {
            lengths[i++] = static_cast<std::uint8_t>(c - 2);
        }
    }
    if (!table.build(lengths)) {
        corrupt("incomplete code");
    }
}

} // namespace

void decodeLh5(BitReader& in, std::uint64_t originalSize, const ByteSink& sink) {
    using namespace lh5;
    constexpr std::size_t kWindow = 8192;
    constexpr std::size_t kSize = std::size_t{1} << 17;
    // Nothing is read before it is written, so the buffer is not cleared;
    // a small entry gets a small one (most entries are small).
    const std::size_t size =
        originalSize + 512 < kSize ? static_cast<std::size_t>(originalSize) + 512 : kSize;
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    std::uint8_t* const out = buffer.get();
    std::size_t w = 0;       // write index in out
    std::size_t flushed = 0; // out[flushed, w) not yet given to the sink
    std::uint64_t produced = 0;

    HuffmanDecoder lengthTable;
    HuffmanDecoder codeTable;
    HuffmanDecoder offsetTable;
    std::uint32_t blockLeft = 0;

    while (produced < originalSize) {
        if (blockLeft == 0) {
            blockLeft = in.get(16);
            if (blockLeft == 0) {
                corrupt("empty block");
            }
            readSmallTable(in, lengthTable, kLengthSymbols, kLengthCountBits, kLengthZeroRunAfter);
            readCodeTable(in, lengthTable, codeTable);
            readSmallTable(in, offsetTable, kOffsetSymbols, kOffsetCountBits, 0);
        }
        --blockLeft;
        const unsigned c = codeTable.decode(in);
        if (c < 256) {
            out[w++] = static_cast<std::uint8_t>(c);
            ++produced;
        } else {
            const std::uint32_t len = c - 256 + 3;
            const unsigned slot = offsetTable.decode(in);
            std::uint32_t offset = slot;
            if (slot > 1) {
                offset = (1u << (slot - 1)) + in.get(static_cast<int>(slot - 1));
            }
            const std::uint64_t dist = std::uint64_t{offset} + 1;
            if (dist > produced) {
                corrupt("offset before the start");
            }
            if (len > originalSize - produced) {
                corrupt("match past the end");
            }
            const std::uint8_t* from = out + w - dist;
            std::uint8_t* to = out + w;
            if (dist >= len) {
                std::memcpy(to, from, len);
            } else {
                for (std::uint32_t k = 0; k < len; ++k) {
                    to[k] = from[k];
                }
            }
            w += len;
            produced += len;
        }
        if (w > size - 512) {
            sink(out + flushed, w - flushed);
            std::memmove(out, out + w - kWindow, kWindow);
            w = kWindow;
            flushed = kWindow;
        }
    }
    if (w > flushed) {
        sink(out + flushed, w - flushed);
    }
}

} // namespace tolvane::lha
