#include "platform/text_encoding.h"

#include <cerrno>
#include <iconv.h>

namespace tolvane::platform {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Without a converter, keep what is plain ASCII and mark the rest.
std::string asciiOnly(std::string_view bytes) {
    std::string result;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            result += c;
        } else {
            result += kReplacement;
        }
    }
    return result;
}

} // namespace

std::string shiftJisToUtf8(std::string_view bytes) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return asciiOnly(bytes);
    }
    std::string result;
    result.reserve(bytes.size() * 3 / 2 + 16);
    char buffer[4096];
    // iconv takes a non-const input pointer but does not write through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        result.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (error == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a lead byte cut off at the end): mark one byte and
        // carry on after it.
        result += kReplacement;
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return result;
}

} // namespace tolvane::platform
