#include "platform/destination_disk.h"

#include "platform/file_io.h"
#include "platform/paths.h"

#include <array>

namespace tolvane::platform {

namespace {

// Two known times a second apart, with a fraction: an odd second tells a
// 2-second step from a whole second, the even one tells up from down.
constexpr std::int64_t kProbeSeconds = 1'000'000'001; // 2001-09-09 01:46:41 UTC
constexpr std::int32_t kProbeNanos = 370'000'000;

std::int64_t evenBelow(std::int64_t seconds) {
    return seconds - ((seconds % 2) + 2) % 2;
}

TimeKeeping keepingOf(const std::array<std::int64_t, 2>& readBack) {
    constexpr std::array kinds{TimeKeeping::WholeSeconds, TimeKeeping::WholeSecondsUp,
                               TimeKeeping::TwoSecondsDown, TimeKeeping::TwoSecondsUp};
    for (const TimeKeeping kind : kinds) {
        if (keptSeconds(kind, kProbeSeconds, kProbeNanos) == readBack[0] &&
            keptSeconds(kind, kProbeSeconds + 1, kProbeNanos) == readBack[1]) {
            return kind;
        }
    }
    return TimeKeeping::NotKept;
}

// The same name with its letters in the other case; empty when it has none.
std::string otherCase(const std::string& name) {
    std::string other = name;
    bool changed = false;
    for (char& c : other) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
            changed = true;
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
            changed = true;
        }
    }
    return changed ? other : std::string();
}

} // namespace

std::int64_t keptSeconds(TimeKeeping times, std::int64_t seconds, std::int32_t nanos) {
    switch (times) {
    case TimeKeeping::WholeSeconds:
    case TimeKeeping::NotKept:
        return seconds;
    case TimeKeeping::WholeSecondsUp:
        return nanos > 0 ? seconds + 1 : seconds;
    case TimeKeeping::TwoSecondsDown:
        return evenBelow(seconds);
    case TimeKeeping::TwoSecondsUp:
        return evenBelow(seconds) == seconds && nanos == 0 ? seconds : evenBelow(seconds) + 2;
    }
    return seconds;
}

bool sameKeptTime(TimeKeeping times, const FileStatus& copy, const FileStatus& source) {
    return times != TimeKeeping::NotKept &&
           copy.modified == keptSeconds(times, source.modified, source.modifiedNanos);
}

DestinationDisk probeDestination(const std::string& folder) noexcept {
    DestinationDisk disk;
    disk.largestFile = largestFileIn(folder);
    std::string probe;
    try {
        NewFile file = NewFile::temporaryBeside(joinPath(folder, "probe"));
        probe = file.path();
        file.close();
        std::array<std::int64_t, 2> readBack{};
        for (std::size_t step = 0; step < readBack.size(); ++step) {
            setModificationTime(probe, kProbeSeconds + static_cast<std::int64_t>(step),
                                kProbeNanos);
            readBack[step] = fileStatus(probe).modified;
        }
        disk.times = keepingOf(readBack);
        const std::string other = otherCase(lastName(probe));
        disk.caseInsensitive = !other.empty() && linkStatus(joinPath(folder, other)).has_value();
    } catch (...) {
        // A folder that takes no probe keeps the rules that need none.
        disk.times = TimeKeeping::WholeSeconds;
        disk.caseInsensitive = false;
    }
    if (!probe.empty()) {
        removeFile(probe);
    }
    return disk;
}

} // namespace tolvane::platform
