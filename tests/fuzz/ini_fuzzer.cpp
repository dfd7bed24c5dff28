// The INI reader and writer: a key set in any file reads back as written
// (after the reader's own rules: blanks around it and one pair of quotes do
// not count), through the file's text and its decoding as a load decodes it;
// every other key reads as before; only the documented names and values are
// refused. A bounded read gives whole characters.
//
// Input: the file's bytes, then the section, the key and the value to set,
// then their three lengths, one byte each.

#include "fuzz_check.h"
#include "platform/failure.h"
#include "platform/private_profile.h"
#include "platform/text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using tolvane::platform::decodeFileText;
using tolvane::platform::Failure;
using tolvane::platform::PrivateProfile;

constexpr std::string_view kBlanks = " \t\v\f";

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool holdsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What the writer documents it refuses.
bool refused(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view name = trim(key);
    return holdsLineBreakOrNul(section) || section.find(']') != std::string_view::npos ||
           holdsLineBreakOrNul(key) || key.find('=') != std::string_view::npos || name.empty() ||
           name.starts_with(';') || name.starts_with('[') || holdsLineBreakOrNul(value);
}

// The value as the reader gives it back.
std::string asRead(std::string_view value) {
    value = trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::size_t characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

// Every section and key name the text mentions, as probes.
std::vector<std::pair<std::string, std::string>> namesIn(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line = trim(std::string_view(text).substr(start, end - start));
        if (line.starts_with('[')) {
            section = std::string(line.substr(1, line.find(']') - 1));
        } else if (const auto equals = line.find('='); equals != std::string_view::npos) {
            names.emplace_back(section, std::string(line.substr(0, equals)));
        }
        start = end + 1;
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    std::string_view input(reinterpret_cast<const char*>(data), size - 3);
    const std::size_t lengths[3] = {data[size - 3], data[size - 2], data[size - 1]};
    std::string_view parts[3];
    for (int i = 2; i >= 0; --i) {
        const std::size_t n = std::min(lengths[i], input.size());
        parts[i] = input.substr(input.size() - n);
        input.remove_suffix(n);
    }
    const auto [section, key, value] = parts;

    const PrivateProfile before("t.ini", decodeFileText(input));
    PrivateProfile profile = before;
    try {
        profile.set(section, key, value);
    } catch (const Failure& failure) {
        FUZZ_CHECK(failure.number() == Failure::invalidArgument({}).number());
        FUZZ_CHECK(refused(section, key, value));
        FUZZ_CHECK(profile.text() == before.text());
        return 0;
    }
    FUZZ_CHECK(!refused(section, key, value));

    // Written out and read in again as a load reads a file.
    const std::string written = profile.text();
    const PrivateProfile after("t.ini", decodeFileText(written));
    // A line that is not UTF-8 is read as CP932, so such a name may come back
    // as another (the program's own names and values are all UTF-8).
    using tolvane::platform::isValidUtf8;
    if (!isValidUtf8(section) || !isValidUtf8(key)) {
        return 0;
    }
    if (isValidUtf8(value)) {
        const std::string whole = asRead(value);
        FUZZ_CHECK(after.value(section, key) == whole);
        // A bounded read is the first characters, never part of one.
        const std::size_t buffer = 1 + data[0] % 128;
        const std::string bounded =
            tolvane::platform::boundedProfileString(after, section, key, "", buffer);
        FUZZ_CHECK(whole.starts_with(bounded) && isValidUtf8(bounded));
        FUZZ_CHECK((bounded == whole) == (characters(whole) <= buffer - 1));
        FUZZ_CHECK(bounded == whole || characters(bounded) == buffer - 1);
    }
    for (const auto& [otherSection, otherKey] : namesIn(before.text())) {
        if (sameName(otherSection, section) && sameName(otherKey, key)) {
            continue;
        }
        FUZZ_CHECK(after.value(otherSection, otherKey) == before.value(otherSection, otherKey));
    }
    // A second save changes nothing.
    FUZZ_CHECK(PrivateProfile("t.ini", decodeFileText(after.text())).text() == after.text());
    return 0;
}
