#pragma once

#include "window/file_dialog.h"

#include <deque>
#include <string>
#include <vector>

namespace tolvane::testing {

// A file dialog that records every showing and answers from a script; once
// the script runs dry it answers as if cancelled (an empty path).
class ScriptedFileDialog : public window::FileDialog {
  public:
    struct Call {
        bool save;
        std::string filter;
        std::string initialFolder;
    };

    std::string showOpen(const std::string& filter, const std::string& initialFolder) override {
        return answer(false, filter, initialFolder);
    }
    std::string showSave(const std::string& filter, const std::string& initialFolder) override {
        return answer(true, filter, initialFolder);
    }

    std::vector<std::string> initialFolders() const {
        std::vector<std::string> folders;
        for (const Call& call : calls) {
            folders.push_back(call.initialFolder);
        }
        return folders;
    }

    std::deque<std::string> answers;
    std::vector<Call> calls;

  private:
    std::string answer(bool save, const std::string& filter, const std::string& folder) {
        calls.push_back({save, filter, folder});
        if (answers.empty()) {
            return {};
        }
        std::string next = answers.front();
        answers.pop_front();
        return next;
    }
};

} // namespace tolvane::testing
