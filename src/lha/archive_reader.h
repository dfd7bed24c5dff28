#pragma once

#include "lha/header.h"
#include "lha/lh5_decoder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tolvane::lha {

// Walks an archive this library wrote (level-2 headers; -lh0-, -lh5-,
// -lhd- for folders and symbolic links). Every problem throws LhaError with
// kErrorVerifyFailed.
class ArchiveReader {
  public:
    explicit ArchiveReader(const std::filesystem::path& archive);

    // The next entry's header; false at the end byte, which must also be
    // the archive's last byte.
    bool next(EntryHeader& entry);

    // Decodes the current entry's data into the sink and returns the CRC of
    // what came out. Checks that the data uses exactly its compressed size.
    std::uint16_t readData(const ByteSink& sink);

  private:
    std::ifstream in_;
    EntryHeader current_;
    bool dataPending_ = false;
};

// Reads the archive back and checks it holds exactly `expected`, in order:
// the same headers (link targets included) and data whose length and CRC
// match the headers.
void verifyArchive(const std::filesystem::path& archive, const std::vector<EntryHeader>& expected);

} // namespace tolvane::lha
