#include "lha/huffman.h"

#include "lha/bit_reader.h"
#include "lha/errors.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace tolvane::lha {

namespace {

constexpr std::size_t kMaxSymbols = 512;

// Plain Huffman code lengths (may exceed any limit) for the used symbols,
// given in increasing symbol order. Encoders build many tables to compare
// block sizes, so this works in fixed arrays, without allocating.
void huffmanLengths(std::span<const std::uint32_t> freq, const std::vector<unsigned>& used,
                    std::span<std::uint8_t> lengths) {
    // Leaves by weight, then symbol: a stable radix sort of the used
    // symbols, a byte of the weight per pass.
    const std::size_t m = used.size();
    std::array<unsigned, kMaxSymbols> leaves;
    std::array<unsigned, kMaxSymbols> spare;
    std::uint32_t heaviest = 0;
    for (std::size_t i = 0; i < m; ++i) {
        leaves[i] = used[i];
        heaviest = std::max(heaviest, freq[used[i]]);
    }
    for (unsigned shift = 0; shift < 32 && (heaviest >> shift) != 0; shift += 8) {
        std::array<unsigned, 257> start{};
        for (std::size_t i = 0; i < m; ++i) {
            ++start[((freq[leaves[i]] >> shift) & 0xFF) + 1];
        }
        for (unsigned b = 0; b < 256; ++b) {
            start[b + 1] += start[b];
        }
        for (std::size_t i = 0; i < m; ++i) {
            spare[start[(freq[leaves[i]] >> shift) & 0xFF]++] = leaves[i];
        }
        leaves.swap(spare);
    }
    // Internal nodes are made in increasing weight too, so two queues give
    // the two lightest nodes at every step.
    std::array<std::uint64_t, 2 * kMaxSymbols> weight;
    std::array<std::uint16_t, 2 * kMaxSymbols> parent;
    for (std::size_t i = 0; i < m; ++i) {
        weight[i] = freq[leaves[i]];
    }
    std::size_t nextLeaf = 0;
    std::size_t nextInner = m;
    for (std::size_t made = m; made < 2 * m - 1; ++made) {
        std::size_t pick[2];
        for (auto& p : pick) {
            if (nextLeaf < m && (nextInner >= made || weight[nextLeaf] <= weight[nextInner])) {
                p = nextLeaf++;
            } else {
                p = nextInner++;
            }
        }
        weight[made] = weight[pick[0]] + weight[pick[1]];
        parent[pick[0]] = static_cast<std::uint16_t>(made);
        parent[pick[1]] = static_cast<std::uint16_t>(made);
    }
    // Parents always come after their children, so one backward pass gives depths.
    std::array<std::uint16_t, 2 * kMaxSymbols> depth;
    depth[2 * m - 2] = 0;
    for (std::size_t i = 2 * m - 2; i-- > 0;) {
        depth[i] = static_cast<std::uint16_t>(depth[parent[i]] + 1);
    }
    for (std::size_t i = 0; i < m; ++i) {
        lengths[leaves[i]] = static_cast<std::uint8_t>(std::min<unsigned>(depth[i], 255u));
    }
}

// Brings every length to at most maxBits and keeps the code complete, moving
// the cost onto the rarest symbols. Only reached for very skewed blocks.
void limitLengths(std::span<const std::uint32_t> freq, const std::vector<unsigned>& used,
                  std::span<std::uint8_t> lengths, int maxBits) {
    // Most frequent first.
    std::vector<unsigned> order = used;
    std::stable_sort(order.begin(), order.end(),
                     [&](unsigned a, unsigned b) { return freq[a] > freq[b]; });
    const std::uint64_t full = std::uint64_t{1} << maxBits;
    std::uint64_t kraft = 0;
    for (unsigned s : order) {
        lengths[s] = static_cast<std::uint8_t>(std::min<int>(lengths[s], maxBits));
        kraft += std::uint64_t{1} << (maxBits - lengths[s]);
    }
    // Over-full: lengthen the rarest symbol among the longest that can grow.
    while (kraft > full) {
        bool done = false;
        for (int len = maxBits - 1; len >= 1 && !done; --len) {
            for (auto it = order.rbegin(); it != order.rend(); ++it) {
                if (lengths[*it] == len) {
                    kraft -= std::uint64_t{1} << (maxBits - len - 1);
                    ++lengths[*it];
                    done = true;
                    break;
                }
            }
        }
    }
    // Not full: shorten the most frequent among the longest codes that fit.
    while (kraft < full) {
        const std::uint64_t room = full - kraft;
        for (int len = maxBits; len >= 2; --len) {
            const std::uint64_t gain = std::uint64_t{1} << (maxBits - len);
            if (gain > room) {
                continue;
            }
            auto it = std::find_if(order.begin(), order.end(),
                                   [&](unsigned s) { return lengths[s] == len; });
            if (it != order.end()) {
                --lengths[*it];
                kraft += gain;
                break;
            }
        }
    }
}

} // namespace

void buildCodeLengths(std::span<const std::uint32_t> freq, int maxBits,
                      std::span<std::uint8_t> lengths) {
    if (freq.size() > kMaxSymbols || lengths.size() != freq.size()) {
        throw LhaError(kErrorInternal, "code table too large");
    }
    std::fill(lengths.begin(), lengths.end(), std::uint8_t{0});
    thread_local std::vector<unsigned> used;
    used.clear();
    for (unsigned s = 0; s < freq.size(); ++s) {
        if (freq[s] != 0) {
            used.push_back(s);
        }
    }
    if (used.size() < 2) {
        return;
    }
    huffmanLengths(freq, used, lengths);
    if (*std::max_element(lengths.begin(), lengths.end()) > maxBits) {
        limitLengths(freq, used, lengths, maxBits);
    }
}

std::vector<std::uint8_t> buildCodeLengths(std::span<const std::uint32_t> freq, int maxBits) {
    std::vector<std::uint8_t> lengths(freq.size(), 0);
    buildCodeLengths(freq, maxBits, lengths);
    return lengths;
}

std::vector<std::uint16_t> canonicalCodes(std::span<const std::uint8_t> lengths) {
    std::uint32_t count[kMaxCodeBits + 2] = {};
    for (std::uint8_t len : lengths) {
        if (len <= kMaxCodeBits) {
            ++count[len];
        }
    }
    count[0] = 0;
    std::uint32_t next[kMaxCodeBits + 2] = {};
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        next[len] = (next[len - 1] + count[len - 1]) << 1;
    }
    std::vector<std::uint16_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0 && lengths[s] <= kMaxCodeBits) {
            codes[s] = static_cast<std::uint16_t>(next[lengths[s]]++);
        }
    }
    return codes;
}

bool HuffmanDecoder::build(std::span<const std::uint8_t> lengths) {
    single_ = -1;
    std::fill(std::begin(count_), std::end(count_), 0u);
    std::uint64_t kraft = 0;
    for (std::uint8_t len : lengths) {
        if (len > kMaxCodeBits) {
            return false;
        }
        if (len != 0) {
            ++count_[len];
            kraft += std::uint64_t{1} << (kMaxCodeBits - len);
        }
    }
    if (kraft != (std::uint64_t{1} << kMaxCodeBits)) {
        return false;
    }
    std::uint32_t code = 0;
    std::uint32_t index = 0;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + count_[len - 1]) << 1;
        if (len == 1) {
            code = 0;
        }
        firstCode_[len] = code;
        firstIndex_[len] = index;
        index += count_[len];
    }
    sorted_.assign(index, 0);
    std::uint32_t fill[kMaxCodeBits + 2];
    std::copy(std::begin(firstIndex_), std::end(firstIndex_), std::begin(fill));
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0) {
            sorted_[fill[lengths[s]]++] = static_cast<std::uint16_t>(s);
        }
    }
    fast_.assign(std::size_t{1} << kFastBits, 0);
    for (int len = 1; len <= kFastBits; ++len) {
        for (std::uint32_t i = 0; i < count_[len]; ++i) {
            const std::uint32_t symbol = sorted_[firstIndex_[len] + i];
            const std::uint32_t first = (firstCode_[len] + i) << (kFastBits - len);
            const std::uint32_t span = 1u << (kFastBits - len);
            for (std::uint32_t k = 0; k < span; ++k) {
                fast_[first + k] = static_cast<std::uint16_t>(symbol << 5 | len);
            }
        }
    }
    return true;
}

void HuffmanDecoder::buildSingle(unsigned symbol) {
    single_ = static_cast<int>(symbol);
}

unsigned HuffmanDecoder::decode(BitReader& in) const {
    if (single_ >= 0) {
        return static_cast<unsigned>(single_);
    }
    const std::uint32_t bits = in.peek16();
    const std::uint16_t entry = fast_[bits >> (kMaxCodeBits - kFastBits)];
    if (entry != 0) {
        in.skip(entry & 31);
        return entry >> 5;
    }
    for (int len = kFastBits + 1; len <= kMaxCodeBits; ++len) {
        const std::uint32_t code = bits >> (kMaxCodeBits - len);
        if (code - firstCode_[len] < count_[len]) {
            in.skip(len);
            return sorted_[firstIndex_[len] + code - firstCode_[len]];
        }
    }
    throw LhaError(kErrorVerifyFailed, "invalid Huffman code");
}

} // namespace tolvane::lha
