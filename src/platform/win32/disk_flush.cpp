#include "platform/disk_flush.h"

#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <string>

namespace tolvane::platform {

// Windows flushes a whole volume only for an administrator. For everybody
// else nothing is done here: a removable disk is set for quick removal by
// default, so its writes already go straight through, and flushing each copy
// as it closes would cost a wait for the disk per file on the fixed disks
// that do cache.
void flushFileSystem(const std::string& folder) {
    const std::wstring path = systemPath(folder);
    wchar_t mountPoint[MAX_PATH + 1] = {};
    wchar_t volume[MAX_PATH + 1] = {};
    if (!::GetVolumePathNameW(path.c_str(), mountPoint, MAX_PATH + 1) ||
        !::GetVolumeNameForVolumeMountPointW(mountPoint, volume, MAX_PATH + 1)) {
        return; // a network folder: its server keeps the writes
    }
    std::wstring device(volume);
    if (!device.empty() && device.back() == L'\\') {
        device.pop_back(); // the volume itself, not its root folder
    }
    Handle disk(::CreateFileW(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    if (!disk.valid()) {
        return;
    }
    if (!::FlushFileBuffers(disk.get())) {
        throwLastFailure(folder);
    }
}

} // namespace tolvane::platform
