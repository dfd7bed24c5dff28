#pragma once

#include "window/core/target_editing.h"

class QMimeData;

namespace tolvane::gui {

// The paths of a drop that is a list of local files or folders; nothing for
// any other drop (text, web links, images).
window::DroppedFiles droppedFilesOf(const QMimeData* data);

} // namespace tolvane::gui
