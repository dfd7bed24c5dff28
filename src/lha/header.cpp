#include "lha/header.h"

#include "lha/crc16.h"
#include "lha/errors.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <cstring>

namespace tolvane::lha {

namespace {

constexpr std::uint8_t kExtHeaderCrc = 0x00;
constexpr std::uint8_t kExtName = 0x01;
constexpr std::uint8_t kExtFolders = 0x02;
constexpr std::uint8_t kExtMode = 0x50;
constexpr std::uint8_t kExtOwner = 0x51;
constexpr std::uint8_t kExtWindowsTimes = 0x41;
// 100 ns steps from 1601 to 1970.
constexpr std::uint64_t kFileTimeOfEpoch = 116444736000000000;
constexpr std::uint8_t kFolderSeparator = 0xFF;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t get32(const std::uint8_t* p) {
    return get16(p) | (std::uint32_t{get16(p + 2)} << 16);
}

const char* methodId(Method method) {
    switch (method) {
    case Method::Stored:
        return "-lh0-";
    case Method::Lh5:
        return "-lh5-";
    case Method::Directory:
    case Method::Link:
        return "-lhd-";
    }
    return "-lh0-";
}

[[noreturn]] void badHeader(const std::string& what) {
    throw LhaError(kErrorVerifyFailed, "bad header in the written archive: " + what);
}

// Components of a '/'-separated text; empty ones are kept, so joining them
// again gives the text back.
std::vector<std::string> splitAtSlashes(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t slash; (slash = text.find('/', start)) != std::string::npos;
         start = slash + 1) {
        parts.push_back(text.substr(start, slash - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

// Readers take names as UTF-8, and some stop extracting at one that is not.
bool storable(const std::string& s) {
    return s.find(static_cast<char>(kFolderSeparator)) == std::string::npos &&
           platform::isValidUtf8(s);
}

void checkLink(const EntryHeader& entry) {
    auto unusable = [](const std::string& s) {
        return s.find('|') != std::string::npos || !storable(s);
    };
    if (entry.name.empty() || entry.linkTarget.empty() || unusable(entry.name) ||
        unusable(entry.linkTarget) ||
        std::any_of(entry.folders.begin(), entry.folders.end(), unusable)) {
        throw LhaError(kErrorLinkNotStorable,
                       "symbolic link cannot be archived ('|', the byte 0xFF or text that is "
                       "not UTF-8 in its path or target): " +
                           entry.path() + " -> " + entry.linkTarget);
    }
}

// Undoes the link layout of encodeHeader(): the joined path is
// "folders/name|target", cut at the first '|'.
void splitLink(EntryHeader& entry) {
    const std::string text = entry.path();
    const std::size_t bar = text.find('|');
    if (bar == std::string::npos || bar == 0 || text[bar - 1] == '/' || bar + 1 == text.size()) {
        badHeader("link without its name or target: " + text);
    }
    entry.linkTarget = text.substr(bar + 1);
    entry.folders = splitAtSlashes(text.substr(0, bar));
    entry.name = entry.folders.back();
    entry.folders.pop_back();
    entry.method = Method::Link;
}

} // namespace

std::string EntryHeader::path() const {
    std::string out;
    for (const std::string& f : folders) {
        out += f;
        out += '/';
    }
    return out + name;
}

std::vector<std::uint8_t> encodeHeader(const EntryHeader& entry) {
    std::vector<std::string> folders = entry.folders;
    std::string name = entry.name;
    std::uint16_t mode = entry.mode;
    if (entry.method == Method::Link) {
        checkLink(entry);
        std::vector<std::string> parts = splitAtSlashes(entry.name + '|' + entry.linkTarget);
        name = parts.back();
        folders.insert(folders.end(), parts.begin(), parts.end() - 1);
        // Readers tell a link from a folder by this mode alone.
        mode = static_cast<std::uint16_t>(kModeLink | (mode & ~kModeTypeMask));
    }
    if (!storable(name) || !std::all_of(folders.begin(), folders.end(), storable)) {
        throw LhaError(kErrorBadName,
                       "name holds the byte 0xFF or is not valid UTF-8: " + entry.path());
    }

    struct Ext {
        std::uint8_t type;
        std::vector<std::uint8_t> data;
    };
    std::vector<Ext> exts;
    exts.push_back({kExtHeaderCrc, {0, 0}});
    exts.push_back({kExtName, std::vector<std::uint8_t>(name.begin(), name.end())});
    if (!folders.empty()) {
        std::vector<std::uint8_t> data;
        for (const std::string& f : folders) {
            data.insert(data.end(), f.begin(), f.end());
            data.push_back(kFolderSeparator);
        }
        exts.push_back({kExtFolders, std::move(data)});
    }
    exts.push_back(
        {kExtMode, {static_cast<std::uint8_t>(mode), static_cast<std::uint8_t>(mode >> 8)}});
    if (entry.hasOwner) {
        std::vector<std::uint8_t> data;
        put16(data, entry.gid);
        put16(data, entry.uid);
        exts.push_back({kExtOwner, std::move(data)});
    }

    std::size_t total = kHeaderFixedSize;
    for (const Ext& e : exts) {
        total += e.data.size() + 3;
    }
    // A length ending in 0x00 would read as the end of the archive. A pad
    // byte after the chain makes 7-Zip read the entry's data one byte early,
    // so such a header gets the Windows times instead, all three the
    // modification time.
    if ((total & 0xFF) == 0) {
        const std::uint64_t time = kFileTimeOfEpoch + std::uint64_t{entry.mtime} * 10000000;
        std::vector<std::uint8_t> data;
        for (int i = 0; i < 3; ++i) {
            put32(data, static_cast<std::uint32_t>(time));
            put32(data, static_cast<std::uint32_t>(time >> 32));
        }
        total += data.size() + 3;
        exts.push_back({kExtWindowsTimes, std::move(data)});
    }
    if (total > kMaxHeaderSize) {
        throw LhaError(kErrorBadName, "path too long for an archive header: " + entry.path());
    }

    std::vector<std::uint8_t> out;
    out.reserve(total);
    put16(out, 0); // whole length, set below
    const char* id = methodId(entry.method);
    out.insert(out.end(), id, id + 5);
    put32(out, entry.compressedSize);
    put32(out, entry.originalSize);
    put32(out, entry.mtime);
    out.push_back(0x20);
    out.push_back(2); // level
    put16(out, entry.crc);
    out.push_back('U');
    put16(out, static_cast<std::uint32_t>(exts.front().data.size() + 3));
    std::size_t crcAt = 0;
    for (std::size_t i = 0; i < exts.size(); ++i) {
        out.push_back(exts[i].type);
        if (exts[i].type == kExtHeaderCrc) {
            crcAt = out.size();
        }
        out.insert(out.end(), exts[i].data.begin(), exts[i].data.end());
        put16(out,
              i + 1 < exts.size() ? static_cast<std::uint32_t>(exts[i + 1].data.size() + 3) : 0);
    }
    out[0] = static_cast<std::uint8_t>(out.size());
    out[1] = static_cast<std::uint8_t>(out.size() >> 8);
    const std::uint16_t crc = crc16(out.data(), out.size());
    out[crcAt] = static_cast<std::uint8_t>(crc);
    out[crcAt + 1] = static_cast<std::uint8_t>(crc >> 8);
    return out;
}

std::size_t headerSizeField(const std::uint8_t* firstTwo) {
    return get16(firstTwo);
}

EntryHeader decodeHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderFixedSize || bytes.size() != get16(bytes.data())) {
        badHeader("length");
    }
    const std::uint8_t* p = bytes.data();
    if (p[20] != 2) {
        badHeader("level");
    }
    EntryHeader entry;
    const std::string id(reinterpret_cast<const char*>(p + 2), 5);
    if (id == "-lh0-") {
        entry.method = Method::Stored;
    } else if (id == "-lh5-") {
        entry.method = Method::Lh5;
    } else if (id == "-lhd-") {
        entry.method = Method::Directory;
    } else {
        badHeader("method " + id);
    }
    entry.compressedSize = get32(p + 7);
    entry.originalSize = get32(p + 11);
    entry.mtime = get32(p + 15);
    entry.crc = get16(p + 21);

    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    bool sawCrc = false;
    std::uint16_t storedCrc = 0;
    std::size_t at = kHeaderFixedSize;
    std::size_t size = get16(p + 24);
    while (size != 0) {
        if (size < 3 || at + size > bytes.size()) {
            badHeader("extension size");
        }
        const std::uint8_t type = p[at];
        const std::uint8_t* data = p + at + 1;
        const std::size_t dataSize = size - 3;
        switch (type) {
        case kExtHeaderCrc:
            if (dataSize != 2) {
                badHeader("CRC extension");
            }
            sawCrc = true;
            storedCrc = get16(data);
            copy[at + 1] = 0;
            copy[at + 2] = 0;
            break;
        case kExtName:
            entry.name.assign(reinterpret_cast<const char*>(data), dataSize);
            break;
        case kExtFolders: {
            std::string part;
            for (std::size_t i = 0; i < dataSize; ++i) {
                if (data[i] == kFolderSeparator) {
                    entry.folders.push_back(part);
                    part.clear();
                } else {
                    part += static_cast<char>(data[i]);
                }
            }
            if (!part.empty()) {
                badHeader("folder path without its closing separator");
            }
            break;
        }
        case kExtMode:
            if (dataSize == 2) {
                entry.mode = get16(data);
            }
            break;
        case kExtOwner:
            if (dataSize == 4) {
                entry.hasOwner = true;
                entry.gid = get16(data);
                entry.uid = get16(data + 2);
            }
            break;
        default:
            break;
        }
        at += size;
        size = get16(p + at - 2);
    }
    // What follows the chain can only be a pad byte (earlier versions wrote
    // one where the Windows times now go).
    if (bytes.size() - at > 1) {
        badHeader("trailing bytes");
    }
    if (!sawCrc || crc16(copy.data(), copy.size()) != storedCrc) {
        badHeader("header CRC");
    }
    if (entry.method == Method::Directory && (entry.mode & kModeTypeMask) == kModeLink) {
        splitLink(entry);
    }
    return entry;
}

} // namespace tolvane::lha
