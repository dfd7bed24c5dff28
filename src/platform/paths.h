#pragma once

#include <cstddef>
#include <string>

namespace tolvane::platform {

// The path rules of this platform, kept in one place. On POSIX "/" separates,
// the root "/" is the one drive, and a path that does not start with "/" has
// as its drive the text before its first "/", which is no drive.

bool isSeparator(char c);

// The position of the first separator at or after `from`, or npos.
std::size_t nextSeparator(const std::string& path, std::size_t from = 0);

// The root a path starts from ("/" here), or empty for a relative path.
std::string rootOf(const std::string& path);
bool isRoot(const std::string& path);

// The root of an absolute path, else the text before the first separator
// (the whole text when there is none).
std::string driveOf(const std::string& path);
bool driveExists(const std::string& drive);

// Whether two paths name the same place as the system compares names (byte
// for byte here).
bool samePath(const std::string& a, const std::string& b);

// folder + separator + name, without doubling a separator the folder already
// ends in (so the root stays as it is).
std::string joinPath(const std::string& folder, const std::string& name);

// The path from the current folder when relative, with "." and ".." steps and
// repeated or trailing separators resolved by the text alone (links are not
// looked at). Throws Failure when the current folder cannot be found.
std::string absolutePath(const std::string& path);

// A path the user typed or dropped, read as the system's own calls read
// such a text. On Windows "/" counts as "\", trailing blanks and dots of
// each name are dropped, and the \\?\ forms become ordinary paths whose
// names are kept exactly; elsewhere the text is the path. Names the program
// finds by listing a folder never pass here: they are used as listed.
std::string readTypedPath(const std::string& path);

// An empty destination is "not specified".
bool destinationNotSpecified(const std::string& destination);

// Drops one trailing separator, except from the root.
std::string trimOneTrailingSeparator(const std::string& path);

// Drops every trailing separator, except the root's own.
std::string removeTrailingSeparators(const std::string& path);

// The text after the last separator, trailing separators ignored; empty for
// the root.
std::string lastName(const std::string& path);

// The folder part of a path: "." when it has none, the root kept.
std::string folderOfPath(const std::string& path);

// A name with its letters in one case, as file systems that ignore case
// (FAT, exFAT, NTFS as Windows uses it) compare names; bytes that form no
// character stay as they are.
std::string caseFoldedName(const std::string& name);

} // namespace tolvane::platform
