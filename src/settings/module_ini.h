#pragma once

#include <string>

namespace tolvane::settings {

// The application title: section of the common INI file and its file name.
inline constexpr const char* kApplicationTitle = "Tolvane";

// One current INI file that every read and write goes to, plus the common-file
// convention (section "COMMON", key "CommonIniFileName"). Shows no message.
class ModuleINI {
  public:
    // The folder of the executable, where the common INI file lives.
    explicit ModuleINI(std::string applicationFolder);

    // Selects the file for the reads and writes that follow.
    bool setIniFileName(const std::string& path);

    // The key's value, at most 255 characters; empty when the key, section or
    // file is missing, or the file cannot be read.
    std::string readIniValue(const std::string& section, const std::string& key);

    // Writes one key (file and section created as needed). False when the
    // write was refused: a read-only file, a missing folder, a value the file
    // cannot hold.
    bool writeIniValue(const std::string& section, const std::string& key,
                       const std::string& value);

    // Selects "<folder>/Tolvane.ini", reads its version and returns the common
    // INI file it names (itself when it names none). On a failure, the last
    // result as it stands.
    std::string getCommonIniFileName();

    const std::string& iniFileName() const { return iniFileName_; }
    const std::string& commonIniFileName() const { return commonIniFileName_; }
    // The whole 100-character buffer "Version" was read into: the value, then
    // NULs.
    const std::string& iniVersion() const { return iniVersion_; }

  private:
    std::string applicationFolder_;
    std::string iniFileName_;
    std::string commonIniFileName_;
    std::string iniVersion_;
};

} // namespace tolvane::settings
