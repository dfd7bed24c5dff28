#pragma once

#include <QDir>
#include <QString>
#include <string>

namespace tolvane::gui {

// The core speaks UTF-8 std::string; Qt speaks QString.
inline QString toQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

// A path Qt hands over (dialogs, drops) is written with forward slashes on
// every system; the core and the user's lists use the system's own.
inline std::string pathFromQt(const QString& path) {
    return fromQt(QDir::toNativeSeparators(path));
}

} // namespace tolvane::gui
