#include "platform/text_file.h"

#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace tolvane::platform {

std::string readFileBytes(const std::string& path) {
    auto content = readFileIfPresent(path);
    if (!content) {
        throw Failure::about(Failure::notFound({}).number(), path);
    }
    return std::move(*content);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r' && text[at] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, at - start));
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
            ++at;
        }
        start = at + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::vector<std::string> readTextLines(const std::string& path) {
    return splitLines(decodeFileText(readFileBytes(path)));
}

void writeFileAtomically(const std::string& path, std::string_view content) {
    PendingFile file(path, content);
    file.commit();
}

} // namespace tolvane::platform
