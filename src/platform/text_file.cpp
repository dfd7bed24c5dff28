#include "platform/text_file.h"

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text_encoding.h"
#include "platform/text_file_failures.h"

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

Failure textFileTooLarge(const std::string& path) {
    return Failure::valueTooLarge("ファイルが大きすぎます (上限 " +
                                  std::to_string(kMaxTextFileBytes / (1024 * 1024)) +
                                  " MiB): " + path);
}

Failure notARegularFile(const std::string& path) {
    return Failure::invalidArgument("通常のファイルではありません: " + path);
}

void PendingFile::discard() noexcept {
    if (!temporary_.empty()) {
        removeFile(temporary_);
        temporary_.clear();
    }
    if (inPlace_) {
        abandonInPlace();
    }
}

void PendingFile::commit() {
    if (inPlace_) {
        commitInPlace();
        return;
    }
    if (temporary_.empty()) {
        throw Failure::about(Failure::notFound({}).number(), target_);
    }
    try {
        renameReplacing(temporary_, target_);
    } catch (const Failure&) {
        discard();
        throw;
    }
    temporary_.clear();
    settleReplaced();
}

void writeFileAtomically(const std::string& path, std::string_view content) {
    PendingFile file(path, content);
    file.commit();
}

} // namespace tolvane::platform
