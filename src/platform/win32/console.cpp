#include "platform/console.h"

#include "platform/win32/wide.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Needs windows.h first.
#include <shellapi.h>

namespace tolvane::platform {

std::vector<std::string> commandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (wide == nullptr) {
        return arguments;
    }
    for (int index = 1; index < count; ++index) {
        arguments.push_back(narrow(wide[index]));
    }
    ::LocalFree(wide);
    return arguments;
}

void useBinaryOutput() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

} // namespace tolvane::platform
