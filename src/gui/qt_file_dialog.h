#pragma once

#include "window/file_dialog.h"

#include <QString>

namespace tolvane::gui {

// "display|pattern|display|pattern" as Qt writes filters: "display (pattern)"
// joined by ";;". "*.*" means every file, also those without an extension.
QString qtFilterOf(const std::string& filter);

// The platform's open and save dialogs.
class QtFileDialog : public window::FileDialog {
  public:
    std::string showOpen(const std::string& filter, const std::string& initialFolder) override;
    std::string showSave(const std::string& filter, const std::string& initialFolder) override;
};

} // namespace tolvane::gui
