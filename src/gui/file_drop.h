#pragma once

#include "window/target_editing.h"

#include <functional>

class QMimeData;
class QDropEvent;

namespace tolvane::gui {

// The paths of a drop that is a list of local files or folders; nothing for
// any other drop (text, web links, images).
window::DroppedFiles droppedFilesOf(const QMimeData* data);

// Drag enter and move: offer to take only a file list.
void acceptFileListDrag(QDropEvent* event);

// The drop itself: a file list goes to the handler; anything else is ignored.
void deliverFileListDrop(QDropEvent* event,
                         const std::function<void(const window::DroppedFiles&)>& onDrop);

} // namespace tolvane::gui
