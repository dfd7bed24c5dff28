#include "platform/destination_disk.h"
#include "platform/win32/wide.h"

#include <vector>
#include <windows.h>

namespace tolvane::platform {

std::optional<std::int64_t> largestFileIn(const std::string& folder) noexcept {
    try {
        const std::wstring path = systemPath(folder);
        std::vector<wchar_t> volume(path.size() + 2);
        wchar_t kind[MAX_PATH + 1]{};
        if (!::GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())) ||
            !::GetVolumeInformationW(volume.data(), nullptr, 0, nullptr, nullptr, nullptr, kind,
                                     MAX_PATH + 1)) {
            return std::nullopt;
        }
        const std::wstring name = kind;
        if (name == L"FAT" || name == L"FAT32") {
            return 0xFFFFFFFFLL; // 4 GiB less one byte
        }
    } catch (...) {
        // A name that cannot be converted: no limit known.
    }
    return std::nullopt;
}

} // namespace tolvane::platform
