#pragma once

#include "lha/errors.h"
#include "lha/pack_progress.h"

#include <string>

namespace tolvane::history {

// Runs one archiver command with a 1024-byte output buffer, whose text is not
// used, and returns the archiver's result unchanged: 0 is success. Progress
// and a cancel request go through `progress`; a cancel returns
// lha::kErrorCancelled. What a failure was about goes to `failure`.
int callUnlha(const std::string& commandLine, lha::PackProgress& progress,
              lha::PackFailure& failure);

// Whether the archiver is still busy with an earlier command.
bool unlhaRunning();

// Encloses a path in double quotes when it holds a "," or a blank, so the
// archiver takes it as one argument. Nothing else is quoted or escaped.
std::string quoteLhaPath(const std::string& path);

} // namespace tolvane::history
