#pragma once

#include <dirent.h>
#include <string>

namespace tolvane::platform {

// An open folder read one entry at a time, so no caller has to hold more than
// one folder's names. "." and ".." are never returned.
class FolderReader {
  public:
    // Throws Failure when the folder cannot be opened.
    explicit FolderReader(const std::string& path);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // The next entry, or nullptr at the end; throws Failure on a read error.
    const dirent* next();
    int fd() const;

  private:
    std::string path_;
    DIR* dir_ = nullptr;
};

} // namespace tolvane::platform
