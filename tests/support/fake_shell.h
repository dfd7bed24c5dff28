#pragma once

#include "state/shell.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tolvane::testing {

// Thrown by FakeShell::endApplication so a test can see that nothing ran after
// the end.
struct ApplicationEnded {
    EndKind kind;
    EndCause cause;
};

// A Shell that records every message and answers questions from a script
// (OK, or Yes for a question, when the script runs dry).
class FakeShell : public Shell {
  public:
    struct Shown {
        std::string text;
        MessageStyle style;
    };

    Button message(const std::string& text, MessageStyle style) override {
        messages.push_back({text, style});
        if (onMessage) {
            onMessage(text);
        }
        if (!answers.empty()) {
            Button answer = answers.front();
            answers.pop_front();
            return answer;
        }
        const bool question = style == MessageStyle::YesNoCancel || style == MessageStyle::YesNo;
        return question ? Button::Yes : Button::Ok;
    }

    // Kept apart from the modal messages: it waits for nobody.
    void reportRunFailures(const std::string& text) override { runReports.push_back(text); }

    void serveEvents() override {
        ++servedEvents;
        if (onServeEvents) {
            onServeEvents();
        }
    }

    [[noreturn]] void endApplication(EndKind kind, EndCause cause) override {
        ended = true;
        endKind = kind;
        endCause = cause;
        throw ApplicationEnded{kind, cause};
    }

    // Once `sessionEnding` is set, the next check between files ends the
    // program as a session end does.
    void endIfSessionEnding() override {
        if (sessionEnding) {
            endedBySession = true;
            endApplication(EndKind::Orderly, EndCause::Requested);
        }
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& m : messages) {
            result.push_back(m.text);
        }
        return result;
    }

    std::vector<Shown> messages;
    std::vector<std::string> runReports;
    std::deque<Button> answers;
    int servedEvents = 0;
    bool ended = false;
    bool sessionEnding = false;
    bool endedBySession = false;
    EndKind endKind = EndKind::Orderly;
    EndCause endCause = EndCause::Requested;
    std::function<void()> onServeEvents;
    std::function<void(const std::string&)> onMessage;
};

} // namespace tolvane::testing
