#include "platform/win32/wide.h"

#include "platform/win32/system_failure.h"

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

std::wstring systemPath(const std::string& path) {
    // The system reads a path up to its first NUL, so a text holding one
    // would name another entry than the one meant.
    if (path.find('\0') != std::string::npos) {
        throwFailure(ERROR_INVALID_NAME, path);
    }
    std::wstring wide = widen(path);
    if (wide.empty()) {
        return wide;
    }
    if (wide.starts_with(L"\\\\?\\")) {
        return wide;
    }
    // The system resolves "." and ".." and the current folder; the prefix then
    // lifts the old length limit, which the resolved form no longer needs.
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return wide;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return wide;
    }
    full.resize(length);
    if (full.starts_with(L"\\\\.\\")) {
        return full; // a device
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

} // namespace tolvane::platform
