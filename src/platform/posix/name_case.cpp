#include "platform/paths.h"

#include <climits>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <locale.h>

namespace tolvane::platform {

namespace {

// One UTF-8 locale for the whole process, whatever the user's locale is.
locale_t utf8Locale() {
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

} // namespace

std::string caseFoldedName(const std::string& name) {
    const locale_t utf8 = utf8Locale();
    if (utf8 == nullptr) {
        std::string folded = name;
        for (char& c : folded) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return folded;
    }
    const locale_t previous = ::uselocale(utf8);
    std::string folded;
    std::mbstate_t in{};
    for (std::size_t at = 0; at < name.size();) {
        wchar_t character = 0;
        const std::size_t length =
            std::mbrtowc(&character, name.data() + at, name.size() - at, &in);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2) ||
            length == 0) {
            folded += name[at];
            ++at;
            in = std::mbstate_t{};
            continue;
        }
        char bytes[MB_LEN_MAX];
        std::mbstate_t out{};
        const std::size_t written = std::wcrtomb(
            bytes, static_cast<wchar_t>(std::towupper(static_cast<wint_t>(character))), &out);
        if (written == static_cast<std::size_t>(-1)) {
            folded.append(name, at, length);
        } else {
            folded.append(bytes, written);
        }
        at += length;
    }
    ::uselocale(previous);
    return folded;
}

} // namespace tolvane::platform
