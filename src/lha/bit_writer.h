#pragma once

#include <cstdint>
#include <vector>

namespace tolvane::lha {

// Collects bits most significant first, as the -lh5- stream wants them.
class BitWriter {
  public:
    // Appends the low `bits` bits of value (bits at most 32).
    void put(std::uint32_t value, int bits) {
        acc_ = (acc_ << bits) | (value & ((std::uint64_t{1} << bits) - 1));
        count_ += bits;
        if (count_ >= 32) {
            count_ -= 32;
            auto word = static_cast<std::uint32_t>(acc_ >> count_);
            const std::uint8_t bytes[4] = {
                static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
                static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
            out_.insert(out_.end(), bytes, bytes + 4);
        }
    }

    // Pads the last byte with zero bits.
    void flushToByte() {
        while (count_ >= 8) {
            count_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(acc_ >> count_));
        }
        if (count_ > 0) {
            out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - count_)));
            count_ = 0;
        }
        acc_ = 0;
    }

    // Whole bytes written so far; the caller may move them out and clear them
    // while pending bits stay.
    std::vector<std::uint8_t>& bytes() { return out_; }

    // Bits not yet moved into bytes().
    std::uint64_t pendingBits() const { return static_cast<std::uint64_t>(count_); }

  private:
    std::uint64_t acc_ = 0;
    int count_ = 0;
    std::vector<std::uint8_t> out_;
};

} // namespace tolvane::lha
