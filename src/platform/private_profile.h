#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::platform {

// An INI file in memory: "[section]" header lines, "key=value" lines under
// them. Sections and keys are found by name regardless of ASCII letter case,
// blanks around names and values do not count, and the first of two equal
// names wins. Lines starting with ";" are comments. Whatever the reader does
// not understand (junk, a key before the first section, binary noise) is kept
// as it stands and written back unchanged. A header missing its "]" names the
// section with the rest of its line.
class PrivateProfile {
  public:
    // The file's content, each line read as UTF-8 or else CP932; a missing
    // file gives an empty profile. Throws Failure when a file is there but
    // cannot be read.
    static PrivateProfile load(const std::string& path);

    PrivateProfile(std::string path, std::string_view text);

    const std::string& path() const { return path_; }

    // The value (cut at a NUL, if it holds one), without one pair of
    // surrounding quotes ("..." or '...'); nothing when the section or key is
    // missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replaces the key's value where it stands, or adds the key at the end of
    // its section, or the section at the end of the file. Throws Failure
    // (invalid argument) for a name or value the file could not hold: a line
    // break or NUL anywhere, "]" in a section, "=" in a key, an empty key or
    // one that starts with ";" or "[" (it would read as a comment or header).
    void set(std::string_view section, std::string_view key, std::string_view value);

    // The file as it will be written: UTF-8, every line ending in CR LF.
    std::string text() const;

    // Writes text() to path() atomically. Throws Failure.
    void save() const;

  private:
    std::optional<std::size_t> findSection(std::string_view section) const;
    // Lines past the header up to the next header.
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;

    std::string path_;
    std::vector<std::string> lines_;
};

// The value of key in section of a loaded file, or defaultValue when the
// section or key is missing, cut to at most bufferSize - 1 characters (never
// inside a character).
std::string boundedProfileString(const PrivateProfile& profile, std::string_view section,
                                 std::string_view key, std::string_view defaultValue,
                                 std::size_t bufferSize);

// boundedProfileString of the file: a file that is there but cannot be read
// (no permission, a folder, a pipe) gives the default for every key. Never
// fails.
std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize,
                                    const std::string& path);

// Sets one key and writes the file atomically, creating the file and the
// section as needed. Throws Failure.
void writePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);

} // namespace tolvane::platform
