#pragma once

#include "lha/header.h"
#include "lha/lh5_decoder.h"
#include "platform/file_io.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::lha {

// Walks an archive this library wrote (level-2 headers; -lh0-, -lh5-,
// -lhd- for folders and symbolic links). Every problem throws LhaError with
// kErrorVerifyFailed.
class ArchiveReader {
  public:
    explicit ArchiveReader(const std::string& archive);

    // Goes on reading at `offset`, where an entry's header (or the end
    // byte) is to begin.
    void startAt(std::uint64_t offset);

    // The next entry's header; false at the end byte, which must also be
    // the archive's last byte. Data of the current entry not read is passed
    // over unread.
    bool next(EntryHeader& entry);

    // Decodes the current entry's data into the sink and returns the CRC of
    // what came out. Checks that the data uses exactly its compressed size.
    std::uint16_t readData(const ByteSink& sink);

  private:
    // Up to `size` bytes, fewer only at the end of the file.
    std::size_t readUpTo(std::uint8_t* buffer, std::size_t size);

    std::optional<platform::InputFile> in_;
    std::uint64_t position_ = 0; // of the next byte read
    EntryHeader current_;
    bool dataPending_ = false;
};

// Reads the archive back and checks it holds exactly `expected`, in order:
// the same headers (link targets included) and data whose length and CRC
// match the headers. `onData`, when given, is called with 0 as each entry
// starts and then with the size of each piece of its data read back; it may
// throw to stop the check.
//
// With threads > 1 the entries are shared out in runs of about equal data,
// each run checked by its own reader of the file on its own thread; onData
// is then called from all of them at once. Each run starts where the
// expected headers say its first entry lies, so no byte is read twice. The
// first failing run's error is the one thrown.
using VerifyObserver = std::function<void(const EntryHeader&, std::size_t)>;
void verifyArchive(const std::string& archive, const std::vector<EntryHeader>& expected,
                   const VerifyObserver& onData = {}, unsigned threads = 1);

} // namespace tolvane::lha
