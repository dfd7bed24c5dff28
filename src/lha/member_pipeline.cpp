#include "lha/member_pipeline.h"

#include <algorithm>

namespace tolvane::lha {

unsigned packingThreads(unsigned requested) {
    if (requested != 0) {
        return requested;
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

MemberPipeline::MemberPipeline(std::vector<File> files, unsigned threads,
                               const std::atomic<bool>* cancel)
    : files_(std::move(files)), cancel_(cancel), results_(files_.size()) {
    if (threads <= 1 || files_.size() <= 1) {
        inline_ = std::make_unique<MemberPacker>(cancel_);
        return;
    }
    const auto count = std::min<std::size_t>(threads, files_.size());
    workers_.reserve(count);
    try {
        for (std::size_t i = 0; i < count; ++i) {
            workers_.emplace_back([this] { work(); });
        }
    } catch (...) {
        stop();
        throw;
    }
}

MemberPipeline::~MemberPipeline() {
    stop();
}

void MemberPipeline::stop() noexcept {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    progress_.notify_all();
    for (std::thread& t : workers_) {
        if (t.joinable()) {
            t.join();
        }
    }
    workers_.clear();
}

bool MemberPipeline::mayClaim() const {
    if (nextToClaim_ >= files_.size()) {
        return false;
    }
    // The file the writer waits for always goes.
    return nextToClaim_ == taken_ ||
           (nextToClaim_ < taken_ + kAheadFiles &&
            bytesAhead_ + files_[nextToClaim_].plannedSize <= kAheadBytes);
}

void MemberPipeline::work() {
    MemberPacker packer(cancel_);
    std::unique_lock lock(mutex_);
    for (;;) {
        progress_.wait(lock, [this] { return stopping_ || mayClaim(); });
        if (stopping_) {
            return;
        }
        const std::size_t index = nextToClaim_++;
        bytesAhead_ += files_[index].plannedSize;
        lock.unlock();
        PackedMember member = packInMemory(packer, files_[index].path, kInMemoryLimit);
        lock.lock();
        results_[index] = std::move(member);
        ready_.notify_all();
    }
}

PackedMember MemberPipeline::take(std::size_t index) {
    if (inline_) {
        return packInMemory(*inline_, files_[index].path, kInMemoryLimit);
    }
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return results_[index].has_value(); });
    PackedMember member = std::move(*results_[index]);
    results_[index].reset();
    taken_ = index + 1;
    bytesAhead_ -= files_[index].plannedSize;
    lock.unlock();
    progress_.notify_all();
    return member;
}

} // namespace tolvane::lha
