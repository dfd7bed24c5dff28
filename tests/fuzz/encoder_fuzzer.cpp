// The -lh5- encoder: what it writes decodes to exactly its input, and an
// encoder that has packed other streams before writes the same bytes as a
// fresh one, whatever the pieces the data comes in.
//
// Input: one byte of repeats (so that some streams cross the encoder's
// segments), one byte of piece size, then the data.

#include "fuzz_check.h"
#include "lha/bit_reader.h"
#include "lha/lh5_decoder.h"
#include "lha/lh5_optimal_encoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace tolvane::lha;
using Bytes = std::vector<std::uint8_t>;

Bytes encode(Lh5OptimalEncoder& encoder, Bytes& out, const Bytes& data, std::size_t piece) {
    out.clear();
    encoder.begin();
    for (std::size_t at = 0; at < data.size(); at += piece) {
        encoder.write(data.data() + at, std::min(piece, data.size() - at));
    }
    encoder.finish();
    FUZZ_CHECK(encoder.bytesIn() == data.size());
    FUZZ_CHECK(encoder.bytesOut() == out.size());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // Mostly short streams; one input in sixteen makes a stream of several
    // segments, long enough for the encoder to move its buffer along.
    const std::size_t repeats = input[0] < 0xF0 ? 1 + input[0] % 4 : 300000 / (size - 1);
    const std::size_t piece = 1 + std::size_t{input[1]} * 977;
    Bytes data;
    for (std::size_t i = 0; i < repeats; ++i) {
        data.insert(data.end(), input + 2, input + size);
    }

    // One encoder for the whole run, as the pipeline keeps them.
    static Bytes usedOut;
    static Lh5OptimalEncoder used(
        [](const std::uint8_t* d, std::size_t n) { usedOut.insert(usedOut.end(), d, d + n); });
    const Bytes stream = encode(used, usedOut, data, data.size() + 1);

    Bytes freshOut;
    Lh5OptimalEncoder fresh(
        [&](const std::uint8_t* d, std::size_t n) { freshOut.insert(freshOut.end(), d, d + n); });
    FUZZ_CHECK(encode(fresh, freshOut, data, piece) == stream);

    std::size_t given = 0;
    BitReader bits([&](std::uint8_t* buffer, std::size_t n) {
        const std::size_t k = std::min(n, stream.size() - given);
        std::memcpy(buffer, stream.data() + given, k);
        given += k;
        return k;
    });
    Bytes decoded;
    decodeLh5(bits, data.size(), [&](const std::uint8_t* d, std::size_t n) {
        decoded.insert(decoded.end(), d, d + n);
    });
    FUZZ_CHECK(decoded == data);
    FUZZ_CHECK((bits.bitsUsed() + 7) / 8 == stream.size());
    return 0;
}
