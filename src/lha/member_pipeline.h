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
// own encoder straight into the archive), a file that grows past the limit
// while read comes back as TooLarge, and the workers run at most
// kAheadPerThread files per thread ahead of the one the writer waits for. So
// at most threads * kAheadPerThread * kInMemoryLimit bytes of packed data wait
// in memory (32 MiB on two cores), besides each thread's encoder.
//
// Every file is packed by the same code whatever the thread count, so the
// archive comes out byte for byte the same.
class MemberPipeline {
  public:
    static constexpr std::uint64_t kInMemoryLimit = std::uint64_t{4} << 20;
    static constexpr std::size_t kAheadPerThread = 4;

    // With threads <= 1 nothing runs in the background: take() packs the
    // file itself.
    MemberPipeline(std::vector<std::string> files, unsigned threads,
                   const std::atomic<bool>* cancel);
    ~MemberPipeline();
    MemberPipeline(const MemberPipeline&) = delete;
    MemberPipeline& operator=(const MemberPipeline&) = delete;

    // The result for files[index]; called for 0, 1, 2, ... in turn.
    PackedMember take(std::size_t index);

  private:
    void work();
    void stop() noexcept;

    std::vector<std::string> files_;
    const std::atomic<bool>* cancel_;
    std::unique_ptr<MemberPacker> inline_; // when there are no workers
    std::vector<std::optional<PackedMember>> results_;
    std::size_t nextToClaim_ = 0;
    std::size_t taken_ = 0;
    std::size_t ahead_ = 0;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable ready_;    // a result is in
    std::condition_variable progress_; // a result was taken, or stopping
    std::vector<std::thread> workers_;
};

// Threads to use for a requested count (0: one per core).
unsigned packingThreads(unsigned requested);

} // namespace tolvane::lha
