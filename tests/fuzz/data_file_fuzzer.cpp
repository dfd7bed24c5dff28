// The data file's decoding: every line stays one line, a valid UTF-8 line
// stays as it is, any other becomes valid UTF-8 of its own.

#include "fuzz_check.h"
#include "platform/text_encoding.h"
#include "platform/text_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tolvane::platform::decodeFileText;
using tolvane::platform::isValidUtf8;
using tolvane::platform::splitLines;

// The lines as the file holds them, split independently of splitLines.
std::vector<std::string_view> rawLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        lines.push_back(bytes.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
        bytes.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> decoded = splitLines(decodeFileText(bytes));
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const std::vector<std::string_view> raw = rawLines(bytes);
    FUZZ_CHECK(decoded.size() == raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        FUZZ_CHECK(isValidUtf8(decoded[i]));
        FUZZ_CHECK(decoded[i].find_first_of("\r\n") == std::string::npos);
        if (isValidUtf8(raw[i])) {
            FUZZ_CHECK(decoded[i] == raw[i]);
        } else {
            // Read as CP932: nothing is dropped, so something stands for it.
            FUZZ_CHECK(!decoded[i].empty());
        }
    }
    return 0;
}
