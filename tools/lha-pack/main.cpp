// Runs one archiver command from the shell, e.g.
//   lha-pack a -x1 -r2 ARCHIVE FOLDER
// Arguments are joined into the command line the program would send, with
// blanks or commas quoted the same way.
#include "lha/unlha.h"
#include "platform/console.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    tolvane::platform::useBinaryOutput();
    std::string line;
    bool first = true;
    for (std::string arg : tolvane::platform::commandLineArguments(argc, argv)) {
        if (arg.find_first_of(" ,") != std::string::npos) {
            arg = '"' + arg + '"';
        }
        line += (first ? "" : " ") + arg;
        first = false;
    }
    char output[1024];
    const int code = tolvane::lha::Unlha(0, line, output, sizeof output);
    (code == 0 ? std::cout : std::cerr) << output << "\n";
    return code;
}
