#pragma once

#include "platform/private_profile.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvane::settings {

// The application title: section of the common INI file and its file name.
inline constexpr const char* kApplicationTitle = "Tolvane";

// One current INI file that every read and write goes to, plus the common-file
// convention (section "COMMON", key "CommonIniFileName"). Shows no message.
class ModuleINI {
  public:
    // Loads a whole INI file for the reads; throws platform::Failure when it is
    // there but cannot be read.
    using ProfileReader = std::function<platform::PrivateProfile(const std::string& path)>;

    // The folder of the executable, where the common INI file lives.
    explicit ModuleINI(std::string applicationFolder,
                       ProfileReader reader = &platform::PrivateProfile::load);

    // While one is alive, each file is read and decoded once, at its first
    // read, and later reads take their keys from that; a write through the
    // module makes the next read load the file again. Outside of one, every
    // read reads the file as it is then.
    class ReadOnce {
      public:
        explicit ReadOnce(ModuleINI& ini);
        ~ReadOnce();
        ReadOnce(const ReadOnce&) = delete;
        ReadOnce& operator=(const ReadOnce&) = delete;

      private:
        ModuleINI& ini_;
    };

    // Selects the file for the reads and writes that follow.
    bool setIniFileName(const std::string& path);

    // The key's value, at most 255 characters; empty when the key, section or
    // file is missing, or the file cannot be read.
    std::string readIniValue(const std::string& section, const std::string& key);

    // The most characters a read gives of a value.
    static constexpr std::size_t kValueCharacters = 255;

    // What readIniValue would give for the key once the profile is written.
    static std::string valueReadBack(const platform::PrivateProfile& profile,
                                     const std::string& section, const std::string& key);

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
    // The file as the reads see it: an unreadable file is an empty profile.
    std::shared_ptr<const platform::PrivateProfile> profileOf(const std::string& path);
    void forget(const std::string& path);

    std::string applicationFolder_;
    ProfileReader reader_;
    std::string iniFileName_;
    std::string commonIniFileName_;
    std::string iniVersion_;
    int readOnceScopes_ = 0;
    std::vector<std::shared_ptr<const platform::PrivateProfile>> loaded_;
};

} // namespace tolvane::settings
