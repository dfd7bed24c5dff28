#include "platform/text_encoding.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace tolvane::platform {

namespace {

constexpr UINT kShiftJis = 932;
constexpr std::wstring_view kReplacement = L"\xFFFD";

// The characters of bytes[at, at + length), or nothing when they are not
// CP932.
bool convert(std::string_view bytes, std::wstring& out) {
    if (bytes.empty()) {
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data() + start,
                          length);
    return true;
}

} // namespace

std::string shiftJisToUtf8(std::string_view bytes) {
    std::wstring wide;
    if (convert(bytes, wide)) {
        return narrow(wide);
    }
    // Something in it is not CP932: go character by character and mark each
    // byte that starts none.
    wide.clear();
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<BYTE>(bytes[at]);
        const std::size_t length =
            ::IsDBCSLeadByteEx(kShiftJis, lead) && at + 1 < bytes.size() ? 2 : 1;
        if (convert(bytes.substr(at, length), wide)) {
            at += length;
        } else {
            wide += kReplacement;
            ++at;
        }
    }
    return narrow(wide);
}

} // namespace tolvane::platform
