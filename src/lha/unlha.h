#pragma once

#include "lha/errors.h"
#include "lha/pack_progress.h"

#include <cstdint>
#include <string>

namespace tolvane::lha {

// The archiver library's entry points, as the program calls them.
//
// Runs one command; the only one known is "a -x1 -r2 ARCHIVE FOLDER" (either
// path may be in double quotes). It packs FOLDER, its own name first, into a
// new archive, checks the archive and only then puts it at ARCHIVE, replacing
// any file there. Returns kOk (0) or one of the codes in lha/errors.h; on
// failure nothing is left at ARCHIVE or beside it. The output buffer gets a
// short report (or the reason of the failure), NUL-terminated and cut to
// bufferSize. The window handle is accepted and not used.
int Unlha(std::uintptr_t windowHandle, const std::string& commandLine, char* outputBuffer,
          std::uint32_t bufferSize);

// Unlha() for a caller that shows progress and may cancel, from another
// thread, through `progress`. A cancel returns kErrorCancelled with the
// same clean-up as any failure. A failure's path and system failure, where
// known, go to `failure`.
int UnlhaWithProgress(const std::string& commandLine, char* outputBuffer, std::uint32_t bufferSize,
                      PackProgress& progress, PackFailure* failure = nullptr);

// True while a call to Unlha() (or UnlhaWithProgress()) is running.
bool UnlhaGetRunning();

// The library's version: major * 100 + minor.
int UnlhaGetVersion();

} // namespace tolvane::lha
