#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tolvane::platform {

// A file opened for reading from its start. Failures throw Failure.
class InputFile {
  public:
    explicit InputFile(const std::string& path);
    // Nothing when no file is there (the path or one of its folders is
    // missing).
    static std::optional<InputFile> openIfPresent(const std::string& path);

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    ~InputFile();

    // Up to `size` bytes; 0 only at the end.
    std::size_t read(void* buffer, std::size_t size);
    // Reading goes on at `offset` bytes from the start; past the end, read()
    // gives 0.
    void seek(std::uint64_t offset);

  private:
    struct Handle;
    InputFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
    std::string path_;
};

// A file this program creates and writes by position. Failures throw Failure.
class NewFile {
  public:
    // Fails when anything already has the name: a file someone else just
    // made is never taken over.
    explicit NewFile(const std::string& path);
    // A new file under a fresh temporary name in the folder of `target`.
    static NewFile temporaryBeside(const std::string& target);
    NewFile(NewFile&& other) noexcept;
    NewFile& operator=(NewFile&& other) noexcept;
    ~NewFile();

    const std::string& path() const { return path_; }

    void writeAt(std::uint64_t offset, const void* data, std::size_t size);
    // Cuts or extends the file to `size` bytes.
    void resize(std::uint64_t size);
    // Pushes what was written to the disk.
    void sync();
    // Closes it, reporting a late write error.
    void close();

  private:
    struct Handle;
    NewFile(std::unique_ptr<Handle> handle, std::string path);
    std::unique_ptr<Handle> handle_;
    std::string path_;
};

} // namespace tolvane::platform
