#pragma once

#include <string>

namespace tolvane::window {

// The file dialogs of the two browse buttons. Each shows a modal dialog with
// one filter entry ("display text|pattern"), starting in `initialFolder`, and
// returns the chosen full path, or an empty string when the user cancelled.
class FileDialog {
  public:
    virtual ~FileDialog() = default;
    virtual std::string showOpen(const std::string& filter, const std::string& initialFolder) = 0;
    virtual std::string showSave(const std::string& filter, const std::string& initialFolder) = 0;
};

// The one filter both browse buttons offer.
inline constexpr const char* kAllFilesFilter = "すべてのファイル|*.*";

} // namespace tolvane::window
