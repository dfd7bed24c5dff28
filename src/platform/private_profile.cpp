#include "platform/private_profile.h"

#include "platform/failure.h"
#include "platform/text_encoding.h"
#include "platform/text_file.h"

namespace tolvane::platform {

namespace {

constexpr std::string_view kBlanks = " \t\v\f";

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a header line, or nothing for any other line.
std::optional<std::string_view> headerName(std::string_view line) {
    line = trim(line);
    if (!line.starts_with('[')) {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const auto close = line.find(']');
    return trim(close == std::string_view::npos ? line : line.substr(0, close));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.starts_with(';') || trimmed.starts_with('[')) {
        return std::nullopt;
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{trim(trimmed.substr(0, equals)), trim(trimmed.substr(equals + 1))};
}

[[noreturn]] void refuse(const std::string& what) {
    // Worded as the system words an argument it refuses.
    throw Failure::about(Failure::invalidArgument(what).number(), what);
}

bool holdsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void checkWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (holdsLineBreakOrNul(section) || section.find(']') != std::string_view::npos) {
        refuse("section name [" + std::string(section) + "]");
    }
    const std::string_view name = trim(key);
    if (name.empty() || holdsLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
        name.starts_with(';') || name.starts_with('[')) {
        refuse("key name \"" + std::string(key) + "\"");
    }
    if (holdsLineBreakOrNul(value)) {
        refuse("a line break in the value of " + std::string(key));
    }
}

} // namespace

PrivateProfile PrivateProfile::load(const std::string& path) {
    const auto bytes = readFileIfPresent(path);
    return PrivateProfile(path, bytes ? decodeFileText(*bytes) : std::string());
}

PrivateProfile::PrivateProfile(std::string path, std::string_view text)
    : path_(std::move(path)), lines_(splitLines(text)) {}

std::optional<std::size_t> PrivateProfile::findSection(std::string_view section) const {
    const std::string_view wanted = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = headerName(lines_[i]);
        if (name && sameName(*name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t PrivateProfile::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && !headerName(lines_[end])) {
        ++end;
    }
    return end;
}

std::optional<std::size_t> PrivateProfile::findKey(std::size_t header, std::string_view key) const {
    const std::string_view wanted = trim(key);
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto line = keyLine(lines_[i]);
        if (line && sameName(line->key, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> PrivateProfile::value(std::string_view section,
                                                 std::string_view key) const {
    const auto header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const auto at = findKey(*header, key);
    if (!at) {
        return std::nullopt;
    }
    std::string_view found = keyLine(lines_[*at])->value;
    // What a reader of C strings would see.
    found = found.substr(0, found.find('\0'));
    // One pair of surrounding quotes is no part of the value.
    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'') &&
        found.back() == found.front()) {
        found = found.substr(1, found.size() - 2);
    }
    return std::string(found);
}

void PrivateProfile::set(std::string_view section, std::string_view key, std::string_view value) {
    checkWritable(section, key, value);
    const auto header = findSection(section);
    if (!header) {
        if (!lines_.empty() && !trim(lines_.back()).empty()) {
            lines_.emplace_back();
        }
        lines_.push_back("[" + std::string(trim(section)) + "]");
        lines_.push_back(std::string(trim(key)) + "=" + std::string(value));
        return;
    }
    if (const auto at = findKey(*header, key)) {
        // Keep the key's own spelling and replace only the value.
        const std::string name(keyLine(lines_[*at])->key);
        lines_[*at] = name + "=" + std::string(value);
        return;
    }
    // After the section's last non-blank line, before the blanks that part it
    // from the next section.
    std::size_t insertAt = sectionEnd(*header);
    while (insertAt > *header + 1 && trim(lines_[insertAt - 1]).empty()) {
        --insertAt;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  std::string(trim(key)) + "=" + std::string(value));
}

std::string PrivateProfile::text() const {
    std::string result;
    for (const auto& line : lines_) {
        result += line;
        result += "\r\n";
    }
    return result;
}

void PrivateProfile::save() const {
    writeFileAtomically(path_, text());
}

std::string boundedProfileString(const PrivateProfile& profile, std::string_view section,
                                 std::string_view key, std::string_view defaultValue,
                                 std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    const std::optional<std::string> found = profile.value(section, key);
    const std::string_view result = found ? std::string_view(*found) : defaultValue;
    return std::string(result.substr(0, utf8PrefixBytes(result, bufferSize - 1)));
}

std::string getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize,
                                    const std::string& path) {
    try {
        return boundedProfileString(PrivateProfile::load(path), section, key, defaultValue,
                                    bufferSize);
    } catch (const Failure&) {
        // A file that is there but cannot be read has no keys to give.
        return boundedProfileString(PrivateProfile(path, {}), section, key, defaultValue,
                                    bufferSize);
    }
}

void writePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
    auto profile = PrivateProfile::load(path);
    profile.set(section, key, value);
    profile.save();
}

} // namespace tolvane::platform
