#include "lha/file_info.h"

#include "platform/archive_status.h"

#include <algorithm>

namespace tolvane::lha {

namespace {

std::uint32_t clampTime(long long seconds) {
    return static_cast<std::uint32_t>(std::clamp<long long>(seconds, 0, 0xFFFFFFFFLL));
}

FileKind kindOf(platform::FileKind kind) {
    switch (kind) {
    case platform::FileKind::File:
        return FileKind::Regular;
    case platform::FileKind::Folder:
        return FileKind::Directory;
    case platform::FileKind::Link:
        return FileKind::Symlink;
    case platform::FileKind::Other:
        break;
    }
    return FileKind::Other;
}

} // namespace

FileInfo inspectFile(const std::string& path, bool followLink) {
    FileInfo info;
    const auto found = platform::archiveStatus(path, followLink);
    if (!found) {
        return info;
    }
    info.kind = kindOf(found->status.kind);
    if (info.kind == FileKind::Regular) {
        info.size = static_cast<std::uint64_t>(found->status.size);
    }
    info.mtime = clampTime(found->status.modified);
    info.mode = static_cast<std::uint16_t>(found->unixMode);
    if (found->owner) {
        info.hasOwner = true;
        info.uid = static_cast<std::uint16_t>(found->owner->user);
        info.gid = static_cast<std::uint16_t>(found->owner->group);
    }
    return info;
}

} // namespace tolvane::lha
