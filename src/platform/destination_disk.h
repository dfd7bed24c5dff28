#pragma once

#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tolvane::platform {

// How a destination's file system keeps the modification time a copy sets.
enum class TimeKeeping {
    WholeSeconds,   // whole seconds or finer, cut down to the second
    WholeSecondsUp, // whole seconds, rounded up
    TwoSecondsDown, // steps of 2 seconds, rounded down (FAT as Linux keeps it)
    TwoSecondsUp,   // steps of 2 seconds, rounded up (FAT as Windows keeps it)
    NotKept,        // a set time is not kept at all
};

// What a destination's file system does with what a copy gives it, learnt
// from the file system itself, since drivers of one kind differ.
struct DestinationDisk {
    TimeKeeping times = TimeKeeping::WholeSeconds;
    // "Report.txt" and "report.txt" name one file there.
    bool caseInsensitive = false;
    // The most bytes one file may hold there; nothing: no limit known.
    std::optional<std::int64_t> largestFile;
};

// Writes a probe file under one of the program's temporary names in
// `folder`, sets and reads back its time twice, looks its name up in other
// case and removes it. Never throws: where no probe can be written, the
// whole-second rule and case-sensitive names stand.
DestinationDisk probeDestination(const std::string& folder) noexcept;

// The whole seconds a destination keeping `times` holds for a file last
// written `seconds` and `nanos` past the epoch.
std::int64_t keptSeconds(TimeKeeping times, std::int64_t seconds, std::int32_t nanos);

// Whether a copy carries the time the destination makes of its source's;
// never where set times are not kept.
bool sameKeptTime(TimeKeeping times, const FileStatus& copy, const FileStatus& source);

// The largest file the file system holding `folder` can keep, from its kind
// (FAT: 4 GiB less one byte); nothing when no limit is known.
std::optional<std::int64_t> largestFileIn(const std::string& folder) noexcept;

} // namespace tolvane::platform
