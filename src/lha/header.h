#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolvane::lha {

// Link is stored with the directory method id and told apart by its mode.
enum class Method { Stored, Lh5, Directory, Link };

inline constexpr std::uint16_t kModeTypeMask = 0170000;
inline constexpr std::uint16_t kModeLink = 0120000;

// One archive entry as its level-2 header describes it.
struct EntryHeader {
    Method method = Method::Stored;
    std::uint32_t compressedSize = 0;
    std::uint32_t originalSize = 0;
    std::uint32_t mtime = 0;          // Unix seconds
    std::uint16_t crc = 0;            // of the original data
    std::vector<std::string> folders; // path components; a directory's full path
    std::string name;                 // base name, empty for a directory
    std::string linkTarget;           // a symbolic link's target text, as read
    std::uint16_t mode = 0;           // Unix st_mode
    bool hasOwner = false;
    std::uint16_t uid = 0;
    std::uint16_t gid = 0;

    // "a/b/c" for a file, "a/b/" for a directory.
    std::string path() const;
};

inline constexpr std::size_t kMaxHeaderSize = 4096;
inline constexpr std::size_t kHeaderFixedSize = 26; // up to the first extension size

// The header bytes, pad byte and header CRC included. Throws LhaError
// (kErrorBadName) for a name with the byte 0xFF, one that is not valid UTF-8
// or one too long to fit, and (kErrorLinkNotStorable) for a link whose path or
// target cannot be stored.
//
// A link is written the way Unix readers restore one: the text
// "name|target" takes the place of its base name and, like any path, is split
// at its last '/' between the folder and name extensions. Readers join the
// two and cut at the first '|'; a target's slashes kept in the name
// extension would come back as '_' from some of them.
std::vector<std::uint8_t> encodeHeader(const EntryHeader& entry);

// The whole header length from its first two bytes.
std::size_t headerSizeField(const std::uint8_t* firstTwo);

// Parses and checks (level, CRC, bounds) exactly one header's bytes. Throws
// LhaError (kErrorVerifyFailed) when anything is off.
EntryHeader decodeHeader(std::span<const std::uint8_t> bytes);

} // namespace tolvane::lha
