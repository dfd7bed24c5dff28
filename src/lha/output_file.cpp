#include "lha/output_file.h"

#include "lha/errors.h"

#include <cstdio>
#include <cstring>
#include <system_error>

namespace tolvane::lha {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

[[noreturn]] void failed(const std::filesystem::path& path, const char* what) {
    throw LhaError(kErrorCannotWriteArchive,
                   std::string("cannot ") + what + " " + path.generic_string());
}

} // namespace

OutputFile::OutputFile(const std::filesystem::path& path) : path_(path) {
    // "x": never take over a file someone else just made under this name.
    std::FILE* created = std::fopen(path.string().c_str(), "wbx");
    if (created == nullptr) {
        failed(path, "create");
    }
    std::fclose(created);
    file_.open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file_) {
        discard();
        failed(path, "open");
    }
    buffer_.reserve(kBufferSize);
}

void OutputFile::write(const std::uint8_t* data, std::size_t size) {
    if (buffer_.size() + size > kBufferSize) {
        flush();
    }
    if (size >= kBufferSize) {
        file_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file_) {
            failed(path_, "write");
        }
        flushedTo_ += size;
    } else {
        buffer_.insert(buffer_.end(), data, data + size);
    }
    position_ += size;
}

void OutputFile::flush() {
    if (!buffer_.empty()) {
        file_.write(reinterpret_cast<const char*>(buffer_.data()),
                    static_cast<std::streamsize>(buffer_.size()));
        if (!file_) {
            failed(path_, "write");
        }
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
    file_.seekp(static_cast<std::streamoff>(at));
    file_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    file_.seekp(static_cast<std::streamoff>(flushedTo_));
    if (!file_) {
        failed(path_, "write");
    }
}

void OutputFile::rewind(std::uint64_t to) {
    if (to >= flushedTo_) {
        buffer_.resize(static_cast<std::size_t>(to - flushedTo_));
    } else {
        flush();
        buffer_.clear();
        file_.seekp(static_cast<std::streamoff>(to));
        if (!file_) {
            failed(path_, "seek in");
        }
        flushedTo_ = to;
    }
    position_ = to;
}

void OutputFile::close() {
    flush();
    file_.close();
    if (!file_) {
        failed(path_, "close");
    }
    std::error_code ec;
    std::filesystem::resize_file(path_, position_, ec);
    if (ec) {
        failed(path_, "finish");
    }
}

void OutputFile::discard() noexcept {
    if (file_.is_open()) {
        file_.close();
    }
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

} // namespace tolvane::lha
