#include "window/file_drop.h"

#include "window/qt_text.h"

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
        paths.push_back(fromQt(url.toLocalFile()));
    }
    return paths;
}

} // namespace tolvane::gui
