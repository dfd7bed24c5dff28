#include "lha/bit_reader.h"
#include "lha/bit_writer.h"
#include "lha/crc16.h"
#include "lha/huffman.h"
#include "lha/lh5_decoder.h"
#include "lha/lh5_optimal_encoder.h"
#include "lha_test_support.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tolvane::lha {
namespace {

using testing::randomBytes;
using testing::textBytes;
using Bytes = std::vector<std::uint8_t>;

std::uint16_t crcOf(const std::string& s) {
    return crc16(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(Crc16, CheckValuesAndPiecewiseFeeding) {
    EXPECT_EQ(crcOf("123456789"), 0xBB3D);
    EXPECT_EQ(crcOf("hello\n"), 0x5A34);
    EXPECT_EQ(crcOf(""), 0);

    // The eight-byte loop must agree with the plain one whatever the split.
    const Bytes data = randomBytes(1000, 7);
    unsigned slow = 0;
    for (std::uint8_t b : data) {
        slow ^= b;
        for (int k = 0; k < 8; ++k) {
            slow = (slow & 1) ? (slow >> 1) ^ 0xA001 : slow >> 1;
        }
    }
    for (std::size_t split : {0u, 1u, 7u, 8u, 13u, 999u}) {
        Crc16 crc;
        crc.update(data.data(), split);
        crc.update(data.data() + split, data.size() - split);
        EXPECT_EQ(crc.value(), slow) << "split at " << split;
    }
}

std::uint64_t kraftSum(const std::vector<std::uint8_t>& lengths) {
    std::uint64_t sum = 0;
    for (std::uint8_t len : lengths) {
        if (len != 0) {
            sum += std::uint64_t{1} << (32 - len);
        }
    }
    return sum;
}

TEST(Huffman, LengthsAreCompleteAndLimited) {
    // Fibonacci frequencies make the plain Huffman code as deep as possible.
    std::vector<std::uint32_t> fib(30);
    fib[0] = fib[1] = 1;
    for (std::size_t i = 2; i < fib.size(); ++i) {
        fib[i] = fib[i - 1] + fib[i - 2];
    }
    const auto limited = buildCodeLengths(fib, 16);
    EXPECT_EQ(kraftSum(limited), std::uint64_t{1} << 32);
    for (std::uint8_t len : limited) {
        EXPECT_GE(len, 1);
        EXPECT_LE(len, 16);
    }
    // Frequent symbols never get longer codes than rare ones.
    for (std::size_t i = 1; i < fib.size(); ++i) {
        EXPECT_LE(limited[i], limited[i - 1]);
    }

    const auto flat = buildCodeLengths(std::vector<std::uint32_t>{5, 0, 5, 5, 5}, 16);
    EXPECT_EQ(flat, (std::vector<std::uint8_t>{2, 0, 2, 2, 2}));

    // One used symbol (or none): no lengths, the table is written as its symbol.
    EXPECT_EQ(buildCodeLengths(std::vector<std::uint32_t>{0, 9, 0}, 16),
              (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(Bits, WrittenAndReadBackInAnyPieces) {
    // Values of every width, with the written bytes taken out at uneven
    // points (as the encoder does after each block), read back from a source
    // that hands them over in pieces of 1 to 13 bytes: refills near a piece's
    // end and away from it must agree.
    std::vector<std::pair<std::uint32_t, int>> values;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int width = 1 + static_cast<int>((seed >> 8) % 16);
        values.emplace_back((seed >> 3) & ((1u << width) - 1), width);
    }
    BitWriter w;
    Bytes written;
    for (std::size_t i = 0; i < values.size(); ++i) {
        w.put(values[i].first, values[i].second);
        if (i % 997 == 0) {
            Bytes& out = w.bytes();
            written.insert(written.end(), out.begin(), out.end());
            out.clear();
        }
    }
    w.flushToByte();
    written.insert(written.end(), w.bytes().begin(), w.bytes().end());

    std::size_t given = 0;
    std::size_t piece = 0;
    BitReader r([&](std::uint8_t* buf, std::size_t n) {
        piece = piece % 13 + 1;
        const std::size_t k = std::min({n, piece, written.size() - given});
        std::memcpy(buf, written.data() + given, k);
        given += k;
        return k;
    });
    for (const auto& [value, width] : values) {
        ASSERT_EQ(r.get(width), value);
    }
    EXPECT_EQ((r.bitsUsed() + 7) / 8, written.size());
}

TEST(Huffman, CanonicalCodesOrderAndDecodeBack) {
    const std::vector<std::uint8_t> lengths = {3, 3, 3, 3, 3, 2, 4, 4};
    const auto codes = canonicalCodes(lengths);
    // Shortest first; equal lengths in symbol order.
    EXPECT_EQ(codes[5], 0b00);
    EXPECT_EQ(codes[0], 0b010);
    EXPECT_EQ(codes[4], 0b110);
    EXPECT_EQ(codes[6], 0b1110);
    EXPECT_EQ(codes[7], 0b1111);

    // A long, skewed code survives a trip through the decoder.
    std::vector<std::uint32_t> freq(300);
    for (std::size_t i = 0; i < freq.size(); ++i) {
        freq[i] = static_cast<std::uint32_t>(1 + (i * i * 7919) % 100000);
    }
    freq[3] = 50000000;
    const auto deep = buildCodeLengths(freq, 16);
    const auto deepCodes = canonicalCodes(deep);
    BitWriter w;
    for (unsigned s = 0; s < freq.size(); ++s) {
        w.put(deepCodes[s], deep[s]);
    }
    w.flushToByte();
    const Bytes bytes = w.bytes();
    std::size_t given = 0;
    BitReader r([&](std::uint8_t* buf, std::size_t n) {
        const std::size_t k = std::min(n, bytes.size() - given);
        std::memcpy(buf, bytes.data() + given, k);
        given += k;
        return k;
    });
    HuffmanDecoder dec;
    ASSERT_TRUE(dec.build(deep));
    for (unsigned s = 0; s < freq.size(); ++s) {
        ASSERT_EQ(dec.decode(r), s);
    }

    // Incomplete and over-full codes are refused.
    EXPECT_FALSE(dec.build(std::vector<std::uint8_t>{1, 0, 0}));
    EXPECT_FALSE(dec.build(std::vector<std::uint8_t>{1, 1, 1}));
}

struct Packed {
    Bytes stream;
    Bytes decoded;
    std::uint64_t blocks = 0;
};

// Encodes in pieces of `piece` bytes and decodes with our decoder.
Packed roundTrip(const Bytes& data, std::size_t piece = 100000) {
    Packed p;
    Lh5OptimalEncoder enc(
        [&](const std::uint8_t* d, std::size_t n) { p.stream.insert(p.stream.end(), d, d + n); });
    enc.begin();
    for (std::size_t at = 0; at < data.size(); at += piece) {
        enc.write(data.data() + at, std::min(piece, data.size() - at));
    }
    enc.finish();
    p.blocks = enc.blocks();
    EXPECT_EQ(enc.bytesOut(), p.stream.size());
    // Every byte is accounted for by the blocks written.
    EXPECT_EQ(enc.bytesCoded(), data.size());
    std::size_t given = 0;
    BitReader r([&](std::uint8_t* buf, std::size_t n) {
        const std::size_t k = std::min(n, p.stream.size() - given);
        std::memcpy(buf, p.stream.data() + given, k);
        given += k;
        return k;
    });
    decodeLh5(r, data.size(), [&](const std::uint8_t* d, std::size_t n) {
        p.decoded.insert(p.decoded.end(), d, d + n);
    });
    // The stream is used to its last byte, and no further.
    EXPECT_EQ((r.bitsUsed() + 7) / 8, p.stream.size());
    return p;
}

TEST(Lh5, RoundTripsOfTypicalData) {
    const Bytes text = textBytes(300000, 1);
    const Packed t = roundTrip(text, 4099); // odd pieces cross every buffer edge
    EXPECT_EQ(t.decoded, text);
    EXPECT_LT(t.stream.size(), text.size() / 3);

    const Bytes noise = randomBytes(200000, 2);
    const Packed n = roundTrip(noise);
    EXPECT_EQ(n.decoded, noise);

    // Long runs: maximum-length matches at distance 1, and a one-symbol C table
    // in blocks that hold nothing else.
    const Bytes zeros(3000000, 0);
    const Packed z = roundTrip(zeros, 65536);
    EXPECT_EQ(z.decoded, zeros);
    EXPECT_LT(z.stream.size(), 3000u);

    // Several blocks with a short remainder: the last blocks are balanced.
    Bytes mixed = textBytes(700000, 3);
    const Bytes tail = randomBytes(50000, 4);
    mixed.insert(mixed.end(), tail.begin(), tail.end());
    EXPECT_EQ(roundTrip(mixed, 777).decoded, mixed);

    for (std::size_t size : {1u, 2u, 3u, 4u, 255u, 256u, 257u, 8192u, 8193u}) {
        const Bytes small = textBytes(size, 5);
        EXPECT_EQ(roundTrip(small).decoded, small) << size;
    }
    EXPECT_TRUE(roundTrip({}).stream.empty());
}

TEST(Lh5, MatchesReachTheWholeWindowAndNoFurther) {
    // Noise repeated at exactly 8192 bytes only shrinks through the longest
    // distance the window allows.
    Bytes data = randomBytes(8192, 11);
    data.insert(data.end(), data.begin(), data.end());
    const Packed at = roundTrip(data, 1000);
    EXPECT_EQ(at.decoded, data);
    EXPECT_LT(at.stream.size(), 8192u + 8192u / 4);

    // One byte further the copy is out of reach: no gain, and still correct.
    Bytes distant = randomBytes(8193, 11);
    distant.insert(distant.end(), distant.begin(), distant.end());
    const Packed beyond = roundTrip(distant, 1000);
    EXPECT_EQ(beyond.decoded, distant);
    EXPECT_GT(beyond.stream.size(), distant.size() * 9 / 10);
}

// Pieces that stress the parse: text, noise, runs, and copies of earlier
// bytes at distances up to the window's edge and just past it.
Bytes mixedBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes out;
    while (out.size() < size) {
        const std::size_t n = 1 + gen() % 20000;
        switch (gen() % 4) {
        case 0: {
            const Bytes t = textBytes(n, gen());
            out.insert(out.end(), t.begin(), t.end());
            break;
        }
        case 1: {
            const Bytes r = randomBytes(n % 3000, gen());
            out.insert(out.end(), r.begin(), r.end());
            break;
        }
        case 2:
            out.insert(out.end(), n % 700, static_cast<std::uint8_t>(gen()));
            break;
        default:
            if (!out.empty()) {
                const std::size_t dist = 1 + gen() % std::min<std::size_t>(out.size(), 8200);
                for (std::size_t k = 0; k < n % 400; ++k) {
                    out.push_back(out[out.size() - dist]);
                }
            }
        }
    }
    out.resize(size);
    return out;
}

TEST(Lh5, RandomizedRoundTrips) {
    std::mt19937 gen(2026);
    for (int round = 0; round < 24; ++round) {
        const std::size_t size = round < 4 ? gen() % 64 : gen() % 400000;
        const Bytes data = mixedBytes(size, gen());
        const std::size_t piece = 1 + gen() % 70000;
        const Packed p = roundTrip(data, piece);
        ASSERT_EQ(p.decoded, data) << "round " << round << " size " << size << " piece " << piece;
    }
}

TEST(Lh5, StreamsOfOneEncoderStandAlone) {
    // The match tables outlive a stream: the next one, starting with the
    // same bytes, must not reach back into the last.
    const Bytes text = textBytes(20000, 31);
    const Packed alone = roundTrip(text);
    Bytes stream;
    Lh5OptimalEncoder shared(
        [&](const std::uint8_t* d, std::size_t n) { stream.insert(stream.end(), d, d + n); });
    for (int round = 0; round < 3; ++round) {
        stream.clear();
        shared.begin();
        shared.write(text.data(), text.size());
        shared.finish();
        EXPECT_EQ(stream, alone.stream) << "round " << round;
    }
}

TEST(Lh5, CompressedPiecesDoNotStopTheRest) {
    // Noise long enough to be passed over as already packed, then text
    // and a copy of the noise: all come back, and the text still shrinks.
    const Bytes noise = randomBytes(300000, 41);
    const Bytes text = textBytes(300000, 42);
    Bytes data = noise;
    data.insert(data.end(), text.begin(), text.end());
    data.insert(data.end(), noise.begin(), noise.begin() + 5000);
    const Packed p = roundTrip(data, 65536);
    EXPECT_EQ(p.decoded, data);
    EXPECT_LT(p.stream.size(), noise.size() + text.size() / 3);
    EXPECT_GT(p.stream.size(), noise.size());
}

TEST(Lh5, BlocksEndWhereTheDataChanges) {
    // One kind of data throughout: one set of tables is cheapest.
    const Bytes text = textBytes(100000, 21);
    const Packed same = roundTrip(text);
    EXPECT_EQ(same.blocks, 1u);

    // Text, then digits only: separate tables pay, and the result is about
    // what the two packed apart take (boundaries fall on a coarse grid).
    Bytes digits(60000);
    std::mt19937 gen(22);
    for (auto& b : digits) {
        b = static_cast<std::uint8_t>('0' + gen() % 10);
    }
    Bytes both = text;
    both.insert(both.end(), digits.begin(), digits.end());
    const Packed split = roundTrip(both);
    EXPECT_EQ(split.decoded, both);
    EXPECT_GE(split.blocks, 2u);
    const std::size_t apart = same.stream.size() + roundTrip(digits).stream.size();
    EXPECT_LT(split.stream.size(), apart + apart / 100);
}

TEST(Lh5, DecoderRejectsDamagedStreams) {
    const Bytes text = textBytes(20000, 9);
    Packed p = roundTrip(text);
    auto decode = [&](const Bytes& stream, std::uint64_t size) {
        std::size_t given = 0;
        BitReader r([&](std::uint8_t* buf, std::size_t n) {
            const std::size_t k = std::min(n, stream.size() - given);
            std::memcpy(buf, stream.data() + given, k);
            given += k;
            return k;
        });
        Bytes out;
        decodeLh5(r, size,
                  [&](const std::uint8_t* d, std::size_t n) { out.insert(out.end(), d, d + n); });
        return out;
    };
    // Cut short.
    Bytes cut(p.stream.begin(), p.stream.begin() + static_cast<long>(p.stream.size() / 2));
    EXPECT_THROW(decode(cut, text.size()), LhaError);
    // A block count of zero.
    Bytes zeroBlock = p.stream;
    zeroBlock[0] = zeroBlock[1] = 0;
    EXPECT_THROW(decode(zeroBlock, text.size()), LhaError);
    // Damage in the middle either throws or at least changes the output; the
    // archive check compares CRCs for the latter.
    Bytes flipped = p.stream;
    flipped[flipped.size() / 2] ^= 0x10;
    try {
        EXPECT_NE(decode(flipped, text.size()), text);
    } catch (const LhaError& e) {
        EXPECT_EQ(e.code(), kErrorVerifyFailed);
    }
}

} // namespace
} // namespace tolvane::lha
