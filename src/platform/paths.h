#pragma once

#include <string>

namespace tolvane::platform {

// The path rules of this platform, kept in one place. On POSIX the separator
// is "/", the root "/" is the one drive, and a path that does not start with
// "/" has as its drive the text before its first "/", which is no drive.

inline constexpr char separator = '/';

// folder + "/" + name, without doubling a separator the folder already ends in
// (so the root stays "/").
std::string joinPath(const std::string& folder, const std::string& name);

bool isRoot(const std::string& path);

// "/" for an absolute path, else the text before the first separator (the
// whole text when there is none).
std::string driveOf(const std::string& path);
bool driveExists(const std::string& drive);

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

} // namespace tolvane::platform
