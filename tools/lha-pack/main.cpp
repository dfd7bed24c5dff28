// Runs one archiver command from the shell, e.g.
//   lha-pack a -x1 -r2 ARCHIVE FOLDER
// Arguments are joined into the command line the program would send, with
// blanks or commas quoted the same way.
#include "lha/unlha.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.find_first_of(" ,") != std::string::npos) {
            arg = '"' + arg + '"';
        }
        line += (i > 1 ? " " : "") + arg;
    }
    char output[1024];
    const int code = tolvane::lha::Unlha(0, line, output, sizeof output);
    (code == 0 ? std::cout : std::cerr) << output << "\n";
    return code;
}
