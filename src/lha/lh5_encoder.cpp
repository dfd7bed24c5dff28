#include "lha/lh5_encoder.h"

#include "lha/huffman.h"
#include "lha/lh5_format.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tolvane::lha {

namespace {

constexpr std::size_t kCodeCapacity = Lh5Encoder::kMaxBlockCodes + 16384;

std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint32_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t maxLen) {
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

// Bit lengths of a table written in the 3-bit form with a unary tail.
void putSmallLength(BitWriter& out, unsigned len) {
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

unsigned usedCount(const std::vector<std::uint8_t>& lengths, unsigned& last) {
    unsigned used = 0;
    last = 0;
    for (unsigned s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0) {
            ++used;
            last = s + 1;
        }
    }
    return used;
}

// The only symbol with a non-zero frequency (or 0 when there is none).
unsigned onlySymbol(const std::uint32_t* freq, unsigned n) {
    for (unsigned s = 0; s < n; ++s) {
        if (freq[s] != 0) {
            return s;
        }
    }
    return 0;
}

// Writes the T or P table: either the one-symbol form or count + lengths.
void putSmallTable(BitWriter& out, const std::vector<std::uint8_t>& lengths,
                   const std::uint32_t* freq, int countBits, unsigned zeroRunAfter) {
    unsigned n = 0;
    if (usedCount(lengths, n) < 2) {
        out.put(0, countBits);
        out.put(onlySymbol(freq, static_cast<unsigned>(lengths.size())), countBits);
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

// Spells the C lengths with the T alphabet: runs of zeros and lengths + 2.
std::vector<LengthCode> spellCodeLengths(const std::vector<std::uint8_t>& lengths, unsigned n) {
    std::vector<LengthCode> out;
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

} // namespace

Lh5Encoder::Lh5Encoder(Sink sink)
    : sink_(std::move(sink)), buffer_(kBufferSize + 16, 0), head_(std::size_t{1} << kHashBits, 0),
      prev_(kRingMask + 1, 0), codes_(kCodeCapacity), offsets_(kCodeCapacity) {}

void Lh5Encoder::begin() {
    // Move the stamps on past the old stream so none of it looks near.
    stampBase_ += static_cast<std::uint32_t>(pos_) + 2 * kWindow;
    bufferStart_ = 0;
    filled_ = 0;
    pos_ = 0;
    pending_ = false;
    pendingLen_ = 0;
    pendingDist_ = 0;
    codeCount_ = 0;
    bits_ = BitWriter();
    bytesIn_ = 0;
    bytesOut_ = 0;
    bytesCoded_ = 0;
}

void Lh5Encoder::write(const std::uint8_t* data, std::size_t size) {
    bytesIn_ += size;
    while (size > 0) {
        if (filled_ == kBufferSize) {
            compact();
        }
        const std::size_t n = std::min(size, kBufferSize - filled_);
        std::memcpy(buffer_.data() + filled_, data, n);
        filled_ += n;
        data += n;
        size -= n;
        process(false);
    }
}

void Lh5Encoder::finish() {
    process(true);
    if (pending_) {
        if (pendingLen_ >= kMinMatch) {
            emitMatch(pendingLen_, pendingDist_);
        } else {
            emitLiteral(buffer_[static_cast<std::size_t>(pendingAt_ - bufferStart_)]);
        }
        pending_ = false;
    }
    // Split what is left so the last block is never a small one.
    if (codeCount_ > kMaxBlockCodes) {
        const std::size_t half = codeCount_ / 2;
        encodeBlock(0, half);
        encodeBlock(half, codeCount_ - half);
    } else if (codeCount_ > 0) {
        encodeBlock(0, codeCount_);
    }
    codeCount_ = 0;
    bits_.flushToByte();
    drainBits();
}

void Lh5Encoder::compact() {
    // Keep the window behind pos_ (the waiting bytes are within it).
    std::uint64_t keep = pos_ > kWindow ? pos_ - kWindow : 0;
    keep = std::max(keep, bufferStart_);
    const auto drop = static_cast<std::size_t>(keep - bufferStart_);
    std::memmove(buffer_.data(), buffer_.data() + drop, filled_ - drop);
    filled_ -= drop;
    bufferStart_ = keep;
}

std::uint32_t Lh5Encoder::hashAt(std::size_t index) const {
    const std::uint32_t v = load32(buffer_.data() + index) & 0xFFFFFF;
    return (v * 2654435761u) >> (32 - kHashBits);
}

void Lh5Encoder::insert(std::uint64_t position) {
    const auto index = static_cast<std::size_t>(position - bufferStart_);
    const std::uint32_t h = hashAt(index);
    const std::uint32_t stamp = stampBase_ + static_cast<std::uint32_t>(position);
    prev_[stamp & kRingMask] = head_[h];
    head_[h] = stamp;
}

namespace {

// Rough worth of a match in quarter bytes: each byte covered against the
// extra bits its distance costs. Used to pick among candidates and to decide
// whether waiting one byte pays.
int matchScore(std::uint32_t len, std::uint32_t dist) {
    return static_cast<int>(4 * len) - static_cast<int>(std::bit_width(dist));
}

} // namespace

std::uint32_t Lh5Encoder::findMatch(std::uint64_t position, std::uint32_t candidate,
                                    std::uint32_t maxLen, std::uint32_t& dist) const {
    const std::uint32_t stamp = stampBase_ + static_cast<std::uint32_t>(position);
    const std::uint8_t* here = buffer_.data() + (position - bufferStart_);
    const std::uint64_t reach = std::min<std::uint64_t>(kWindow, position);
    std::uint32_t best = kMinMatch - 1;
    int bestScore = 0;
    int chain = pendingLen_ >= kGoodLength ? kMaxChain / 4 : kMaxChain;
    std::uint32_t lastDist = 0;
    while (chain-- > 0 && best < maxLen) {
        // Stamps wrap; a stale entry can only look further back or out of
        // reach, and every candidate is checked byte by byte anyway.
        const std::uint32_t d = stamp - candidate;
        if (d <= lastDist || d > reach) {
            break;
        }
        lastDist = d;
        const std::uint8_t* there = here - d;
        // Candidates only get further away: only a longer match can win.
        if (there[best] == here[best] && there[0] == here[0] && there[1] == here[1]) {
            const std::uint32_t len = matchLength(here, there, maxLen);
            if (len > best) {
                const int score = matchScore(len, d);
                if (best < kMinMatch || score > bestScore) {
                    best = len;
                    bestScore = score;
                    dist = d;
                    if (len >= kNiceLength) {
                        break;
                    }
                }
            }
        }
        candidate = prev_[candidate & kRingMask];
    }
    if (best < kMinMatch || bestScore < kMinScore) {
        return 0;
    }
    return best;
}

void Lh5Encoder::process(bool final) {
    const std::uint64_t end = bufferStart_ + filled_;
    const std::uint64_t limit = final ? end : (end > kMaxMatch ? end - kMaxMatch : 0);
    while (pos_ < limit) {
        const auto avail =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(end - pos_, kMaxMatch));
        std::uint32_t len = 0;
        std::uint32_t dist = 0;
        if (avail >= kMinMatch) {
            const auto index = static_cast<std::size_t>(pos_ - bufferStart_);
            const std::uint32_t h = hashAt(index);
            const std::uint32_t candidate = head_[h];
            const std::uint32_t stamp = stampBase_ + static_cast<std::uint32_t>(pos_);
            prev_[stamp & kRingMask] = candidate;
            head_[h] = stamp;
            if (!pending_ || pendingLen_ < kLazyLength) {
                len = findMatch(pos_, candidate, avail, dist);
            }
        }
        if (pending_ && pendingLen_ >= kMinMatch) {
            // The waiting match stands unless one starting here is worth
            // clearly more: every byte waited becomes a literal first.
            const std::uint64_t waited = pos_ - pendingAt_;
            if (len != 0 && matchScore(len, dist) > matchScore(pendingLen_, pendingDist_) +
                                                        kLazyBonus * static_cast<int>(waited)) {
                for (std::uint64_t q = pendingAt_; q < pos_; ++q) {
                    emitLiteral(buffer_[static_cast<std::size_t>(q - bufferStart_)]);
                }
                pendingAt_ = pos_;
                pendingLen_ = len;
                pendingDist_ = dist;
                ++pos_;
                continue;
            }
            if (waited < kLookAhead && pendingLen_ < kLazyLength &&
                pos_ + 1 < pendingAt_ + pendingLen_) {
                ++pos_; // look one position further before deciding
                continue;
            }
            emitMatch(pendingLen_, pendingDist_);
            const std::uint64_t stop = pendingAt_ + pendingLen_;
            for (std::uint64_t q = pos_ + 1; q < stop && q + kMinMatch <= end; ++q) {
                insert(q);
            }
            pos_ = stop;
            pending_ = false;
            pendingLen_ = 0;
            continue;
        }
        if (pending_) {
            emitLiteral(buffer_[static_cast<std::size_t>(pos_ - 1 - bufferStart_)]);
        }
        pending_ = true;
        pendingAt_ = pos_;
        pendingLen_ = len;
        pendingDist_ = dist;
        ++pos_;
    }
}

void Lh5Encoder::emitLiteral(std::uint8_t byte) {
    if (codeCount_ == kCodeCapacity) {
        encodeBlock(0, kMaxBlockCodes);
        std::move(codes_.begin() + kMaxBlockCodes, codes_.end(), codes_.begin());
        std::move(offsets_.begin() + kMaxBlockCodes, offsets_.end(), offsets_.begin());
        codeCount_ -= kMaxBlockCodes;
    }
    codes_[codeCount_++] = byte;
}

void Lh5Encoder::emitMatch(std::uint32_t length, std::uint32_t dist) {
    if (codeCount_ == kCodeCapacity) {
        encodeBlock(0, kMaxBlockCodes);
        std::move(codes_.begin() + kMaxBlockCodes, codes_.end(), codes_.begin());
        std::move(offsets_.begin() + kMaxBlockCodes, offsets_.end(), offsets_.begin());
        codeCount_ -= kMaxBlockCodes;
    }
    codes_[codeCount_] = static_cast<std::uint16_t>(256 + length - kMinMatch);
    offsets_[codeCount_] = static_cast<std::uint16_t>(dist - 1);
    ++codeCount_;
}

void Lh5Encoder::encodeBlock(std::size_t first, std::size_t count) {
    using namespace lh5;
    std::array<std::uint32_t, kCodeSymbols> freqC{};
    std::array<std::uint32_t, kOffsetSymbols> freqP{};
    for (std::size_t i = first; i < first + count; ++i) {
        bytesCoded_ += codes_[i] < 256 ? 1 : codes_[i] - 256 + kMinMatch;
        ++freqC[codes_[i]];
        if (codes_[i] >= 256) {
            ++freqP[offsetSlot(offsets_[i])];
        }
    }
    const std::vector<std::uint8_t> lenC = buildCodeLengths(freqC, kMaxCodeBits);
    const std::vector<std::uint8_t> lenP = buildCodeLengths(freqP, kMaxCodeBits);
    const std::vector<std::uint16_t> codeC = canonicalCodes(lenC);
    const std::vector<std::uint16_t> codeP = canonicalCodes(lenP);

    bits_.put(static_cast<std::uint32_t>(count), 16);
    unsigned nC = 0;
    if (usedCount(lenC, nC) < 2) {
        // One C symbol: an empty T table, then the symbol itself.
        bits_.put(0, kLengthCountBits);
        bits_.put(0, kLengthCountBits);
        bits_.put(0, kCodeCountBits);
        bits_.put(onlySymbol(freqC.data(), kCodeSymbols), kCodeCountBits);
    } else {
        const std::vector<LengthCode> spelled = spellCodeLengths(lenC, nC);
        std::array<std::uint32_t, kLengthSymbols> freqT{};
        for (const LengthCode& lc : spelled) {
            ++freqT[lc.symbol];
        }
        const std::vector<std::uint8_t> lenT = buildCodeLengths(freqT, kMaxCodeBits);
        const std::vector<std::uint16_t> codeT = canonicalCodes(lenT);
        putSmallTable(bits_, lenT, freqT.data(), kLengthCountBits, kLengthZeroRunAfter);
        bits_.put(nC, kCodeCountBits);
        for (const LengthCode& lc : spelled) {
            bits_.put(codeT[lc.symbol], lenT[lc.symbol]);
            if (lc.symbol == 1) {
                bits_.put(lc.extra, 4);
            } else if (lc.symbol == 2) {
                bits_.put(lc.extra, kCodeCountBits);
            }
        }
    }
    putSmallTable(bits_, lenP, freqP.data(), kOffsetCountBits, 0);

    for (std::size_t i = first; i < first + count; ++i) {
        const unsigned c = codes_[i];
        bits_.put(codeC[c], lenC[c]);
        if (c >= 256) {
            const std::uint32_t offset = offsets_[i];
            const unsigned slot = offsetSlot(offset);
            bits_.put(codeP[slot], lenP[slot]);
            if (slot > 1) {
                bits_.put(offset - (1u << (slot - 1)), static_cast<int>(slot - 1));
            }
        }
        if (bits_.bytes().size() >= 65536) {
            drainBits();
        }
    }
    drainBits();
}

void Lh5Encoder::drainBits() {
    std::vector<std::uint8_t>& out = bits_.bytes();
    if (!out.empty()) {
        sink_(out.data(), out.size());
        bytesOut_ += out.size();
        out.clear();
    }
}

} // namespace tolvane::lha
