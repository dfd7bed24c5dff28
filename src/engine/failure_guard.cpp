#include "engine/failure_guard.h"

#include "engine/messages.h"
#include "platform/failure.h"

#include <cstdlib>
#include <string>

namespace tolvane::engine {

void endAfterUnexpected(Shell& shell, std::string_view procedure, std::string_view subject) {
    std::string description;
    try {
        throw;
    } catch (const platform::Failure& failure) {
        description = failure.description();
    } catch (const std::exception& failure) {
        description = failure.what();
    }
    shell.message(std::string(procedure) + text::kUnexpectedError + text::kLineBreak +
                      std::string(subject) + text::kLineBreak + description,
                  MessageStyle::Ok);
    shell.endApplication(EndKind::Orderly, EndCause::Failure);
    std::abort(); // not reached: the compiler cannot see through the virtual call
}

} // namespace tolvane::engine
