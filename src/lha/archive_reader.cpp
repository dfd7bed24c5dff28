#include "lha/archive_reader.h"

#include "lha/crc16.h"
#include "lha/errors.h"
#include "platform/failure.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace tolvane::lha {

namespace {

[[noreturn]] void mismatch(const std::string& what) {
    throw LhaError(kErrorVerifyFailed, "written archive does not match its source: " + what);
}

} // namespace

ArchiveReader::ArchiveReader(const std::string& archive) {
    try {
        in_.emplace(archive);
    } catch (const platform::Failure&) {
        throw LhaError(kErrorVerifyFailed, "cannot open the written archive again");
    }
}

std::size_t ArchiveReader::readUpTo(std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    try {
        while (done < size) {
            const std::size_t got = in_->read(buffer + done, size - done);
            if (got == 0) {
                break;
            }
            done += got;
        }
    } catch (const platform::Failure&) {
        mismatch("the written archive cannot be read again");
    }
    position_ += done;
    return done;
}

void ArchiveReader::startAt(std::uint64_t offset) {
    try {
        in_->seek(offset);
    } catch (const platform::Failure&) {
        mismatch("the written archive cannot be read again");
    }
    position_ = offset;
    dataPending_ = false;
}

bool ArchiveReader::next(EntryHeader& entry) {
    if (dataPending_) {
        startAt(position_ + current_.compressedSize);
    }
    std::uint8_t first[2] = {};
    if (readUpTo(first, 1) != 1) {
        mismatch("archive ends without its end byte");
    }
    if (first[0] == 0) {
        std::uint8_t after = 0;
        if (readUpTo(&after, 1) != 0) {
            mismatch("bytes after the end of the archive");
        }
        return false;
    }
    readUpTo(first + 1, 1);
    const std::size_t size = headerSizeField(first);
    if (size < kHeaderFixedSize || size > kMaxHeaderSize) {
        mismatch("header length");
    }
    std::vector<std::uint8_t> bytes(size);
    bytes[0] = first[0];
    bytes[1] = first[1];
    if (readUpTo(bytes.data() + 2, size - 2) != size - 2) {
        mismatch("archive cut inside a header");
    }
    current_ = decodeHeader(bytes);
    dataPending_ = true;
    entry = current_;
    return true;
}

std::uint16_t ArchiveReader::readData(const ByteSink& sink) {
    dataPending_ = false;
    Crc16 crc;
    auto out = [&](const std::uint8_t* data, std::size_t size) {
        crc.update(data, size);
        sink(data, size);
    };
    std::uint64_t left = current_.compressedSize;
    auto source = [&](std::uint8_t* buffer, std::size_t size) -> std::size_t {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
        const std::size_t got = readUpTo(buffer, want);
        left -= got;
        return got;
    };
    switch (current_.method) {
    case Method::Directory:
    case Method::Link:
        if (current_.compressedSize != 0 || current_.originalSize != 0 || current_.crc != 0) {
            mismatch("folder or link entry with data: " + current_.path());
        }
        break;
    case Method::Stored: {
        if (current_.compressedSize != current_.originalSize) {
            mismatch("stored entry sizes differ");
        }
        std::vector<std::uint8_t> buffer(1 << 16);
        while (left > 0) {
            const std::size_t got = source(buffer.data(), buffer.size());
            if (got == 0) {
                mismatch("archive cut inside stored data");
            }
            out(buffer.data(), got);
        }
        break;
    }
    case Method::Lh5: {
        BitReader bits(source);
        decodeLh5(bits, current_.originalSize, out);
        // Exactly the compressed bytes: the last one may only be partly used.
        if (left != 0 || bits.bytesTaken() != current_.compressedSize ||
            (bits.bitsUsed() + 7) / 8 != current_.compressedSize) {
            mismatch("compressed size of " + current_.path());
        }
        break;
    }
    }
    return crc.value();
}

namespace {

// Checks expected[first, last), starting at `offset`: the entries before
// are left to their own run, and the run that ends the list also checks
// the end.
void verifyRun(const std::string& archive, const std::vector<EntryHeader>& expected,
               std::size_t first, std::size_t last, std::uint64_t offset,
               const VerifyObserver& onData, const std::atomic<bool>& stop) {
    ArchiveReader reader(archive);
    if (offset != 0) {
        reader.startAt(offset);
    }
    EntryHeader got;
    for (std::size_t i = first; i < last; ++i) {
        if (stop.load(std::memory_order_relaxed)) {
            return; // another run failed: its error is the one reported
        }
        const EntryHeader& want = expected[i];
        if (!reader.next(got)) {
            mismatch("fewer entries than written");
        }
        if (got.path() != want.path() || got.method != want.method ||
            got.compressedSize != want.compressedSize || got.originalSize != want.originalSize ||
            got.crc != want.crc || got.mtime != want.mtime || got.mode != want.mode) {
            mismatch("header of " + want.path());
        }
        // The target as the link gave it when the tree was listed.
        if (got.linkTarget != want.linkTarget) {
            mismatch("target of the link " + want.path());
        }
        std::uint64_t size = 0;
        if (onData) {
            onData(want, 0);
        }
        const std::uint16_t crc = reader.readData([&](const std::uint8_t*, std::size_t n) {
            size += n;
            if (onData) {
                onData(want, n);
            }
        });
        if (size != want.originalSize || crc != want.crc) {
            mismatch("data of " + want.path());
        }
    }
    if (last == expected.size() && reader.next(got)) {
        mismatch("more entries than written");
    }
}

} // namespace

void verifyArchive(const std::string& archive, const std::vector<EntryHeader>& expected,
                   const VerifyObserver& onData, unsigned threads) {
    // Runs of about equal work: the data to decode, and a little per entry.
    std::uint64_t total = 0;
    for (const EntryHeader& e : expected) {
        total += e.originalSize + 1024;
    }
    const std::size_t runs =
        std::max<std::size_t>(1, std::min<std::size_t>(threads, expected.size()));
    std::vector<std::size_t> bounds{0};
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < expected.size() && bounds.size() < runs; ++i) {
        sum += expected[i].originalSize + 1024;
        if (sum * runs >= total * bounds.size()) {
            bounds.push_back(i + 1);
        }
    }
    bounds.push_back(expected.size());
    // Where each run starts, as the writer lays the entries out. An entry
    // laid out otherwise puts the next run off its headers, and that fails.
    std::vector<std::uint64_t> offsets{0};
    std::uint64_t at = 0;
    for (std::size_t i = 0, k = 1; k + 1 < bounds.size(); ++i) {
        at += encodeHeader(expected[i]).size() + expected[i].compressedSize;
        if (i + 1 == bounds[k]) {
            offsets.push_back(at);
            ++k;
        }
    }

    std::atomic<bool> stop{false};
    const std::size_t count = bounds.size() - 1;
    std::vector<std::exception_ptr> errors(count);
    const auto run = [&](std::size_t k) {
        try {
            verifyRun(archive, expected, bounds[k], bounds[k + 1], offsets[k], onData, stop);
        } catch (...) {
            errors[k] = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t k = 1; k < count; ++k) {
        try {
            helpers.emplace_back(run, k);
        } catch (const std::system_error&) {
            run(k); // no thread to be had: check the run here
        }
    }
    run(0);
    for (std::thread& t : helpers) {
        t.join();
    }
    for (const std::exception_ptr& e : errors) {
        if (e) {
            std::rethrow_exception(e);
        }
    }
}

} // namespace tolvane::lha
