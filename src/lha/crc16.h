#pragma once

#include <cstddef>
#include <cstdint>

namespace tolvane::lha {

// CRC-16 as the archive format uses it (reflected polynomial 0xA001, start 0,
// no final XOR). Feed data in any number of pieces.
class Crc16 {
  public:
    void update(const std::uint8_t* data, std::size_t size);
    std::uint16_t value() const { return crc_; }

  private:
    std::uint16_t crc_ = 0;
};

std::uint16_t crc16(const std::uint8_t* data, std::size_t size);

} // namespace tolvane::lha
