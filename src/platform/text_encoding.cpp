#include "platform/text_encoding.h"

namespace tolvane::platform {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at text[at], or 0 when there is none.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t left = text.size() - at;
    auto next = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return left >= 2 && isContinuation(next(1)) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(next(1)) || !isContinuation(next(2))) {
            return 0;
        }
        if (lead == 0xE0 && next(1) < 0xA0) {
            return 0; // overlong
        }
        if (lead == 0xED && next(1) >= 0xA0) {
            return 0; // surrogate
        }
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(next(1)) || !isContinuation(next(2)) ||
            !isContinuation(next(3))) {
            return 0;
        }
        if (lead == 0xF0 && next(1) < 0x90) {
            return 0; // overlong
        }
        if (lead == 0xF4 && next(1) >= 0x90) {
            return 0; // above U+10FFFF
        }
        return 4;
    }
    return 0;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string decodeFileText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    // Line by line, so one stray byte changes the meaning of its own line
    // only. CP932 never uses CR or LF inside a character, so the cut is safe.
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        const std::string_view line = bytes.substr(0, end);
        text += isValidUtf8(line) ? std::string(line) : shiftJisToUtf8(line);
        if (end == std::string_view::npos) {
            break;
        }
        text += bytes[end];
        bytes.remove_prefix(end + 1);
    }
    return text;
}

std::size_t utf8PrefixBytes(std::string_view text, std::size_t maxCharacters) {
    std::size_t at = 0;
    for (std::size_t count = 0; count < maxCharacters && at < text.size(); ++count) {
        // A stray byte counts as one character of its own.
        const std::size_t length = sequenceLength(text, at);
        at += length == 0 ? 1 : length;
    }
    return at;
}

} // namespace tolvane::platform
