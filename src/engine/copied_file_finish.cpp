#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "state/number_text.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace tolvane::engine {

namespace {

// A date field as a 16-bit integer: a number, rounded half to even, within
// -32768..32767. Anything else is a failure, as an empty field is.
int fieldValue(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos) {
        throw std::invalid_argument("Type mismatch: \"" + text + "\"");
    }
    // Decimal only, with "." whatever the locale.
    const auto value = decimalOfText(std::string_view(text).substr(first, last - first + 1));
    if (!value) {
        throw std::invalid_argument("Type mismatch: \"" + text + "\"");
    }
    const double rounded = std::nearbyint(*value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        throw std::out_of_range("Overflow: \"" + text + "\"");
    }
    return static_cast<int>(rounded);
}

std::string hexUpper(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(number));
    return text;
}

} // namespace

void MirrorEngine::finishCopiedFile(const std::string& path) {
    try {
        if (!state_.keepCopyDates()) {
            const auto saved = platform::saveAttributes(path);
            platform::setAttributesNormal(path);
            setCopiedFileDate(path);
            if (saved) {
                platform::restoreAttributes(path, *saved);
            }
        }
        // A mark the destination refuses is said, since the user counts on it;
        // one it accepts and drops is said once per run. Other attributes are
        // best effort.
        if (state_.copyAtReadOnlyChecked()) {
            switch (platform::markReadOnly(path)) {
            case platform::MarkOutcome::Kept:
                break;
            case platform::MarkOutcome::Dropped:
                addNotice(text::kNoticeReadOnlyDropped + destination());
                break;
            case platform::MarkOutcome::Refused:
                throw std::runtime_error("The read-only mark was refused: " + path);
            }
        }
    } catch (const std::exception& error) {
        // The file keeps normal attributes and is not marked; the run goes on.
        recordFailure({text::kAttributeError}, {text::kFileNameLine + path}, failureOf(error), {},
                      path);
    }
}

void MirrorEngine::setCopiedFileDate(const std::string& path) {
    // Held open for the whole step and closed however it ends.
    auto file = platform::OpenFile::openExisting(path);
    if (!file) {
        return;
    }
    const platform::LocalDateTime when{
        fieldValue(state_.textDate(0)), fieldValue(state_.textDate(1)),
        fieldValue(state_.textDate(2)), fieldValue(state_.textDate(3)),
        fieldValue(state_.textDate(4)), fieldValue(state_.textDate(5))};
    if (const int error = file->setModificationTime(when); error != 0) {
        recordFailure({text::kDateUpdateError + hexUpper(error)}, {text::kFileNameLine + path},
                      platform::Failure::about(error, path), {}, path);
        return;
    }
    // Some drivers take the date and keep none of it.
    const auto epoch = platform::epochOfLocal(when);
    if (epoch &&
        platform::fileStatus(path).modified != platform::keptSeconds(disk_.times, *epoch, 0)) {
        addNotice(text::kNoticeDateDropped + destination());
    }
}

} // namespace tolvane::engine
