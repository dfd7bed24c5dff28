#include "settings/module_ini.h"

#include "platform/paths.h"
#include "platform/private_profile.h"
#include "platform/text_encoding.h"

#include <exception>
#include <utility>

namespace tolvane::settings {

namespace {

// Buffer sizes of the profile reads: at most size - 1 characters come back.
constexpr std::size_t kValueBuffer = 256;
constexpr std::size_t kVersionBuffer = 100;

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        at += platform::utf8PrefixBytes(std::string_view(text).substr(at), 1);
    }
    return count;
}

} // namespace

ModuleINI::ModuleINI(std::string applicationFolder)
    : applicationFolder_(std::move(applicationFolder)) {}

bool ModuleINI::setIniFileName(const std::string& path) {
    try {
        iniFileName_ = path;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string ModuleINI::readIniValue(const std::string& section, const std::string& key) {
    return platform::getPrivateProfileString(section, key, "", kValueBuffer, iniFileName_);
}

bool ModuleINI::writeIniValue(const std::string& section, const std::string& key,
                              const std::string& value) {
    // A refused write is reported, not passed off as done.
    try {
        platform::writePrivateProfileString(section, key, value, iniFileName_);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string ModuleINI::getCommonIniFileName() {
    try {
        iniFileName_ =
            platform::joinPath(applicationFolder_, std::string(kApplicationTitle) + ".ini");

        std::string version = platform::getPrivateProfileString(kApplicationTitle, "Version", "1.0",
                                                                kVersionBuffer, iniFileName_);
        version.append(kVersionBuffer - characterCount(version), '\0');
        iniVersion_ = std::move(version);

        commonIniFileName_ = platform::getPrivateProfileString(
            "COMMON", "CommonIniFileName", iniFileName_, kValueBuffer, iniFileName_);
    } catch (const std::exception&) {
        // The last result stands.
    }
    return commonIniFileName_;
}

} // namespace tolvane::settings
