#include "platform/win32/volume_kind.h"

#include "platform/win32/handle.h"

#include <windows.h>

namespace tolvane::platform {

std::optional<std::wstring> fileSystemNameOf(const std::wstring& systemPath) {
    const Handle entry(::CreateFileW(systemPath.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t name[MAX_PATH + 1] = {};
    if (!entry.valid() || !::GetVolumeInformationByHandleW(entry.get(), nullptr, 0, nullptr,
                                                           nullptr, nullptr, name, MAX_PATH + 1)) {
        return std::nullopt;
    }
    return std::wstring(name);
}

} // namespace tolvane::platform
