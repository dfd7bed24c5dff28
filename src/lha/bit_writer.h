#pragma once

#include <cstddef>
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
            // Words gather in a small array: appending four bytes to the
            // vector each time cost more than making the bits.
            if (staged_ == sizeof stage_) {
                unstage();
            }
            std::uint8_t* to = stage_ + staged_;
            to[0] = static_cast<std::uint8_t>(word >> 24);
            to[1] = static_cast<std::uint8_t>(word >> 16);
            to[2] = static_cast<std::uint8_t>(word >> 8);
            to[3] = static_cast<std::uint8_t>(word);
            staged_ += 4;
        }
    }

    // Pads the last byte with zero bits.
    void flushToByte() {
        unstage();
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
    std::vector<std::uint8_t>& bytes() {
        unstage();
        return out_;
    }

    // Bits not yet moved into bytes().
    std::uint64_t pendingBits() const { return static_cast<std::uint64_t>(count_); }

  private:
    void unstage() {
        out_.insert(out_.end(), stage_, stage_ + staged_);
        staged_ = 0;
    }

    std::uint64_t acc_ = 0;
    int count_ = 0;
    std::uint8_t stage_[256]{};
    std::size_t staged_ = 0;
    std::vector<std::uint8_t> out_;
};

} // namespace tolvane::lha
