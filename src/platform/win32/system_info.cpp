#include "platform/system_info.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

#include <cstdlib>
#include <windows.h>

namespace tolvane::platform {

namespace {

// A string value under HKEY_LOCAL_MACHINE, or nothing.
std::optional<std::string> machineValue(const wchar_t* key, const wchar_t* name) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, value.data(),
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return narrow(value);
}

} // namespace

const std::vector<std::string>& systemInfoCandidates() {
    static const std::vector<std::string> candidates = {"msinfo32.exe"};
    return candidates;
}

std::string findOnSearchPath(const std::string& name, const std::string& searchPath) {
    if (name.empty() || name.find_first_of("\\/") != std::string::npos) {
        return {};
    }
    std::string::size_type start = 0;
    for (;;) {
        const auto end = searchPath.find(';', start);
        const std::string folder =
            searchPath.substr(start, end == std::string::npos ? end : end - start);
        const std::string candidate = joinPath(folder.empty() ? "." : folder, name);
        if (fileExists(candidate)) {
            return candidate;
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}

std::string findSystemInfoProgram() {
    // The program's own entry names it in full; it is started as named.
    if (auto path = machineValue(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH")) {
        return *path;
    }
    // The older entry names its folder only.
    if (auto folder = machineValue(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO")) {
        const std::string program = *folder + "\\MSINFO32.EXE";
        if (fileExists(program)) {
            return program;
        }
    }
    return {};
}

} // namespace tolvane::platform
