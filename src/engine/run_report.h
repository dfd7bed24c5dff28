#pragma once

#include "platform/clock.h"
#include "platform/failure.h"

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::engine {

// Which end of a copy a failure concerns.
enum class FailedSide {
    Source,            // the file or folder being backed up
    Copy,              // the copy at the destination
    DestinationFolder, // the folder that holds (or would hold) the copy
};

// One file, link or folder that could not be backed up in a run.
struct ItemFailure {
    // The fixed lines that open the item, as the procedure names its failure.
    std::vector<std::string> heading;
    // Labelled path lines ("コピー元：…", "コピー先：…", "フォルダ：…").
    std::vector<std::string> paths;
    FailedSide side = FailedSide::Source;
    platform::FailureCause cause = platform::FailureCause::Other;
    std::string systemText; // the platform's own description
};

// Any failure as the platform reports one: a platform failure as it is,
// anything else with number 0 and its own text.
platform::Failure failureOf(const std::exception& error);

// Which side of a copy from `from` to `to` a failure on `subject` concerns.
FailedSide sideOf(const std::string& subject, const std::string& from, const std::string& to);

// "原因：" + the side + why in Japanese, then the system's own words.
std::string causeLine(const ItemFailure& failure);

// The item's lines: heading, paths, cause.
std::vector<std::string> itemLines(const ItemFailure& failure);

// What one run did, kept until the run is over.
struct RunReport {
    platform::LocalDateTime started{};
    std::vector<std::string> entries;
    std::size_t copied = 0;
    std::size_t unchanged = 0;
    std::vector<ItemFailure> failures;
    // What the run found about the destination, each said once.
    std::vector<std::string> notices;
    // What the archiving step said; nothing when it did not run.
    std::optional<std::string> archiving;
};

// How many failures the run's message lists in full; the rest are counted.
inline constexpr std::size_t kFailuresShown = 10;

// The run's one message about the items it could not back up: the count,
// up to kFailuresShown items, the notices, then how many more and where the
// whole list is (`recordPath`, empty when no record was written). `recordProblem`, when
// not empty, is why the run record could not be written.
std::string failureMessage(const RunReport& report, const std::string& recordPath,
                           const std::string& recordProblem);

} // namespace tolvane::engine
