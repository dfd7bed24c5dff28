#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/paths.h"

#include <algorithm>
#include <map>

namespace tolvane::engine {

void MirrorEngine::useDiskOf(const std::string& folder) {
    std::uint64_t volume = 0;
    try {
        volume = platform::fileStatus(folder).id.volume;
    } catch (const platform::Failure&) {
        // The copy below fails the same way and says why.
        disk_ = {};
        return;
    }
    const auto known = std::find_if(disks_.begin(), disks_.end(),
                                    [volume](const auto& disk) { return disk.first == volume; });
    if (known != disks_.end()) {
        disk_ = known->second;
        return;
    }
    disk_ = platform::probeDestination(folder);
    disks_.emplace_back(volume, disk_);
    if (disk_.times == platform::TimeKeeping::NotKept) {
        addNotice(text::kNoticeTimesNotKept + folder);
    }
}

void MirrorEngine::sortOutEntries(const std::string& from, const std::string& to,
                                  std::vector<platform::FolderEntry>& entries, bool sizes) {
    // Each name folded once; the keeper of a folded name is its first in
    // byte order, so the same twin keeps the name on every run.
    std::vector<std::string> folded;
    std::map<std::string, std::string> keeperOf;
    if (disk_.caseInsensitive) {
        folded.reserve(entries.size());
        for (const auto& entry : entries) {
            folded.push_back(platform::caseFoldedName(entry.name));
            const auto [keeper, fresh] = keeperOf.emplace(folded.back(), entry.name);
            if (!fresh && entry.name < keeper->second) {
                keeper->second = entry.name;
            }
        }
    }
    std::vector<platform::FolderEntry> kept;
    kept.reserve(entries.size());
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const platform::FolderEntry& entry = entries[index];
        const std::string source = platform::joinPath(from, entry.name);
        const std::string copy = platform::joinPath(to, entry.name);
        if (disk_.caseInsensitive) {
            const std::string& keeper = keeperOf.at(folded[index]);
            if (keeper != entry.name) {
                ItemFailure item;
                item.heading = {text::kCopyFailed};
                item.paths = {text::kSourceLine + source, text::kCopyLine + copy};
                item.side = FailedSide::Copy;
                item.cause = platform::FailureCause::CaseTwin;
                item.systemText = text::kTwinOfBefore + keeper + text::kTwinOfAfter;
                report_.failures.push_back(std::move(item));
                continue;
            }
        }
        if (sizes && disk_.largestFile && entry.kind == platform::FileKind::File) {
            try {
                if (!fitsDestination(source, copy, platform::fileStatus(source).size)) {
                    continue;
                }
            } catch (const platform::Failure&) {
                // The copy itself says why the source cannot be read.
            }
        }
        kept.push_back(entry);
    }
    entries = std::move(kept);
}

bool MirrorEngine::fitsDestination(const std::string& from, const std::string& to,
                                   std::int64_t size) {
    if (!disk_.largestFile || size <= *disk_.largestFile) {
        return true;
    }
    recordCopyFailure(from, to, platform::Failure::tooLargeFor(to));
    return false;
}

void MirrorEngine::addNotice(const std::string& notice) {
    if (std::find(report_.notices.begin(), report_.notices.end(), notice) ==
        report_.notices.end()) {
        report_.notices.push_back(notice);
    }
}

} // namespace tolvane::engine
