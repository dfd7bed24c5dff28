// Runs one archiver command from the shell, e.g.
//   lha-pack [--threads N] a -x1 -r2 ARCHIVE FOLDER
// Arguments are joined into the command line the program would send, with
// blanks or commas quoted the same way. --threads sets how many threads
// compress (the benchmark's single-thread figure); by default one per core.
#include "lha/archive_writer.h"
#include "lha/command_line.h"
#include "lha/unlha.h"
#include "platform/console.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

int packWithThreads(unsigned threads, const std::string& line) {
    const auto command = tolvane::lha::parsePackCommand(line);
    if (!command) {
        std::cerr << "Unsupported command line: " << line << "\n";
        return tolvane::lha::kErrorBadCommand;
    }
    tolvane::lha::PackOptions options;
    options.threads = threads;
    try {
        const auto summary = tolvane::lha::packArchive(command->archive, command->source, options);
        std::cout << "Archived " << summary.files << " files (" << summary.bytesIn
                  << " bytes) into " << command->archive << " (" << summary.archiveSize
                  << " bytes).\n";
        return tolvane::lha::kOk;
    } catch (const tolvane::lha::LhaError& e) {
        std::cerr << e.what() << "\n";
        return e.code();
    }
}

} // namespace

int main(int argc, char** argv) {
    tolvane::platform::useBinaryOutput();
    // The arguments after the program's name.
    std::vector<std::string> arguments = tolvane::platform::commandLineArguments(argc, argv);
    unsigned threads = 0;
    std::size_t first = 0;
    if (arguments.size() > 1 && arguments[0] == "--threads") {
        threads = static_cast<unsigned>(std::stoul(arguments[1]));
        first = 2;
    }
    std::string line;
    for (std::size_t i = first; i < arguments.size(); ++i) {
        std::string arg = arguments[i];
        if (arg.find_first_of(" ,") != std::string::npos) {
            arg = '"' + arg + '"';
        }
        line += (i > first ? " " : "") + arg;
    }
    if (threads != 0) {
        return packWithThreads(threads, line);
    }
    char output[1024];
    const int code = tolvane::lha::Unlha(0, line, output, sizeof output);
    (code == 0 ? std::cout : std::cerr) << output << "\n";
    return code;
}
