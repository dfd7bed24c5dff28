#include "lha/unlha.h"

#include "lha/archive_writer.h"
#include "lha/command_line.h"
#include "version.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace tolvane::lha {

namespace {

std::atomic<bool> running{false};

void report(const std::string& text, char* buffer, std::uint32_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::string describe(const PackSummary& s, const std::string& archive) {
    std::string text = "Archived " + std::to_string(s.files) + " files";
    if (s.links != 0) {
        text += ", " + std::to_string(s.links) + " symbolic links";
    }
    return text + " and " + std::to_string(s.folders) + " folders (" + std::to_string(s.bytesIn) +
           " bytes) into " + archive + " (" + std::to_string(s.archiveSize) + " bytes).";
}

int run(const std::string& commandLine, std::string& text, const PackOptions& options,
        PackFailure* failure) {
    const std::optional<PackCommand> command = parsePackCommand(commandLine);
    if (!command) {
        text = "Unsupported command line: " + commandLine;
        return kErrorBadCommand;
    }
    try {
        const PackSummary summary = packArchive(command->archive, command->source, options);
        text = describe(summary, command->archive);
        return kOk;
    } catch (const LhaError& e) {
        text = e.what();
        if (failure != nullptr) {
            *failure = e.failure();
        }
        return e.code();
    } catch (const std::bad_alloc&) {
        text = "out of memory";
        return kErrorInternal;
    } catch (const std::exception& e) {
        text = e.what();
        return kErrorInternal;
    }
}

int runOnce(const std::string& commandLine, char* outputBuffer, std::uint32_t bufferSize,
            const PackOptions& options, PackFailure* failure = nullptr) {
    bool idle = false;
    if (!running.compare_exchange_strong(idle, true)) {
        report("busy", outputBuffer, bufferSize);
        return kErrorBusy;
    }
    std::string text;
    const int code = run(commandLine, text, options, failure);
    report(text, outputBuffer, bufferSize);
    running = false;
    return code;
}

} // namespace

int Unlha(std::uintptr_t /*windowHandle*/, const std::string& commandLine, char* outputBuffer,
          std::uint32_t bufferSize) {
    return runOnce(commandLine, outputBuffer, bufferSize, PackOptions{});
}

int UnlhaWithProgress(const std::string& commandLine, char* outputBuffer, std::uint32_t bufferSize,
                      PackProgress& progress, PackFailure* failure) {
    PackOptions options;
    options.progress = &progress;
    return runOnce(commandLine, outputBuffer, bufferSize, options, failure);
}

bool UnlhaGetRunning() {
    return running.load();
}

int UnlhaGetVersion() {
    return TOLVANE_VERSION_MAJOR * 100 + TOLVANE_VERSION_MINOR;
}

} // namespace tolvane::lha
