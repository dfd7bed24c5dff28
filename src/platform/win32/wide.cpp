#include "platform/win32/wide.h"

#include "platform/win32/system_failure.h"

#include <algorithm>
#include <vector>
#include <windows.h>

namespace tolvane::platform {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf16.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

namespace {

bool isSlash(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The folder a path that names no drive of its own is read from: the current
// folder, or for "X:name" the current folder on that drive.
std::wstring currentFolderFor(const std::wstring& drive) {
    const std::wstring of = drive.empty() ? L"." : drive;
    const DWORD needed = ::GetFullPathNameW(of.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD length =
        needed == 0 ? 0 : ::GetFullPathNameW(of.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full;
}

// An absolute form of `wide`: a drive root ("X:\") or a share
// ("\\server\share\") and the rest.
std::wstring absoluteForm(const std::wstring& wide) {
    const bool drive = wide.size() >= 2 && wide[1] == L':';
    if (drive && wide.size() >= 3 && isSlash(wide[2])) {
        return wide;
    }
    if (wide.size() >= 2 && isSlash(wide[0]) && isSlash(wide[1])) {
        return wide;
    }
    if (drive) {
        return currentFolderFor(wide.substr(0, 2)) + L"\\" + wide.substr(2);
    }
    const std::wstring current = currentFolderFor({});
    if (!wide.empty() && isSlash(wide[0])) {
        // Rooted on the current folder's drive.
        return current.substr(0, current.size() >= 2 && current[1] == L':' ? 2 : 0) + wide;
    }
    return current + L"\\" + wide;
}

} // namespace

std::wstring systemPath(const std::string& path) {
    // The system reads a path up to its first NUL, so a text holding one
    // would name another entry than the one meant.
    if (path.find('\0') != std::string::npos) {
        throwFailure(ERROR_INVALID_NAME, path);
    }
    std::wstring wide = widen(path);
    if (wide.empty() || wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\")) {
        return wide;
    }
    // "." and ".." are resolved here, by the text, and nothing else is
    // changed: a name as a listing gave it (a trailing dot or blank, "aux",
    // "CON") reaches the file system as it is, which only the \\?\ form
    // allows. The system's own full-path rules would change such names.
    const std::wstring full = absoluteForm(wide);
    std::wstring prefix;
    std::size_t rest = 0;
    if (full.size() >= 2 && isSlash(full[0]) && isSlash(full[1])) {
        // \\server\share: both names belong to the root.
        std::size_t at = 2;
        for (int names = 0; names < 2 && at <= full.size(); ++names) {
            while (at < full.size() && !isSlash(full[at])) {
                ++at;
            }
            ++at;
        }
        rest = std::min(at, full.size());
        prefix = L"\\\\?\\UNC\\" + full.substr(2, rest - 2);
    } else {
        rest = std::min<std::size_t>(3, full.size());
        prefix = L"\\\\?\\" + full.substr(0, rest);
    }
    for (wchar_t& c : prefix) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (!prefix.empty() && prefix.back() != L'\\') {
        prefix += L'\\';
    }
    std::vector<std::wstring> names;
    std::size_t start = rest;
    while (start <= full.size()) {
        std::size_t end = start;
        while (end < full.size() && !isSlash(full[end])) {
            ++end;
        }
        const std::wstring name = full.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::wstring result = prefix;
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (index > 0) {
            result += L'\\';
        }
        result += names[index];
    }
    return result;
}

} // namespace tolvane::platform
