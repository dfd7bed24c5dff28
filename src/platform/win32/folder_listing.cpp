#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <functional>

namespace tolvane::platform {

namespace {

// Calls `visit` for every entry but "." and "..".
void forEachEntry(const std::string& path,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
    const std::wstring pattern = systemPath(joinPath(path, "*"));
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const unsigned long error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return; // an empty root has not even "."
        }
        throwFailure(error, path);
    }
    struct Closer {
        HANDLE search;
        ~Closer() { ::FindClose(search); }
    } closer{search};
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            visit(found);
        }
    } while (::FindNextFileW(search, &found));
    if (const unsigned long error = ::GetLastError(); error != ERROR_NO_MORE_FILES) {
        throwFailure(error, path);
    }
}

} // namespace

std::vector<FolderEntry> listFolder(const std::string& path) {
    std::vector<FolderEntry> entries;
    forEachEntry(path, [&](const WIN32_FIND_DATAW& found) {
        FolderEntry item;
        item.name = narrow(found.cFileName);
        item.kind = kindOf(found.dwFileAttributes, found.dwReserved0);
        if (item.kind == FileKind::Other) {
            return; // devices are not copied
        }
        if (item.kind == FileKind::Folder) {
            const auto id = fileIdOf(joinPath(path, item.name));
            if (!id) {
                return; // gone since the folder was read
            }
            item.id = *id;
        }
        entries.push_back(std::move(item));
    });
    return entries;
}

std::vector<std::string> listFolderNames(const std::string& path) {
    std::vector<std::string> names;
    forEachEntry(path,
                 [&](const WIN32_FIND_DATAW& found) { names.push_back(narrow(found.cFileName)); });
    return names;
}

} // namespace tolvane::platform
