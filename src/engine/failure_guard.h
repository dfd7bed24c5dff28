#pragma once

#include "state/shell.h"

#include <exception>
#include <string_view>

namespace tolvane::engine {

// The end of the program after a failure inside an engine procedure nobody
// handled: "<procedure>:予期しないエラーが発生しました。", the lines naming
// what the procedure worked on (`subject`) and the failure's description on
// the next lines, then an orderly end with a failure status. Call it inside
// a catch block.
[[noreturn]] void endAfterUnexpected(Shell& shell, std::string_view procedure,
                                     std::string_view subject);

// Runs one engine procedure that ends the program on any failure and returns
// what it returns. `procedure` is the name the message gives, `subject` the
// labelled path lines it adds.
template <typename Body>
auto guardProcedure(Shell& shell, std::string_view procedure, std::string_view subject, Body&& body)
    -> decltype(body()) {
    try {
        return body();
    } catch (const std::exception&) {
        endAfterUnexpected(shell, procedure, subject);
    }
}

} // namespace tolvane::engine
