#include "engine/run_record.h"

#include "engine/messages.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_file.h"

#include <cstdio>

namespace tolvane::engine {

namespace {

std::string timeText(const platform::LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
    return text;
}

void addLine(std::string& block, const std::string& line) {
    block += line;
    block += text::kLineBreak;
}

} // namespace

std::string recordBlock(const RunReport& report, const platform::LocalDateTime& ended,
                        const std::string& destination) {
    std::string block;
    addLine(block, "[" + timeText(report.started) + " - " + timeText(ended) + "]");
    addLine(block, "保存先：" + destination);
    for (const std::string& entry : report.entries) {
        addLine(block, "対象：" + entry);
    }
    addLine(block, "コピーしたファイル：" + std::to_string(report.copied));
    addLine(block, "変更のなかったファイル：" + std::to_string(report.unchanged));
    addLine(block, "コピーできなかった項目：" + std::to_string(report.failures.size()));
    for (const ItemFailure& failure : report.failures) {
        for (const std::string& line : itemLines(failure)) {
            addLine(block, "  " + line);
        }
    }
    for (const std::string& notice : report.notices) {
        addLine(block, "注意：" + notice);
    }
    if (report.archiving) {
        // A message of several lines stays one entry of the block.
        std::string outcome = *report.archiving;
        for (std::size_t at = outcome.find("\r\n"); at != std::string::npos;
             at = outcome.find("\r\n", at + 3)) {
            outcome.replace(at, 2, " / ");
        }
        addLine(block, "圧縮：" + outcome);
    }
    addLine(block, "");
    return block;
}

void appendToRecord(const std::string& folder, const std::string& block) {
    const std::string path = platform::joinPath(folder, kRecordFileName);
    if (const auto there = platform::linkStatus(path);
        there && there->kind == platform::FileKind::File &&
        static_cast<std::uint64_t>(there->size) + block.size() > kRecordLimitBytes) {
        platform::renameReplacing(path, path + ".1");
    }
    platform::appendToFile(path, block);
}

} // namespace tolvane::engine
