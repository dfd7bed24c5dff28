#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace tolvane::lha {

enum class PackPhase : int { Listing, Writing, Verifying, Done };

// Shared between the packing thread and whoever watches it: the watcher
// polls the counters and names and may set `cancel` at any time. The packer
// looks at `cancel` between reads of at most a quarter MiB, so it stops
// within a moment; it then throws LhaError(kErrorCancelled) and leaves
// neither archive nor temporary file, and the source untouched.
struct PackProgress {
    std::atomic<bool> cancel{false};
    std::atomic<PackPhase> phase{PackPhase::Listing};
    // Writing: file bytes packed of all the files' bytes. Verifying: bytes
    // read back of the same total.
    std::atomic<std::uint64_t> bytesDone{0};
    std::atomic<std::uint64_t> bytesTotal{0};

    // The folder (or file) being packed and the file being written or
    // checked, as UTF-8 text.
    std::string folder() const {
        const std::lock_guard lock(mutex_);
        return folder_;
    }
    std::string currentFile() const {
        const std::lock_guard lock(mutex_);
        return currentFile_;
    }
    void setFolder(std::string text) {
        const std::lock_guard lock(mutex_);
        folder_ = std::move(text);
    }
    void setCurrentFile(std::string text) {
        const std::lock_guard lock(mutex_);
        currentFile_ = std::move(text);
    }

  private:
    mutable std::mutex mutex_;
    std::string folder_;
    std::string currentFile_;
};

struct PackOptions {
    // Threads that compress files; 0 means one per core.
    unsigned threads = 0;
    PackProgress* progress = nullptr;
};

} // namespace tolvane::lha
