#include "platform/temporary_names.h"

#include "platform/paths.h"
#include "platform/temporaries.h"

#include <atomic>
#include <mutex>
#include <set>

namespace tolvane::platform {

namespace {

const std::string namePrefix = ".tolvane-";
const std::string nameSuffix = ".tmp";

// The number of `digits` when it is one of ours: a plain decimal of sane length.
std::optional<unsigned long long> decimal(const std::string& digits) {
    if (digits.empty() || digits.size() > 10) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

} // namespace

std::string temporaryNameIn(const std::string& folder, unsigned long process) {
    static std::atomic<unsigned> counter{0};
    return joinPath(folder, namePrefix + std::to_string(process) + "-" +
                                std::to_string(counter.fetch_add(1)) + nameSuffix);
}

std::optional<unsigned long> temporaryWriterOf(const std::string& name) {
    if (name.size() <= namePrefix.size() + nameSuffix.size() ||
        name.compare(0, namePrefix.size(), namePrefix) != 0 ||
        name.compare(name.size() - nameSuffix.size(), nameSuffix.size(), nameSuffix) != 0) {
        return std::nullopt;
    }
    const std::string middle =
        name.substr(namePrefix.size(), name.size() - namePrefix.size() - nameSuffix.size());
    const auto dash = middle.find('-');
    if (dash == std::string::npos) {
        return std::nullopt;
    }
    const auto process = decimal(middle.substr(0, dash));
    const auto counter = decimal(middle.substr(dash + 1));
    // Process 0 is no writer (to POSIX's kill() it names a process group).
    if (!process || !counter || *process == 0 || *process > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<unsigned long>(*process);
}

bool isTemporaryName(const std::string& name) {
    return temporaryWriterOf(name).has_value();
}

void removeStaleTemporariesOnce(const std::string& folder) {
    static std::mutex guard;
    static std::set<std::string> cleaned;
    {
        const std::lock_guard lock(guard);
        if (!cleaned.insert(folder).second) {
            return;
        }
    }
    removeStaleTemporaries(folder);
}

} // namespace tolvane::platform
