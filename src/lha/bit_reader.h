#pragma once

#include "lha/errors.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tolvane::lha {

// Reads a stream most significant bit first from a pull source. Reading past
// the end of the stream is a verification failure, never undefined.
class BitReader {
  public:
    // The source fills up to `size` bytes and returns how many it gave (0 at end).
    using Source = std::function<std::size_t(std::uint8_t*, std::size_t)>;

    explicit BitReader(Source source) : source_(std::move(source)) {}

    // Looks at the next 16 bits without using them (zeros past the end).
    std::uint32_t peek16() {
        if (count_ < 16) {
            refill();
        }
        if (count_ >= 16) {
            return static_cast<std::uint32_t>(acc_ >> (count_ - 16)) & 0xFFFF;
        }
        return static_cast<std::uint32_t>(acc_ << (16 - count_)) & 0xFFFF;
    }

    void skip(int bits) {
        if (bits > count_) {
            refill();
            if (bits > count_) {
                throw LhaError(kErrorVerifyFailed, "compressed data ends too early");
            }
        }
        count_ -= bits;
        acc_ &= (std::uint64_t{1} << count_) - 1;
    }

    std::uint32_t get(int bits) {
        if (bits == 0) {
            return 0;
        }
        if (count_ < bits) {
            refill();
            if (count_ < bits) {
                throw LhaError(kErrorVerifyFailed, "compressed data ends too early");
            }
        }
        count_ -= bits;
        auto value = static_cast<std::uint32_t>(acc_ >> count_);
        acc_ &= (std::uint64_t{1} << count_) - 1;
        return value;
    }

    // Bytes taken from the source so far, and bits actually used of them.
    std::uint64_t bytesTaken() const { return taken_; }
    std::uint64_t bitsUsed() const { return taken_ * 8 - static_cast<std::uint64_t>(count_); }

  private:
    void refill() {
        if (count_ <= 56 && end_ - pos_ >= 8) {
            // As many whole bytes as fit, in one step.
            const std::uint8_t* b = buffer_ + pos_;
            const std::uint64_t next = std::uint64_t{b[0]} << 56 | std::uint64_t{b[1]} << 48 |
                                       std::uint64_t{b[2]} << 40 | std::uint64_t{b[3]} << 32 |
                                       std::uint64_t{b[4]} << 24 | std::uint64_t{b[5]} << 16 |
                                       std::uint64_t{b[6]} << 8 | std::uint64_t{b[7]};
            const int bytes = (64 - count_) / 8;
            acc_ = bytes == 8 ? next : (acc_ << (8 * bytes)) | (next >> (64 - 8 * bytes));
            count_ += 8 * bytes;
            pos_ += static_cast<std::size_t>(bytes);
            taken_ += static_cast<std::uint64_t>(bytes);
            return;
        }
        while (count_ <= 56) {
            if (pos_ == end_) {
                end_ = source_(buffer_, sizeof buffer_);
                pos_ = 0;
                if (end_ == 0) {
                    return;
                }
            }
            acc_ = (acc_ << 8) | buffer_[pos_++];
            count_ += 8;
            ++taken_;
        }
    }

    Source source_;
    std::uint8_t buffer_[16384];
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t acc_ = 0;
    int count_ = 0;
    std::uint64_t taken_ = 0;
};

} // namespace tolvane::lha
