#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tolvane::lha {

// A new file written through a large buffer, with the few seeks the archive
// writer needs (headers are completed after their data). Failures throw
// LhaError with kErrorCannotWriteArchive.
class OutputFile {
  public:
    // Creates the file; fails if something already has that name.
    explicit OutputFile(const std::filesystem::path& path);

    void write(const std::uint8_t* data, std::size_t size);
    // Overwrites earlier bytes; the write position stays where it was.
    void patch(std::uint64_t at, const std::uint8_t* data, std::size_t size);
    // Moves the write position back; later writes replace what was there.
    void rewind(std::uint64_t to);
    std::uint64_t position() const { return position_; }
    // Flushes, closes and cuts the file at the write position.
    void close();
    // Closes (if still open) and removes the file, reporting nothing.
    void discard() noexcept;

  private:
    void flush();

    std::filesystem::path path_;
    std::fstream file_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t position_ = 0;  // logical write position
    std::uint64_t flushedTo_ = 0; // file offset where buffer_ starts
};

} // namespace tolvane::lha
