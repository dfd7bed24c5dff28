#pragma once

#include "support/files.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace tolvane::lha::testing {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> out(n);
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(gen());
    }
    return out;
}

// Text-like data: words from a small vocabulary, so it compresses the way
// documents do, with matches at every distance.
inline std::vector<std::uint8_t> textBytes(std::size_t n, unsigned seed) {
    static const std::array<const char*, 16> words = {
        "archive ", "folder ", "backup ", "the ",  "of ",   "copy\n", "date ", "2026 ",
        "file ",    "size ",   "time ",   "read ", "only ", "a ",     "\t",    "value; "};
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> out;
    out.reserve(n + 16);
    while (out.size() < n) {
        const char* w = words[gen() % words.size()];
        out.insert(out.end(), w, w + std::char_traits<char>::length(w));
        if (gen() % 7 == 0) {
            out.push_back(static_cast<std::uint8_t>('0' + gen() % 10));
        }
    }
    out.resize(n);
    return out;
}

inline void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

inline std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

#ifndef _WIN32
// A reader the tests depend on must be there: a missing one is a failure,
// not a silent skip.
inline bool haveTool(const std::string& tool) {
    return tolvane::testing::runCommand("command -v " + tool).status == 0;
}

#define REQUIRE_TOOL(tool)                                                                         \
    ASSERT_TRUE(::tolvane::lha::testing::haveTool(tool))                                           \
        << "external reader '" << (tool) << "' is not installed (build.sh installs it)"
#endif

} // namespace tolvane::lha::testing
