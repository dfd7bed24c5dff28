#include "settings/module_ini.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tolvane::settings {

namespace {

// Buffer sizes of the profile reads: at most size - 1 characters come back.
constexpr std::size_t kValueBuffer = ModuleINI::kValueCharacters + 1;
constexpr std::size_t kVersionBuffer = 100;

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        at += platform::utf8PrefixBytes(std::string_view(text).substr(at), 1);
    }
    return count;
}

} // namespace

ModuleINI::ModuleINI(std::string applicationFolder, ProfileReader reader)
    : applicationFolder_(std::move(applicationFolder)), reader_(std::move(reader)) {}

ModuleINI::ReadOnce::ReadOnce(ModuleINI& ini) : ini_(ini) {
    ++ini_.readOnceScopes_;
}

ModuleINI::ReadOnce::~ReadOnce() {
    if (--ini_.readOnceScopes_ == 0) {
        ini_.loaded_.clear();
    }
}

std::shared_ptr<const platform::PrivateProfile> ModuleINI::profileOf(const std::string& path) {
    const auto cached = std::find_if(loaded_.begin(), loaded_.end(), [&](const auto& profile) {
        return platform::samePath(profile->path(), path);
    });
    if (cached != loaded_.end()) {
        return *cached;
    }
    std::shared_ptr<const platform::PrivateProfile> profile;
    try {
        profile = std::make_shared<const platform::PrivateProfile>(reader_(path));
    } catch (const platform::Failure&) {
        // A file that is there but cannot be read has no keys to give.
        profile = std::make_shared<const platform::PrivateProfile>(path, "");
    }
    if (readOnceScopes_ > 0) {
        loaded_.push_back(profile);
    }
    return profile;
}

void ModuleINI::forget(const std::string& path) {
    std::erase_if(loaded_,
                  [&](const auto& profile) { return platform::samePath(profile->path(), path); });
}

bool ModuleINI::setIniFileName(const std::string& path) {
    try {
        iniFileName_ = path;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string ModuleINI::readIniValue(const std::string& section, const std::string& key) {
    return valueReadBack(*profileOf(iniFileName_), section, key);
}

std::string ModuleINI::valueReadBack(const platform::PrivateProfile& profile,
                                     const std::string& section, const std::string& key) {
    return platform::boundedProfileString(profile, section, key, "", kValueBuffer);
}

bool ModuleINI::writeIniValue(const std::string& section, const std::string& key,
                              const std::string& value) {
    // A refused write is reported, not passed off as done.
    try {
        forget(iniFileName_);
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

        // Both keys from one reading of the file.
        const auto profile = profileOf(iniFileName_);
        std::string version = platform::boundedProfileString(*profile, kApplicationTitle, "Version",
                                                             "1.0", kVersionBuffer);
        version.append(kVersionBuffer - characterCount(version), '\0');
        iniVersion_ = std::move(version);

        commonIniFileName_ = platform::boundedProfileString(*profile, "COMMON", "CommonIniFileName",
                                                            iniFileName_, kValueBuffer);
    } catch (const std::exception&) {
        // The last result stands.
    }
    return commonIniFileName_;
}

} // namespace tolvane::settings
