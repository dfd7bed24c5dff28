#include "lha/lh5_optimal_encoder.h"

#include "lha/huffman.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <type_traits>

namespace tolvane::lha {

namespace {

using Encoder = Lh5OptimalEncoder;

constexpr int kHashBits = 15;
constexpr int kHash3Bits = 14;
constexpr int kProbeBits = 12;
constexpr std::uint32_t kRingMask = 2 * Encoder::kWindow - 1;
// Chain steps per position, a quarter of them once a match of kGoodLength
// is in hand. The window is small: deeper chains find little more.
constexpr int kMaxChain = 32;
constexpr std::uint32_t kGoodLength = 32;
// A match this long ends the chain walk.
constexpr std::uint32_t kNiceLength = 32;
// The positions inside a match this long are only entered into the chains,
// not searched: a match starting inside one seldom pays. Against 16 steps
// and kSkipLength 32, this pair took 12 % fewer instructions for archives
// 0.1 % larger (0.2 % on text); kSkipLength 16 saved 19 % for 0.4 %.
constexpr std::uint32_t kSkipLength = 20;
// The parse tries every length of a match up to this one, and beyond it only
// the longest: past it, stopping short almost never pays.
constexpr std::uint32_t kEveryLengthUpTo = 32;
// Parses after the first (longest match everywhere), each with the code
// lengths the one before gave, while the result still shrinks.
constexpr int kRefinements = 1;
// Block boundaries are tried every kCoarseStep codes, then every kFineStep
// codes around the best of those; blocks stay at least kMinBlockCodes long,
// and a stream's last block kMinLastBlockCodes (a tiny last block trips one
// reader). Every candidate builds two sets of tables: the coarse pass keeps
// their number, and the writer's time, about halved against trying every
// kFineStep codes.
constexpr std::size_t kCoarseStep = 8192;
constexpr std::size_t kFineStep = 2048;
constexpr std::size_t kMinBlockCodes = 2048;
constexpr std::size_t kMinLastBlockCodes = 4096;
// A segment of at least kLookAtLeast bytes is taken as already packed when
// neither byte counts nor repeats would save a kFlatBytesShare-th of it.
// kLookAtLeast is also no less than kMinLastBlockCodes, so the literal
// blocks such a segment becomes are never tiny.
constexpr std::size_t kLookAtLeast = 8192;
constexpr std::size_t kFlatBytesShare = 64;

// Inlined: a call per candidate cost more than the comparing.
[[gnu::always_inline]] inline std::uint32_t
matchLength(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t maxLen) {
    std::uint32_t len = 0;
    while (len + 8 <= maxLen) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y) {
            const std::uint64_t diff = x ^ y;
            if constexpr (std::endian::native == std::endian::little) {
                return len + static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;
            } else {
                return len + static_cast<std::uint32_t>(std::countl_zero(diff)) / 8;
            }
        }
        len += 8;
    }
    while (len < maxLen && a[len] == b[len]) {
        ++len;
    }
    return len;
}

std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint32_t hash4(const std::uint8_t* p) {
    return (load32(p) * 2654435761u) >> (32 - kHashBits);
}

std::uint32_t hash3(const std::uint8_t* p) {
    const std::uint32_t v = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    return (v * 2246822519u) >> (32 - kHash3Bits);
}

std::uint32_t slotExtraBits(unsigned slot) {
    return slot > 1 ? slot - 1 : 0;
}

// Code lengths as costs; a symbol the tables lack costs a little more than
// the longest one they have.
template <std::size_t N>
void lengthsToCosts(const std::array<std::uint32_t, N>& freq, std::uint32_t* cost) {
    const std::vector<std::uint8_t> lengths = buildCodeLengths(freq, kMaxCodeBits);
    const std::uint32_t longest = *std::max_element(lengths.begin(), lengths.end());
    const std::uint32_t unused = std::max<std::uint32_t>(longest + 2, 6);
    for (std::size_t s = 0; s < N; ++s) {
        if (lengths[s] != 0) {
            cost[s] = lengths[s];
        } else {
            cost[s] = freq[s] != 0 ? 1 : unused; // the one symbol of a table
        }
    }
}

} // namespace

Encoder::Lh5OptimalEncoder(Sink sink)
    : sink_(std::move(sink)), buffer_(kWindow + 2 * kSegment, 0),
      head_(std::size_t{1} << kHashBits, 0), head3_(std::size_t{1} << kHash3Bits, 0),
      prev_(kRingMask + 1, 0), probe_(std::size_t{1} << kProbeBits, 0) {}

void Encoder::begin() {
    // The tables are kept: the last stream's entries lie more than a window
    // behind the new origin, so the distance check passes them over. Small
    // files are many, and clearing the tables for each cost more than
    // packing the smallest.
    origin_ += bufferStart_ + filled_ + kWindow + 1;
    bufferStart_ = 0;
    filled_ = 0;
    next_ = 0;
    bits_ = BitWriter();
    bytesIn_ = 0;
    bytesOut_ = 0;
    bytesCoded_ = 0;
    blocks_ = 0;
}

void Encoder::write(const std::uint8_t* data, std::size_t size) {
    bytesIn_ += size;
    while (size > 0) {
        if (filled_ == buffer_.size()) {
            compact();
        }
        const std::size_t n = std::min(size, buffer_.size() - filled_);
        std::memcpy(buffer_.data() + filled_, data, n);
        filled_ += n;
        data += n;
        size -= n;
        // Hold back half a segment, so the stream never ends on a short one.
        while (bufferStart_ + filled_ - next_ >= kSegment + kSegment / 2) {
            encodeSegment(next_, next_ + kSegment, false);
            next_ += kSegment;
        }
    }
}

void Encoder::finish() {
    const std::uint64_t end = bufferStart_ + filled_;
    if (end > next_) {
        encodeSegment(next_, end, true);
        next_ = end;
    }
    bits_.flushToByte();
    drainBits();
}

void Encoder::compact() {
    // Keep the window behind the next byte to encode.
    const std::uint64_t keep = std::max(bufferStart_, next_ > kWindow ? next_ - kWindow : 0);
    const auto drop = static_cast<std::size_t>(keep - bufferStart_);
    std::memmove(buffer_.data(), buffer_.data() + drop, filled_ - drop);
    filled_ -= drop;
    bufferStart_ = keep;
}

void Encoder::rebase() {
    // Positions move down by whole ring turns, so prev_ stays in step, and
    // stay above one turn; anything that would fall below that is
    // forgotten.
    const std::uint64_t shift =
        ((origin_ + bufferStart_) & ~std::uint64_t{kRingMask}) - (kRingMask + 1);
    const auto lower = [shift](std::uint32_t& v) {
        v = v > shift ? static_cast<std::uint32_t>(v - shift) : 0;
    };
    std::for_each(head_.begin(), head_.end(), lower);
    std::for_each(head3_.begin(), head3_.end(), lower);
    std::for_each(prev_.begin(), prev_.end(), lower);
    origin_ -= shift;
}

void Encoder::findMatches(std::uint64_t start, std::uint64_t end) {
    const auto n = static_cast<std::size_t>(end - start);
    const std::uint64_t dataEnd = bufferStart_ + filled_;
    segmentStart_ = start;
    if (origin_ + end >= std::numeric_limits<std::uint32_t>::max()) {
        rebase();
    }
    firstMatch_.resize(n + 1);
    // Plain pointers: the compiler cannot tell that writing matches leaves
    // the tables where they are.
    std::uint32_t* const head = head_.data();
    std::uint32_t* const head3 = head3_.data();
    std::uint32_t* const prev = prev_.data();
    std::uint32_t* const firstMatch = firstMatch_.data();
    std::size_t count = 0;
    std::uint32_t skip = 0;
    // One position; away from the segment's end, where every check on the
    // room left passes, it is compiled without them.
    const auto position = [&](std::uint64_t p, auto nearEnd) {
        constexpr bool kNearEnd = decltype(nearEnd)::value;
        firstMatch[p - start] = static_cast<std::uint32_t>(count);
        if (kNearEnd && p + kMinMatch > dataEnd) {
            return;
        }
        const std::uint8_t* here = buffer_.data() + (p - bufferStart_);
        const auto at = static_cast<std::uint32_t>(origin_ + p); // fits: see rebase()
        std::uint32_t candidate = 0;
        if (!kNearEnd || p + 4 <= dataEnd) {
            const std::uint32_t h = hash4(here);
            candidate = head[h];
            head[h] = at + 1;
        }
        prev[at & kRingMask] = candidate;
        const std::uint32_t h3 = hash3(here);
        const std::uint32_t latest3 = head3[h3];
        head3[h3] = at + 1;
        if (skip > 0) {
            --skip;
            return;
        }
        const auto maxLen =
            kNearEnd ? static_cast<std::uint32_t>(std::min<std::uint64_t>(kMaxMatch, end - p))
                     : kMaxMatch;
        if (kNearEnd && maxLen < kMinMatch) {
            return;
        }
        // Nearest first: a candidate further back is kept only when longer,
        // so each length gets its cheapest distance. Each one found is longer
        // than the last, so there are at most kMaxChain, written after a slot
        // kept for the three-byte match.
        if (count + kMaxChain + 1 > matches_.size()) {
            matches_.resize(std::max(2 * matches_.size(), count + kMaxChain + 1));
        }
        Match* const list = matches_.data() + count;
        Match* const chainMatches = list + 1;
        std::uint32_t chainFound = 0;
        std::uint32_t best = kMinMatch;
        if (!kNearEnd || maxLen >= 4) {
            const std::uint32_t here4 = load32(here);
            std::uint8_t hereBest = here[best];
            int chain = kMaxChain;
            // at + 1 - candidate is the distance; 0 (no candidate) is too far.
            const std::uint32_t nearest = at + 1 - kWindow;
            while (candidate - nearest <= kWindow - 1) {
                const std::uint32_t d = at + 1 - candidate;
                const std::uint8_t* there = here - d;
                if (there[best] == hereBest && load32(there) == here4) {
                    const std::uint32_t len = matchLength(here, there, maxLen);
                    if (len > best) {
                        if (best < kGoodLength && len >= kGoodLength) {
                            chain = std::min(chain, kMaxChain / 4);
                        }
                        best = len;
                        chainMatches[chainFound++] = {static_cast<std::uint16_t>(len),
                                                      static_cast<std::uint16_t>(d)};
                        if (len >= maxLen || len >= kNiceLength) {
                            break;
                        }
                        hereBest = here[best];
                    }
                }
                if (--chain == 0) {
                    break;
                }
                candidate = prev[(candidate - 1) & kRingMask];
            }
        }
        // The chains only hold four-byte prefixes: the latest three-byte
        // one gives the short matches, in front when it is nearer.
        bool short3 = false;
        if (latest3 != 0) {
            const std::uint32_t d = at - (latest3 - 1);
            const bool nearer = chainFound == 0 || d < chainMatches[0].distance;
            const std::uint8_t* there = d <= kWindow && nearer ? here - d : nullptr;
            if (there != nullptr && there[0] == here[0] && there[1] == here[1] &&
                there[2] == here[2]) {
                std::uint32_t len = matchLength(here, there, maxLen);
                if (chainFound != 0) {
                    len = std::min<std::uint32_t>(len, chainMatches[0].length - 1u);
                }
                if (len >= kMinMatch) {
                    list[0] = {static_cast<std::uint16_t>(len), static_cast<std::uint16_t>(d)};
                    short3 = true;
                }
            }
        }
        if (!short3) {
            // Close the slot; the list is seldom more than a few long.
            for (std::uint32_t k = 0; k < chainFound; ++k) {
                list[k] = chainMatches[k];
            }
        }
        count += chainFound + (short3 ? 1 : 0);
        if (best >= kSkipLength) {
            skip = best - 1;
        }
    };
    // Before bulkEnd a longest match fits, and so do four bytes of data.
    const std::uint64_t bulkEnd = end - std::min<std::uint64_t>(end - start, kMaxMatch);
    std::uint64_t p = start;
    for (; p < bulkEnd; ++p) {
        position(p, std::false_type{});
    }
    for (; p < end; ++p) {
        position(p, std::true_type{});
    }
    firstMatch[n] = static_cast<std::uint32_t>(count);
}

void Encoder::setCosts(const Lh5BlockStats& stats, CostModel& model) {
    lengthsToCosts(stats.freqC, model.symbol);
    lengthsToCosts(stats.freqP, model.slot);
    for (unsigned j = 0; j < lh5::kOffsetSymbols; ++j) {
        model.slot[j] += slotExtraBits(j);
    }
}

template <typename Take> void Encoder::longestMatches(std::size_t n, Take&& take) const {
    const std::uint8_t* data = buffer_.data() + (segmentStart_ - bufferStart_);
    for (std::size_t i = 0; i < n;) {
        const std::uint32_t first = firstMatch_[i];
        const std::uint32_t end = firstMatch_[i + 1];
        if (end > first) {
            const Match m = matches_[end - 1];
            const auto len = static_cast<std::uint32_t>(std::min<std::size_t>(m.length, n - i));
            if (len >= kMinMatch) {
                take(Lh5Code{static_cast<std::uint16_t>(256 + len - kMinMatch),
                             static_cast<std::uint16_t>(m.distance - 1)});
                i += len;
                continue;
            }
        }
        take(Lh5Code{data[i], 0});
        ++i;
    }
}

void Encoder::parse(const CostModel& model, std::size_t from, std::size_t to,
                    std::vector<Lh5Code>& out) {
    const std::size_t n = to - from;
    const std::uint8_t* data = buffer_.data() + (segmentStart_ + from - bufferStart_);
    step_.assign(n + 1, std::numeric_limits<std::uint64_t>::max());
    std::uint64_t* const step = step_.data();
    const std::uint32_t* const firstMatch = firstMatch_.data() + from;
    const Match* const matches = matches_.data();
    const std::uint32_t* const lengthCost = model.symbol + 256 - kMinMatch;
    // One minimum over cost and step together: no branch, whose outcome is
    // close to random, and one load and store. Among equal costs the
    // nearer, then the shorter step wins.
    const auto relax = [step](std::size_t at, std::uint32_t c, std::uint32_t how) {
        step[at] = std::min(step[at], std::uint64_t{c} << 32 | how);
    };
    step[0] = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto here = static_cast<std::uint32_t>(step[i] >> 32);
        relax(i + 1, here + model.symbol[data[i]], 1);
        const std::size_t left = n - i;
        std::uint32_t done = kMinMatch - 1;
        const std::uint32_t last = firstMatch[i + 1];
        for (std::uint32_t k = firstMatch[i]; k < last; ++k) {
            const Match m = matches[k];
            const auto top = static_cast<std::uint32_t>(std::min<std::size_t>(m.length, left));
            if (top <= done) {
                break;
            }
            const std::uint32_t base =
                here + model.slot[lh5::offsetSlot(static_cast<std::uint32_t>(m.distance - 1))];
            const std::uint32_t distance = std::uint32_t{m.distance} << 16;
            const std::uint32_t dense = std::min(top, std::max(done + 1, kEveryLengthUpTo));
            for (std::uint32_t len = done + 1; len <= dense; ++len) {
                relax(i + len, base + lengthCost[len], distance | len);
            }
            if (top > dense) {
                relax(i + top, base + lengthCost[top], distance | top);
            }
            done = top;
        }
    }
    out.clear();
    for (std::size_t i = n; i > 0;) {
        const auto how = static_cast<std::uint32_t>(step[i]);
        const std::uint32_t length = how & 0xffff;
        const std::uint32_t distance = how >> 16;
        i -= length;
        if (length == 1) {
            out.push_back({data[i], 0});
        } else {
            out.push_back({static_cast<std::uint16_t>(256 + length - kMinMatch),
                           static_cast<std::uint16_t>(distance - 1)});
        }
    }
    std::reverse(out.begin(), out.end());
}

void Encoder::splitBlocks(const std::vector<Lh5Code>& codes, std::size_t first, std::size_t count,
                          bool atEnd, std::vector<Block>& blocks) const {
    const std::size_t minRight = atEnd ? kMinLastBlockCodes : kMinBlockCodes;
    const std::span<const Lh5Code> all(codes.data() + first, count);
    Lh5BlockStats whole;
    whole.add(all);
    if (count < kMinBlockCodes + minRight) {
        // Too short to split (and so never more than the count field holds).
        blocks.push_back({first, count, whole});
        return;
    }
    const std::uint64_t wholeBits = lh5BlockBits(whole);

    std::uint64_t bestBits = std::numeric_limits<std::uint64_t>::max();
    std::size_t bestAt = 0;
    const auto tryAt = [&](const Lh5BlockStats& left, std::size_t at) {
        Lh5BlockStats right = whole;
        right.subtract(left);
        const std::uint64_t bits = lh5BlockBits(left) + lh5BlockBits(right);
        if (bits < bestBits) {
            bestBits = bits;
            bestAt = at;
        }
    };
    Lh5BlockStats left;
    std::size_t leftEnd = 0;
    for (std::size_t at = kMinBlockCodes; at + minRight <= count; at += kCoarseStep) {
        left.add(all.subspan(leftEnd, at - leftEnd));
        leftEnd = at;
        tryAt(left, at);
    }
    const std::size_t coarseBest = bestAt;
    const std::size_t from = coarseBest > kCoarseStep ? coarseBest - kCoarseStep : 0;
    // The fine candidates come in order: their left parts grow by steps.
    Lh5BlockStats fineLeft;
    std::size_t fineEnd = 0;
    for (std::size_t at = from + kFineStep; at < coarseBest + kCoarseStep; at += kFineStep) {
        if (at == coarseBest || at < kMinBlockCodes || at + minRight > count) {
            continue;
        }
        fineLeft.add(all.subspan(fineEnd, at - fineEnd));
        fineEnd = at;
        tryAt(fineLeft, at);
    }
    if (count <= kMaxBlockCodes && bestBits >= wholeBits) {
        blocks.push_back({first, count, whole});
        return;
    }
    splitBlocks(codes, first, bestAt, false, blocks);
    splitBlocks(codes, first + bestAt, count - bestAt, atEnd, blocks);
}

bool Encoder::looksPacked(const std::uint8_t* data, std::size_t n) {
    if (n < kLookAtLeast) {
        return false;
    }
    // Four counts per byte value, so that runs of one value do not wait on
    // the same counter.
    std::array<std::array<std::uint32_t, 256>, 4> counts{};
    std::size_t at = 0;
    for (; at + 4 <= n; at += 4) {
        ++counts[0][data[at]];
        ++counts[1][data[at + 1]];
        ++counts[2][data[at + 2]];
        ++counts[3][data[at + 3]];
    }
    for (; at < n; ++at) {
        ++counts[0][data[at]];
    }
    std::array<std::uint32_t, 256> freq;
    for (unsigned s = 0; s < 256; ++s) {
        freq[s] = counts[0][s] + counts[1][s] + counts[2][s] + counts[3][s];
    }
    const std::vector<std::uint8_t> lengths = buildCodeLengths(freq, kMaxCodeBits);
    std::uint64_t literalBits = 0;
    for (unsigned s = 0; s < 256; ++s) {
        literalBits += std::uint64_t{freq[s]} * lengths[s];
    }
    if (literalBits < 8 * std::uint64_t{n} - 8 * std::uint64_t{n} / kFlatBytesShare) {
        return false;
    }
    // Repeats of six bytes or more, one candidate per hash.
    std::fill(probe_.begin(), probe_.end(), 0);
    std::size_t repeated = 0;
    for (std::size_t i = 0; i + 8 <= n;) {
        const std::uint32_t h = hash4(data + i) >> (kHashBits - kProbeBits);
        const std::uint32_t seen = probe_[h];
        probe_[h] = static_cast<std::uint32_t>(i + 1);
        if (seen != 0 && i + 1 - seen <= kWindow) {
            const std::uint32_t len =
                matchLength(data + i, data + seen - 1,
                            static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, n - i)));
            if (len >= 6) {
                repeated += len;
                i += len;
                continue;
            }
        }
        ++i;
    }
    return repeated < n / kFlatBytesShare;
}

void Encoder::encodeSegment(std::uint64_t start, std::uint64_t end, bool last) {
    const auto n = static_cast<std::size_t>(end - start);
    if (looksPacked(buffer_.data() + (start - bufferStart_), n)) {
        // Literals in even blocks; the search and the parse would find
        // nothing here, and the stream will most likely be stored anyway.
        // (Later segments just do not find matches into this one.)
        const std::uint8_t* data = buffer_.data() + (start - bufferStart_);
        const std::size_t count = (n + kMaxBlockCodes - 1) / kMaxBlockCodes;
        codes_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            codes_[i] = {data[i], 0};
        }
        for (std::size_t b = 0; b < count; ++b) {
            const std::size_t from = n * b / count;
            const std::size_t to = n * (b + 1) / count;
            const std::span<const Lh5Code> block(codes_.data() + from, to - from);
            Lh5BlockStats stats;
            stats.add(block);
            emitBlock(block, stats);
        }
        return;
    }
    findMatches(start, end);

    // The longest matches are first only counted: the parse nearly always
    // does better, and they are made again when it does not.
    Lh5BlockStats stats;
    longestMatches(n, [&stats](Lh5Code c) { stats.add(c); });
    std::uint64_t bits = lh5BlockBits(stats);
    CostModel model;
    bool parsed = false;
    // Data that does not shrink is not worth a parse.
    for (int pass = 0; pass < kRefinements && bits < 8 * std::uint64_t{n}; ++pass) {
        setCosts(stats, model);
        parse(model, 0, n, trial_);
        Lh5BlockStats trialStats;
        trialStats.add(trial_);
        const std::uint64_t trialBits = lh5BlockBits(trialStats);
        if (trialBits >= bits) {
            break;
        }
        codes_.swap(trial_);
        stats = trialStats;
        bits = trialBits;
        parsed = true;
    }
    if (!parsed) {
        codes_.clear();
        longestMatches(n, [this](Lh5Code c) { codes_.push_back(c); });
    }

    // Each block keeps the parse made for the whole segment's tables:
    // parsing a block again for its own gained about 0.04 % for 7 % of
    // the time.
    std::vector<Block> blocks;
    splitBlocks(codes_, 0, codes_.size(), last, blocks);
    for (const Block& b : blocks) {
        emitBlock(std::span<const Lh5Code>(codes_.data() + b.firstCode, b.codeCount), b.stats);
    }
}

void Encoder::emitBlock(std::span<const Lh5Code> codes, const Lh5BlockStats& stats) {
    writeLh5Block(bits_, codes, stats);
    ++blocks_;
    for (unsigned s = 0; s < lh5::kCodeSymbols; ++s) {
        bytesCoded_ += std::uint64_t{stats.freqC[s]} * (s < 256 ? 1 : s - 256 + kMinMatch);
    }
    drainBits();
}

void Encoder::drainBits() {
    std::vector<std::uint8_t>& out = bits_.bytes();
    if (!out.empty()) {
        sink_(out.data(), out.size());
        bytesOut_ += out.size();
        out.clear();
    }
}

} // namespace tolvane::lha
