#include "window/default_error.h"

#include "platform/failure.h"

#include <cstdlib>
#include <exception>
#include <new>

namespace tolvane::window {

std::string runtimeErrorText(int number, const std::string& description) {
    return "実行時エラー '" + std::to_string(number) + "':\r\n\r\n" + description;
}

void endAfterUncaught(Shell& shell) {
    int number = 0;
    std::string description;
    try {
        throw;
    } catch (const platform::Failure& failure) {
        number = failure.number();
        description = failure.description();
    } catch (const std::bad_alloc&) {
        number = platform::Failure::outOfMemory({}).number();
        description = "メモリが不足しています";
    } catch (const std::exception& error) {
        description = error.what();
    }
    shell.message(runtimeErrorText(number, description), MessageStyle::Ok);
    shell.endApplication(EndKind::Orderly, EndCause::Failure);
    std::abort(); // not reached: the compiler cannot see through the virtual call
}

void runHandler(Shell& shell, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception&) {
        endAfterUncaught(shell);
    }
}

} // namespace tolvane::window
