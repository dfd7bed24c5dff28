#include "platform/paths.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace tolvane::platform {

// The system's own upper-casing, as NTFS and FAT compare names.
std::string caseFoldedName(const std::string& name) {
    std::wstring wide = widen(name);
    if (wide.empty()) {
        return name;
    }
    std::wstring folded(wide.size(), L'\0');
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(),
                                       static_cast<int>(wide.size()), folded.data(),
                                       static_cast<int>(folded.size()), nullptr, nullptr, 0);
    if (length <= 0) {
        return name;
    }
    folded.resize(static_cast<std::size_t>(length));
    return narrow(folded);
}

} // namespace tolvane::platform
