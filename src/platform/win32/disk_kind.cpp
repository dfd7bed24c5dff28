#include "platform/destination_disk.h"
#include "platform/win32/volume_kind.h"
#include "platform/win32/wide.h"

namespace tolvane::platform {

std::optional<std::int64_t> largestFileIn(const std::string& folder) noexcept {
    try {
        const auto name = fileSystemNameOf(systemPath(folder));
        if (name && (*name == L"FAT" || *name == L"FAT32")) {
            return 0xFFFFFFFFLL; // 4 GiB less one byte
        }
    } catch (...) {
        // A name that cannot be converted: no limit known.
    }
    return std::nullopt;
}

} // namespace tolvane::platform
