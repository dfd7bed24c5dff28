#pragma once

// The FAT stand-in (fat_times_fs.py, a FUSE pass-through over a folder)
// mounted for one test: no FAT driver here keeps set times, and this one
// keeps them as FAT does. Needs the superuser, /dev/fuse and python3-fusepy;
// where one is missing, reason() says why and the test skips.

#include "support/files.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace tolvane::testing {

class FatTimesDisk {
  public:
    // `times`: "up", "down", "whole" or "none"; `options`: more of the
    // stand-in's flags, such as "--subtype vfat --max-file-size 4294967295".
    FatTimesDisk(const std::filesystem::path& folder, const std::string& times,
                 const std::string& options = {})
        : backing_(folder / ("fat-" + times + "-backing")), root_(folder / ("fat-" + times)) {
        if (::geteuid() != 0) {
            reason_ = "mounting the FAT stand-in needs the superuser";
            return;
        }
        if (!std::filesystem::exists("/dev/fuse")) {
            reason_ = "no /dev/fuse";
            return;
        }
        const CommandResult fusepy = runCommand("/usr/bin/python3 -c 'import fusepy'");
        if (fusepy.status != 0) {
            reason_ = "python3-fusepy is missing: " + fusepy.output;
            return;
        }
        std::filesystem::create_directories(backing_);
        std::filesystem::create_directories(root_);
        const std::string log = (folder / ("fat-" + times + ".log")).string();
        runCommand("setsid /usr/bin/python3 " TOLVANE_TEST_SUPPORT "/fat_times_fs.py " +
                   shellQuoted(backing_.string()) + " " + shellQuoted(root_.string()) +
                   " --times " + times + " " + options + " > " + shellQuoted(log) +
                   " 2>&1 < /dev/null &");
        for (int wait = 0; wait < 200 && !mounted(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        mounted_ = mounted();
        if (!mounted_) {
            reason_ = "the FAT stand-in did not mount: " + readFile(log);
        }
    }
    ~FatTimesDisk() {
        if (!mounted_) {
            return;
        }
        for (int attempt = 0; attempt < 100 && mounted(); ++attempt) {
            runCommand("fusermount -u " + shellQuoted(root_.string()));
            if (mounted()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    }
    FatTimesDisk(const FatTimesDisk&) = delete;
    FatTimesDisk& operator=(const FatTimesDisk&) = delete;

    bool available() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    // The mounted root, and the folder behind it.
    const std::filesystem::path& path() const { return root_; }
    const std::filesystem::path& backing() const { return backing_; }

  private:
    bool mounted() const {
        std::ifstream table("/proc/self/mountinfo");
        const std::string wanted = " " + root_.string() + " ";
        std::string line;
        while (std::getline(table, line)) {
            if (line.find(wanted) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::filesystem::path backing_;
    std::filesystem::path root_;
    std::string reason_;
    bool mounted_ = false;
};

} // namespace tolvane::testing
