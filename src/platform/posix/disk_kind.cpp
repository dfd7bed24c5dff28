#include "platform/destination_disk.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace tolvane::platform {

namespace {

constexpr long kFatMagic = 0x4d44;                 // vfat and msdos
constexpr long kFuseMagic = 0x65735546;            // any FUSE driver
constexpr std::int64_t kFatLargest = 0xFFFFFFFFLL; // 4 GiB less one byte

// The type /proc/self/mountinfo gives the mount with this device number,
// such as "fuse.vfat" or "fuseblk"; empty when none is found.
std::string mountType(dev_t device) {
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    std::string found;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        const auto dash = line.find(" - ");
        if (numbers != wanted || dash == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(dash + 3));
        // The last mount of the device over a place is the one in use.
        rest >> found;
    }
    return found;
}

bool isFatName(std::string type) {
    for (const char* prefix : {"fuseblk.", "fuse."}) {
        if (type.rfind(prefix, 0) == 0) {
            type.erase(0, std::string(prefix).size());
            break;
        }
    }
    return type == "vfat" || type == "msdos" || type == "fat" || type == "fusefat";
}

} // namespace

std::optional<std::int64_t> largestFileIn(const std::string& folder) noexcept {
    try {
        struct statfs volume {};
        struct stat st {};
        if (::statfs(folder.c_str(), &volume) != 0 || ::stat(folder.c_str(), &st) != 0) {
            return std::nullopt;
        }
        if (volume.f_type == kFatMagic ||
            (volume.f_type == kFuseMagic && isFatName(mountType(st.st_dev)))) {
            return kFatLargest;
        }
    } catch (...) {
        // No table to read: no limit known.
    }
    return std::nullopt;
}

} // namespace tolvane::platform
