#include "lha/crc16.h"

#include <array>

namespace tolvane::lha {

namespace {

// Eight tables so the main loop takes eight bytes per step; every file's data
// passes through here twice (packing and verifying).
using Tables = std::array<std::array<std::uint16_t, 256>, 8>;

Tables makeTables() {
    Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        }
        t[0][i] = static_cast<std::uint16_t>(crc);
    }
    for (unsigned i = 0; i < 256; ++i) {
        for (std::size_t k = 1; k < 8; ++k) {
            unsigned prev = t[k - 1][i];
            t[k][i] = static_cast<std::uint16_t>(t[0][prev & 0xFF] ^ (prev >> 8));
        }
    }
    return t;
}

const Tables& tables() {
    static const Tables t = makeTables();
    return t;
}

} // namespace

void Crc16::update(const std::uint8_t* data, std::size_t size) {
    const Tables& t = tables();
    unsigned crc = crc_;
    while (size >= 8) {
        unsigned a = crc ^ (data[0] | (unsigned{data[1]} << 8));
        crc = t[7][a & 0xFF] ^ t[6][a >> 8] ^ t[5][data[2]] ^ t[4][data[3]] ^ t[3][data[4]] ^
              t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- > 0) {
        crc = t[0][(crc ^ *data++) & 0xFF] ^ (crc >> 8);
    }
    crc_ = static_cast<std::uint16_t>(crc);
}

std::uint16_t crc16(const std::uint8_t* data, std::size_t size) {
    Crc16 crc;
    crc.update(data, size);
    return crc.value();
}

} // namespace tolvane::lha
