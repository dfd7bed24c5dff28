#pragma once

#include "platform/clock.h"
#include "platform/failure.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::platform {

// Every function that can fail throws platform::Failure (the platform's number
// and "<its text>: <path>") unless it says otherwise.

enum class FileKind { File, Folder, Link, Other };

// Identifies a folder whatever path reaches it: the volume it lies on and
// its number there.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct FileStatus {
    FileKind kind = FileKind::Other;
    std::int64_t size = 0;
    std::int64_t modified = 0;      // whole seconds since the epoch
    std::int32_t modifiedNanos = 0; // past `modified`, as finely as the system keeps it
    bool readOnly = false;          // nobody may write it
    FileId id;
};

// A file's attributes as the platform keeps them, saved to be put back
// later; the program never looks inside.
struct SavedAttributes {
    std::uint32_t value = 0;
};

// Existence tests; they follow links and never throw.
bool folderExists(const std::string& path);
bool fileExists(const std::string& path); // a regular file

// The status of what a path names, following links.
FileStatus fileStatus(const std::string& path);
// The status of the path itself (a link is reported as a link); nothing when
// there is no such entry or none can exist by that name.
std::optional<FileStatus> linkStatus(const std::string& path);

// Whether the folder a path leads to (links followed) is `folder` or lies
// somewhere below it; false when the path leads to no folder.
bool folderLiesWithin(const std::string& path, const FileId& folder);

// The name an entry is known by: its last name, with "." and ".." resolved to
// the real folder's name; empty for the root.
std::string entryName(const std::string& path);

// Creates one folder level; its parent must exist.
void createFolder(const std::string& path);

// Like the system calls they stand for, these report failure by their result
// instead of throwing.
std::optional<SavedAttributes> saveAttributes(const std::string& path);
bool restoreAttributes(const std::string& path, const SavedAttributes& saved);
bool setAttributesNormal(const std::string& path);   // the owner may write again
bool setAttributesReadOnly(const std::string& path); // nobody may write

// Whether a read-only mark the destination was asked to keep is there.
enum class MarkOutcome {
    Kept,
    Refused, // the system said no
    Dropped, // the system said yes, yet the file is not marked
};
// Marks a file read-only and checks that the mark is there. Where the plain
// mark is accepted and dropped, the file system's own read-only attribute is
// tried, so that other systems reading the disk see it.
MarkOutcome markReadOnly(const std::string& path);

// Sets a file's modification time to `seconds` and `nanos` past the epoch,
// its access time kept.
void setModificationTime(const std::string& path, std::int64_t seconds, std::int32_t nanos);

// Copies a regular file with its content, attributes and modification time.
// The copy is written to a temporary name in the destination folder and
// renamed into place only when complete; a failure leaves the old copy as it
// was and nothing of the new one behind. Where no temporary can be made or
// filled (a folder that refuses new files, room for one version only), an
// old copy is overwritten in place, and only when the volume has room for the
// new version. Attributes the destination refuses are left as they come. A
// source that keeps changing while it is read leaves a copy whose time
// differs from the source's, so a later run copies it again. Stale copy
// temporaries of killed runs in the destination folder are removed.
void copyFile(const std::string& from, const std::string& to);

// Makes `to` a symbolic link with the same target text as the link `from`,
// replacing whatever non-folder entry is there.
void copyLink(const std::string& from, const std::string& to);
std::string readLink(const std::string& path);

// An open regular file whose modification time can be set.
class OpenFile {
  public:
    // Nothing when the file cannot be opened for reading and writing.
    static std::optional<OpenFile> openExisting(const std::string& path);

    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    // Sets the last-write time only; 0 on success, else the platform's
    // failure number (its invalid-argument number for fields that form no
    // real date-time).
    int setModificationTime(const LocalDateTime& when);

  private:
    struct Handle;
    explicit OpenFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

// One folder's entries in the order the system gives them. Folders carry
// their identity; sockets, pipes and devices are left out.
struct FolderEntry {
    std::string name;
    FileKind kind = FileKind::File;
    FileId id; // folders only
};
std::vector<FolderEntry> listFolder(const std::string& path);

// Every name in a folder, whatever it is, in the order the system gives them.
std::vector<std::string> listFolderNames(const std::string& path);

// Renames `from` over `to` in one step, replacing any file there.
void renameReplacing(const std::string& from, const std::string& to);

// Makes a folder's entries durable, so a rename into it survives a crash;
// false when the system could not.
bool syncFolder(const std::string& folder);

// Removes one file or link; false when it could not (a missing one is gone).
bool removeFile(const std::string& path) noexcept;

// What a folder copy tells its caller on the way.
struct FolderCopyEvents {
    // Before each file and link; may end the copy by throwing.
    std::function<void()> beforeFile;
    // After each file and link copied.
    std::function<void()> copied;
    // A file, link or folder below the top that could not be copied; the copy
    // goes on with the rest. Without it, the first such failure throws.
    std::function<void(FileKind kind, const std::string& from, const std::string& to,
                       const Failure& failure)>
        failed;
    // Each folder's entries before any is copied; it may take some out, and
    // then answers for them itself.
    std::function<void(const std::string& from, const std::string& to,
                       std::vector<FolderEntry>& entries)>
        sortOut;
};

// Copies a folder with everything in it to `to`, which it creates when
// missing; existing copies are overwritten. Links are copied as links and
// never followed, sockets, pipes and devices are skipped, and neither the
// folders named in `excluded` (when they exist), nor `to` itself, nor a folder
// met again below itself is entered.
void copyFolder(const std::string& from, const std::string& to,
                const std::vector<std::string>& excluded = {}, const FolderCopyEvents& events = {});

// Removes a file, a link or a folder with everything in it, read-only entries
// included. A link is removed, never followed. A missing path is no failure.
void removeTree(const std::string& path);

} // namespace tolvane::platform
