#include "gui/main_window.h"

#include <QIcon>

// The resources live in this static library; they must be registered by hand.
static void registerIconResources() {
    Q_INIT_RESOURCE(tolvane);
}

namespace tolvane::gui {

QIcon applicationIcon() {
    static bool registered = false;
    if (!registered) {
        registerIconResources();
        registered = true;
    }
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/tolvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace tolvane::gui
