#pragma once

#include "platform/file_io.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tolvane::lha {

// A new file under a temporary name beside the archive it is to become,
// written through a large buffer, with the few seeks the archive writer needs
// (headers are completed after their data). Failures throw LhaError with
// kErrorCannotWriteArchive and the system's failure.
class OutputFile {
  public:
    explicit OutputFile(const std::string& archive);

    const std::string& path() const { return path_; }
    void write(const std::uint8_t* data, std::size_t size);
    // Overwrites earlier bytes; the write position stays where it was.
    void patch(std::uint64_t at, const std::uint8_t* data, std::size_t size);
    // Moves the write position back; later writes replace what was there.
    void rewind(std::uint64_t to);
    std::uint64_t position() const { return position_; }
    // Flushes and cuts the file at the write position, then pushes it to
    // the disk and closes it on a thread of its own, so that the file can be
    // read back meanwhile. finishClose() waits for that and throws what it
    // met.
    void startClose();
    void finishClose();
    // Closes (if still open) and removes the file, reporting nothing.
    void discard() noexcept;

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

  private:
    void flush();
    void syncAndClose();
    void waitClosing() noexcept;
    template <typename Step> void attempt(const char* what, Step step);

    std::thread closing_;
    std::exception_ptr closeError_;
    std::optional<platform::NewFile> file_;
    std::string archive_;
    std::string path_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t position_ = 0;  // logical write position
    std::uint64_t flushedTo_ = 0; // file offset where buffer_ starts
};

} // namespace tolvane::lha
