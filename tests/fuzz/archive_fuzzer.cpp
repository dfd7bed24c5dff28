// The archive check and the -lh5- decoder on any bytes: either they go
// through, or they refuse with the check's own error (code 5). Anything else,
// a crash or another error, is a fault. Where the walk finds every entry's
// data matching its header, verifyArchive must pass those headers, on one
// reader or two; where it does not, verifyArchive must refuse them.
//
// The same bytes also go to decodeLh5 as a bare stream, its length taken
// from the first three bytes.

#include "fuzz_check.h"
#include "lha/archive_reader.h"
#include "lha/bit_reader.h"
#include "lha/errors.h"
#include "lha/lh5_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace tolvane::lha;

const std::string& scratchFile() {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("tolvane-archive-fuzzer-" + std::to_string(::getpid()) + ".lzh"))
            .string();
    return path;
}

// True when every entry's data matched its header.
bool walk(const std::string& path, std::vector<EntryHeader>& headers) {
    ArchiveReader reader(path);
    EntryHeader entry;
    bool matching = true;
    while (reader.next(entry)) {
        headers.push_back(entry);
        std::uint64_t size = 0;
        const std::uint16_t crc =
            reader.readData([&](const std::uint8_t*, std::size_t n) { size += n; });
        matching = matching && size == entry.originalSize && crc == entry.crc;
    }
    return matching;
}

// Removes the scratch file after each input, so a run leaves nothing behind.
struct Removed {
    const std::string& path;
    ~Removed() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

void checkArchive(const std::uint8_t* data, std::size_t size, unsigned threads) {
    const std::string& path = scratchFile();
    const Removed removed{path};
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        FUZZ_CHECK(out.good());
    }
    std::vector<EntryHeader> headers;
    bool matching = false;
    try {
        matching = walk(path, headers);
    } catch (const LhaError& error) {
        FUZZ_CHECK(error.code() == kErrorVerifyFailed);
        return;
    }
    try {
        verifyArchive(path, headers, {}, threads);
        FUZZ_CHECK(matching);
    } catch (const LhaError& error) {
        FUZZ_CHECK(error.code() == kErrorVerifyFailed);
        FUZZ_CHECK(!matching);
    }
}

void decodeBareStream(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return;
    }
    const std::uint64_t originalSize = data[0] | data[1] << 8 | (data[2] & 0x0F) << 16;
    std::size_t given = 3;
    BitReader bits([&](std::uint8_t* buffer, std::size_t n) {
        const std::size_t k = std::min(n, size - given);
        std::memcpy(buffer, data + given, k);
        given += k;
        return k;
    });
    std::uint64_t out = 0;
    try {
        decodeLh5(bits, originalSize, [&](const std::uint8_t*, std::size_t n) { out += n; });
    } catch (const LhaError& error) {
        FUZZ_CHECK(error.code() == kErrorVerifyFailed);
        return;
    }
    FUZZ_CHECK(out == originalSize);
    FUZZ_CHECK(bits.bitsUsed() <= (size - 3) * 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkArchive(data, size, size % 2 == 0 ? 1 : 2);
    decodeBareStream(data, size);
    return 0;
}
