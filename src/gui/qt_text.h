#pragma once

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

} // namespace tolvane::gui
