#include "engine/run_report.h"

#include "engine/messages.h"
#include "platform/paths.h"

namespace tolvane::engine {

namespace {

std::string sideText(FailedSide side) {
    switch (side) {
    case FailedSide::Source:
        return text::kSideSource;
    case FailedSide::Copy:
        return text::kSideCopy;
    case FailedSide::DestinationFolder:
        return text::kSideDestinationFolder;
    }
    return {};
}

// Why, in the user's words; empty where the system's own text says it best.
std::string reasonText(const ItemFailure& failure) {
    using platform::FailureCause;
    switch (failure.cause) {
    case FailureCause::HeldOpen:
        return text::kCauseHeldOpen;
    case FailureCause::NoPermission:
        return text::kCauseNoPermission;
    case FailureCause::NoRoom:
        return text::kCauseNoRoom;
    case FailureCause::NameRefused:
        return text::kCauseNameRefused;
    case FailureCause::TooLarge:
        return text::kCauseTooLarge;
    case FailureCause::PathTooLong:
        return text::kCausePathTooLong;
    case FailureCause::Vanished:
        return failure.side == FailedSide::Source ? text::kCauseVanished : text::kCauseNotFound;
    case FailureCause::CaseTwin:
        return text::kCauseCaseTwin;
    case FailureCause::Other:
        break;
    }
    return {};
}

void addLine(std::string& message, const std::string& line) {
    if (!message.empty()) {
        message += text::kLineBreak;
    }
    message += line;
}

} // namespace

platform::Failure failureOf(const std::exception& error) {
    if (const auto* failure = dynamic_cast<const platform::Failure*>(&error)) {
        return *failure;
    }
    return platform::Failure(0, error.what());
}

FailedSide sideOf(const std::string& subject, const std::string& from, const std::string& to) {
    if (!from.empty() && platform::samePath(subject, from)) {
        return FailedSide::Source;
    }
    if (subject.empty() || platform::samePath(subject, to)) {
        return FailedSide::Copy;
    }
    return FailedSide::DestinationFolder;
}

std::string causeLine(const ItemFailure& failure) {
    const std::string reason = reasonText(failure);
    std::string line = text::kCauseLine + sideText(failure.side) + "：";
    if (reason.empty()) {
        return line + failure.systemText;
    }
    return line + reason + "（" + failure.systemText + "）";
}

std::vector<std::string> itemLines(const ItemFailure& failure) {
    std::vector<std::string> lines = failure.heading;
    lines.insert(lines.end(), failure.paths.begin(), failure.paths.end());
    lines.push_back(causeLine(failure));
    return lines;
}

std::string failureMessage(const RunReport& report, const std::string& recordPath,
                           const std::string& recordProblem) {
    std::string message;
    const std::size_t failed = report.failures.size();
    if (failed > 0) {
        addLine(message,
                text::kFailedCountBefore + std::to_string(failed) + text::kFailedCountAfter);
    }
    for (std::size_t index = 0; index < failed && index < kFailuresShown; ++index) {
        message += text::kLineBreak;
        for (const std::string& line : itemLines(report.failures[index])) {
            addLine(message, line);
        }
    }
    for (std::size_t index = 0; index < report.notices.size(); ++index) {
        if (index == 0 && failed > 0) {
            message += text::kLineBreak;
        }
        addLine(message, report.notices[index]);
    }
    if (failed > kFailuresShown || (failed > 0 && !recordPath.empty())) {
        message += text::kLineBreak;
    }
    if (failed > kFailuresShown) {
        addLine(message, text::kMoreFailedBefore + std::to_string(failed - kFailuresShown) +
                             text::kMoreFailedAfter);
    }
    if (failed > 0 && !recordPath.empty()) {
        addLine(message, text::kRecordPlace + recordPath);
    }
    if (!recordProblem.empty()) {
        if (!message.empty()) {
            message += text::kLineBreak;
        }
        addLine(message, text::kRecordNotWritten + recordProblem);
    }
    return message;
}

} // namespace tolvane::engine
