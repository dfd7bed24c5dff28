#pragma once

// A real file system of a given kind, made in an image file and mounted on a
// loop device for one test, then unmounted and freed. Needs the superuser and
// the kind's tools; where either is missing, reason() says why and the test
// skips.

#include "support/files.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace tolvane::testing {

class MountedDisk {
  public:
    // `kind`: "exfat" (exfat-fuse), "ntfs" (ntfs-3g; `options` such as
    // "windows_names"), or any kind mkfs and mount know ("btrfs", "xfs").
    MountedDisk(const std::filesystem::path& folder, const std::string& kind, int megabytes,
                const std::string& options = {})
        : image_(folder / (kind + ".img")), root_(folder / (kind + "-disk")) {
        if (::geteuid() != 0) {
            reason_ = "mounting a " + kind + " disk needs the superuser";
            return;
        }
        std::filesystem::create_directories(root_);
        const std::string image = shellQuoted(image_.string());
        if (!step("truncate -s " + std::to_string(megabytes) + "M " + image)) {
            return;
        }
        const CommandResult loop = runCommand("losetup -f --show " + image);
        if (loop.status != 0) {
            reason_ = "no loop device: " + loop.output;
            return;
        }
        device_ = loop.output.substr(0, loop.output.find('\n'));
        const std::string device = shellQuoted(device_);
        const std::string mountPoint = shellQuoted(root_.string());
        const std::string with = options.empty() ? std::string() : " -o " + options;
        if (kind == "exfat") {
            mounted_ = step("mkfs.exfat " + device) &&
                       step("mount.exfat-fuse" + with + " " + device + " " + mountPoint);
        } else if (kind == "ntfs") {
            mounted_ = step("mkfs.ntfs -Q -F " + device) &&
                       step("ntfs-3g" + with + " " + device + " " + mountPoint);
        } else {
            mounted_ = step("mkfs." + kind + " -q " + device) &&
                       step("mount" + with + " " + device + " " + mountPoint);
        }
    }
    ~MountedDisk() {
        if (mounted_) {
            runCommand("umount " + shellQuoted(root_.string()));
        }
        if (!device_.empty()) {
            runCommand("losetup -d " + shellQuoted(device_));
        }
    }
    MountedDisk(const MountedDisk&) = delete;
    MountedDisk& operator=(const MountedDisk&) = delete;

    bool available() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    // The file system's root.
    const std::filesystem::path& path() const { return root_; }

  private:
    bool step(const std::string& command) {
        const CommandResult result = runCommand(command);
        if (result.status != 0) {
            reason_ = "`" + command + "` failed: " + result.output;
            return false;
        }
        return true;
    }

    std::filesystem::path image_;
    std::filesystem::path root_;
    std::string device_;
    std::string reason_;
    bool mounted_ = false;
};

} // namespace tolvane::testing
