#pragma once

#include "state/shell.h"

#include <functional>
#include <string>

namespace tolvane::window {

// "実行時エラー '<number>':\r\n\r\n<description>"
std::string runtimeErrorText(int number, const std::string& description);

// Runs one event handler. A failure nobody caught on the way takes the
// program's default path: a message with its number and description, then an
// orderly end with a failure status.
void runHandler(Shell& shell, const std::function<void()>& handler);

// The default path itself, for an exception caught elsewhere (the event
// dispatch's last resort). Call it inside a catch block.
[[noreturn]] void endAfterUncaught(Shell& shell);

} // namespace tolvane::window
