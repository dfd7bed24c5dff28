#pragma once

#include "lha/member_packer.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tolvane::lha {

// Compresses files on worker threads while the archive is written in order.
//
// Memory stays bounded whatever the folder holds: only files planned at most
// kInMemoryLimit bytes come here (larger ones the writer streams through its
// own encoder straight into the archive), and a file that grows past the
// limit while read comes back as TooLarge. Workers claim a file ahead of the
// one the writer waits for only while the files claimed and not yet taken
// were planned at most kAheadBytes in all and number fewer than kAheadFiles.
// A packed stream is no larger than its file (else the file is stored), so
// at most kAheadBytes plus one kInMemoryLimit per thread (a file that grew)
// of packed data wait in memory, besides each thread's encoder. Bytes rather
// than a count of files bound it, so one large file does not hold the
// workers up while many small ones are ready to go.
//
// Every file is packed by the same code whatever the thread count, so the
// archive comes out byte for byte the same.
class MemberPipeline {
  public:
    static constexpr std::uint64_t kInMemoryLimit = std::uint64_t{4} << 20;
    static constexpr std::uint64_t kAheadBytes = std::uint64_t{16} << 20;
    static constexpr std::size_t kAheadFiles = 256;

    struct File {
        std::string path;
        std::uint64_t plannedSize = 0;
    };

    // With threads <= 1 nothing runs in the background: take() packs the
    // file itself.
    MemberPipeline(std::vector<File> files, unsigned threads, const std::atomic<bool>* cancel);
    ~MemberPipeline();
    MemberPipeline(const MemberPipeline&) = delete;
    MemberPipeline& operator=(const MemberPipeline&) = delete;

    // The result for files[index]; called for 0, 1, 2, ... in turn.
    PackedMember take(std::size_t index);

  private:
    void work();
    void stop() noexcept;
    bool mayClaim() const;

    std::vector<File> files_;
    const std::atomic<bool>* cancel_;
    std::unique_ptr<MemberPacker> inline_; // when there are no workers
    std::vector<std::optional<PackedMember>> results_;
    std::size_t nextToClaim_ = 0;
    std::size_t taken_ = 0;
    std::uint64_t bytesAhead_ = 0; // planned sizes of files claimed, not taken
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable ready_;    // a result is in
    std::condition_variable progress_; // a result was taken, or stopping
    std::vector<std::thread> workers_;
};

// Threads to use for a requested count (0: one per core).
unsigned packingThreads(unsigned requested);

} // namespace tolvane::lha
