#pragma once

#include "platform/failure.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace tolvane::lha {

// Result codes of Unlha(). Zero is success; every failure leaves no archive
// (and no temporary file) behind.
inline constexpr int kOk = 0;
// Unknown command or switch, missing or surplus arguments.
inline constexpr int kErrorBadCommand = 1;
// The folder (or a file or folder inside it) is missing or cannot be read.
inline constexpr int kErrorCannotReadSource = 2;
// A file of 4 GiB or more: the 32-bit size fields cannot hold it.
inline constexpr int kErrorFileTooLarge = 3;
// The archive (its temporary file or the final rename) cannot be written.
inline constexpr int kErrorCannotWriteArchive = 4;
// Reading the written archive back did not give the source's sizes and CRCs.
inline constexpr int kErrorVerifyFailed = 5;
// A name holds the byte 0xFF (the format's path separator), is not valid
// UTF-8 (readers stop at such a name) or is too long for a header.
inline constexpr int kErrorBadName = 6;
// Another Unlha() call is still running.
inline constexpr int kErrorBusy = 7;
// Anything unexpected (out of memory, internal fault).
inline constexpr int kErrorInternal = 8;
// The folder holds a symbolic link that cannot be archived: its path or its
// target holds '|' (which splits a stored link into name and target), the
// byte 0xFF or text that is not UTF-8. Readers would restore it under the
// wrong name or target, or stop there, and the folder is deleted after
// archiving, so the whole archive is refused.
inline constexpr int kErrorLinkNotStorable = 9;
// The folder holds a socket, pipe or device: nothing the readers restore
// could stand for it, so the whole archive is refused.
inline constexpr int kErrorSpecialFile = 10;
// The folder holds a temporary file that a run which may still be alive is
// writing: the folder stays for a later run.
inline constexpr int kErrorFolderInUse = 11;
// Cancelled by the user while the archive was written or checked; the
// source is left as it was.
inline constexpr int kErrorCancelled = 12;

// Why a call failed, beyond its code: the file or folder the failure is
// about and, where the system refused something, the system's failure.
struct PackFailure {
    std::string path;
    std::optional<platform::Failure> system;
};

// Thrown inside the library; the front turns it into a result code.
class LhaError : public std::runtime_error {
  public:
    LhaError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    // A failure of the system on `path`, which the caller can name.
    LhaError(int code, const std::string& message, std::string path,
             const platform::Failure& system)
        : std::runtime_error(message), code_(code), failure_{std::move(path), system} {}
    int code() const { return code_; }
    const PackFailure& failure() const { return failure_; }

  private:
    int code_;
    PackFailure failure_;
};

} // namespace tolvane::lha
