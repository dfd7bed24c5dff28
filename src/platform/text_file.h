#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::platform {

// Whether anything (file, folder, link) stands at the path.
bool existsAt(const std::string& path);

// The most a settings or data file may hold: the longest list of the
// longest paths stays well below it, and anything larger is not one of ours.
inline constexpr std::size_t kMaxTextFileBytes = 16 * 1024 * 1024;

// A file's whole content. Throws Failure.
std::string readFileBytes(const std::string& path);

// Like readFileBytes, but nothing when no file is there (the path or one of
// its folders is missing). Both refuse what is no regular file (a folder, a
// pipe, a device) and a file larger than kMaxTextFileBytes, without waiting
// or reading on.
std::optional<std::string> readFileIfPresent(const std::string& path);

// Splits text at CR LF, LF or a lone CR. A last line without an end is still
// a line; an end at the very end adds no empty line.
std::vector<std::string> splitLines(std::string_view text);

// The lines of a text file, decoded as UTF-8 or, when that is not valid, as
// CP932. Throws Failure.
std::vector<std::string> readTextLines(const std::string& path);

// Creates the file empty when nothing is there; an existing file keeps its
// content. Throws Failure.
void createEmptyFile(const std::string& path);

// Adds bytes at the end of a file, creating it when nothing is there.
// Throws Failure.
void appendToFile(const std::string& path, std::string_view bytes);

// New content for a file, first written in full to a temporary file beside it
// (and flushed to the disk), then put in place by commit() in one rename. Until
// then the old file is untouched; a PendingFile dropped without commit()
// removes its temporary file. A link is followed, so the file it names gets the
// content. An existing file keeps its mode; one without any write permission
// is refused, as is a folder, a pipe or a device. Stale temporaries of earlier writers that were
// killed are removed from the folder first.
//
// Where no temporary file can be made or filled (a folder that takes no new
// entries, no room for two versions), an existing file is written in place:
// what lies beyond its old length is written first, so a full disk shows
// before any old byte changes, and the rest on commit(). Dropped without
// commit(), the file is cut back to its old length, as it was.
class PendingFile {
  public:
    // Throws Failure.
    PendingFile(const std::string& path, std::string_view content);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Throws Failure; the old file then stays as it was (in place, only a
    // failure of the disk itself can leave it part old, part new).
    void commit();

    const std::string& path() const { return target_; }

  private:
    struct InPlace;

    void writeTemporary(std::string_view content, std::optional<unsigned> mode);
    void prepareInPlace(std::string_view content);
    void commitInPlace();
    void discard() noexcept;
    // The system's own halves of discard() and commit().
    void abandonInPlace() noexcept;
    void settleReplaced() noexcept;

    std::string target_;
    std::string temporary_;
    std::unique_ptr<InPlace> inPlace_;
};

// PendingFile and commit in one step. Throws Failure.
void writeFileAtomically(const std::string& path, std::string_view content);

} // namespace tolvane::platform
