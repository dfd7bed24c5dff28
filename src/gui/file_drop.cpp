#include "gui/file_drop.h"

#include "gui/qt_text.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace tolvane::gui {

window::DroppedFiles droppedFilesOf(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return std::nullopt;
    }
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty()) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            return std::nullopt;
        }
        paths.push_back(pathFromQt(url.toLocalFile()));
    }
    return paths;
}

void acceptFileListDrag(QDropEvent* event) {
    if (droppedFilesOf(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void deliverFileListDrop(QDropEvent* event,
                         const std::function<void(const window::DroppedFiles&)>& onDrop) {
    const window::DroppedFiles dropped = droppedFilesOf(event->mimeData());
    if (!dropped) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (onDrop) {
        onDrop(dropped);
    }
}

} // namespace tolvane::gui
