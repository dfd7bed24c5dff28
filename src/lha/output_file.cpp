#include "lha/output_file.h"

#include "lha/errors.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cstring>
#include <system_error>
#include <utility>

namespace tolvane::lha {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

} // namespace

// The failure names the archive, not its temporary name, which the user
// never sees; a file that cannot be made beside it names the folder.
template <typename Step> void OutputFile::attempt(const char* what, Step step) {
    try {
        step();
    } catch (const platform::Failure& failure) {
        const std::string about = file_ ? archive_ : platform::folderOfPath(archive_);
        throw LhaError(kErrorCannotWriteArchive, std::string("cannot ") + what + " " + path_, about,
                       failure);
    }
}

OutputFile::OutputFile(const std::string& archive) : archive_(archive), path_(archive) {
    attempt("create a file beside",
            [&] { file_.emplace(platform::NewFile::temporaryBeside(archive)); });
    path_ = file_->path();
    buffer_.reserve(kBufferSize);
}

void OutputFile::write(const std::uint8_t* data, std::size_t size) {
    if (buffer_.size() + size > kBufferSize) {
        flush();
    }
    if (size >= kBufferSize) {
        attempt("write", [&] { file_->writeAt(flushedTo_, data, size); });
        flushedTo_ += size;
    } else {
        buffer_.insert(buffer_.end(), data, data + size);
    }
    position_ += size;
}

void OutputFile::flush() {
    if (!buffer_.empty()) {
        attempt("write", [&] { file_->writeAt(flushedTo_, buffer_.data(), buffer_.size()); });
        flushedTo_ += buffer_.size();
        buffer_.clear();
    }
}

void OutputFile::patch(std::uint64_t at, const std::uint8_t* data, std::size_t size) {
    if (at >= flushedTo_) {
        // Still in the buffer.
        std::memcpy(buffer_.data() + (at - flushedTo_), data, size);
        return;
    }
    flush();
    attempt("write", [&] { file_->writeAt(at, data, size); });
}

void OutputFile::rewind(std::uint64_t to) {
    if (to >= flushedTo_) {
        buffer_.resize(static_cast<std::size_t>(to - flushedTo_));
    } else {
        flush();
        buffer_.clear();
        flushedTo_ = to;
    }
    position_ = to;
}

void OutputFile::syncAndClose() {
    // On the disk before the caller reports it safe: the source is deleted
    // right after.
    attempt("flush", [&] { file_->sync(); });
    attempt("close", [&] { file_->close(); });
}

void OutputFile::startClose() {
    flush();
    attempt("finish", [&] { file_->resize(position_); });
    const auto run = [this] {
        try {
            syncAndClose();
        } catch (...) {
            closeError_ = std::current_exception();
        }
    };
    try {
        closing_ = std::thread(run);
    } catch (const std::system_error&) {
        run(); // no thread to be had: wait for the disk here
    }
}

void OutputFile::finishClose() {
    waitClosing();
    if (closeError_) {
        std::rethrow_exception(std::exchange(closeError_, nullptr));
    }
}

void OutputFile::waitClosing() noexcept {
    if (closing_.joinable()) {
        closing_.join();
    }
}

void OutputFile::discard() noexcept {
    waitClosing();
    file_.reset();
    platform::removeFile(path_);
}

OutputFile::~OutputFile() {
    waitClosing();
}

} // namespace tolvane::lha
