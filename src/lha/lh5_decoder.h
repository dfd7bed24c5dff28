#pragma once

#include "lha/bit_reader.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tolvane::lha {

using ByteSink = std::function<void(const std::uint8_t*, std::size_t)>;

// Decodes one -lh5- stream of `originalSize` bytes into the sink, in pieces.
// Any inconsistency (bad table, offset before the start, data running out)
// throws LhaError with kErrorVerifyFailed.
void decodeLh5(BitReader& in, std::uint64_t originalSize, const ByteSink& sink);

} // namespace tolvane::lha
