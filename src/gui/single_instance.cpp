#include "gui/single_instance.h"

#include <QtGlobal>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

namespace tolvane::gui {

SingleInstance::SingleInstance(const std::string& settingsFolder) : claim_(settingsFolder) {
    if (claim_.heldByAnother()) {
        // Ends either way: when the holder cannot be reached (it runs on
        // another machine sharing the folder), a second schedule would still
        // race with it.
        claim_.askHolderToShow();
        handedOver_ = true;
    }
}

void SingleInstance::onShowRequest(std::function<void()> show) {
    const std::intptr_t requests = claim_.showRequests();
    if (requests == -1) {
        return;
    }
    auto take = [this, show = std::move(show)] {
        claim_.takeShowRequests();
        show();
    };
#ifdef Q_OS_WIN
    auto* notifier = new QWinEventNotifier(reinterpret_cast<Qt::HANDLE>(requests), this);
    connect(notifier, &QWinEventNotifier::activated, this, take);
#else
    auto* notifier =
        new QSocketNotifier(static_cast<qintptr>(requests), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, take);
#endif
}

} // namespace tolvane::gui
