#pragma once

#include "engine/run_report.h"
#include "platform/clock.h"

#include <cstdint>
#include <string>

namespace tolvane::engine {

// The run record: one block per run, in the folder of the settings files.
inline constexpr const char* kRecordFileName = "Tolvane.log";
// Past this size the record becomes "Tolvane.log.1", replacing an older one.
inline constexpr std::uint64_t kRecordLimitBytes = 1024 * 1024;

// One run's block, UTF-8 with CR LF: start and end, the destination and
// the entries, the counts, every failure in full and the archiving outcome.
std::string recordBlock(const RunReport& report, const platform::LocalDateTime& ended,
                        const std::string& destination);

// Adds `block` to the record in `folder`, first moving a record that would
// pass the limit aside. Throws Failure.
void appendToRecord(const std::string& folder, const std::string& block);

} // namespace tolvane::engine
