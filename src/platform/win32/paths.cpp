#include "platform/paths.h"

#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <cwctype>
#include <windows.h>

namespace tolvane::platform {

namespace {

constexpr char kSeparator = '\\';

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool startsWithDrive(const std::string& path) {
    return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':';
}

// "\\server\share", or nothing when the path is no share path.
std::size_t shareLength(const std::string& path) {
    if (path.size() < 3 || !isSeparator(path[0]) || !isSeparator(path[1]) || isSeparator(path[2])) {
        return 0;
    }
    const std::size_t serverEnd = nextSeparator(path, 2);
    if (serverEnd == std::string::npos || serverEnd + 1 >= path.size()) {
        return 0;
    }
    const std::size_t shareEnd = nextSeparator(path, serverEnd + 1);
    return shareEnd == std::string::npos ? path.size() : shareEnd;
}

} // namespace

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string rootOf(const std::string& path) {
    if (startsWithDrive(path)) {
        // "C:" alone or "C:name" is relative to the drive's current folder.
        return path.size() >= 3 && isSeparator(path[2]) ? path.substr(0, 3) : std::string();
    }
    if (const std::size_t share = shareLength(path)) {
        return path.substr(0, share < path.size() ? share + 1 : share);
    }
    return !path.empty() && isSeparator(path[0]) ? path.substr(0, 1) : std::string();
}

std::string driveOf(const std::string& path) {
    if (startsWithDrive(path)) {
        return path.substr(0, 2);
    }
    if (const std::size_t share = shareLength(path)) {
        return path.substr(0, share);
    }
    return path.substr(0, nextSeparator(path));
}

bool driveExists(const std::string& drive) {
    if (drive.size() == 2 && startsWithDrive(drive)) {
        const std::wstring root = widen(drive) + L"\\";
        return ::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR;
    }
    if (shareLength(drive) == drive.size() && !drive.empty()) {
        const DWORD attributes = ::GetFileAttributesW(widen(drive + "\\").c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    return false;
}

bool samePath(const std::string& a, const std::string& b) {
    // Windows compares names without regard to case, and either slash
    // separates.
    auto canonical = [](const std::string& path) {
        std::wstring wide = widen(path);
        for (wchar_t& c : wide) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        return wide;
    };
    const std::wstring left = canonical(a);
    const std::wstring right = canonical(b);
    return ::CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && isSeparator(folder.back())) {
        return folder + name;
    }
    return folder + kSeparator + name;
}

std::string absolutePath(const std::string& path) {
    const std::wstring wide = widen(path.empty() ? std::string(".") : path);
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        throwLastFailure(path);
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        throwLastFailure(path);
    }
    full.resize(length);
    return removeTrailingSeparators(narrow(full));
}

std::string readTypedPath(const std::string& path) {
    // The long forms name entries exactly; only the prefix goes.
    if (path.starts_with("\\\\?\\UNC\\")) {
        return "\\\\" + path.substr(8);
    }
    if (path.starts_with("\\\\?\\")) {
        return path.substr(4);
    }
    std::string read;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(nextSeparator(path, start), path.size());
        std::string name = path.substr(start, end - start);
        if (name != "." && name != "..") {
            while (!name.empty() && (name.back() == ' ' || name.back() == '.')) {
                name.pop_back();
            }
        }
        read += name;
        if (end == path.size()) {
            break;
        }
        read += kSeparator;
        start = end + 1;
    }
    return read;
}

} // namespace tolvane::platform
