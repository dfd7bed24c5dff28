#include "gui/qt_file_dialog.h"

#include "gui/qt_text.h"

#include <QFileDialog>
#include <QStringList>

namespace tolvane::gui {

QString qtFilterOf(const std::string& filter) {
    const QStringList parts = toQt(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << parts[i] + QStringLiteral(" (") + pattern + QStringLiteral(")");
    }
    return entries.join(QStringLiteral(";;"));
}

std::string QtFileDialog::showOpen(const std::string& filter, const std::string& initialFolder) {
    return pathFromQt(
        QFileDialog::getOpenFileName(nullptr, QString(), toQt(initialFolder), qtFilterOf(filter)));
}

std::string QtFileDialog::showSave(const std::string& filter, const std::string& initialFolder) {
    // Choosing an existing file is the usual case here; nothing is written to
    // it, so there is nothing to confirm.
    return pathFromQt(QFileDialog::getSaveFileName(nullptr, QString(), toQt(initialFolder),
                                                   qtFilterOf(filter), nullptr,
                                                   QFileDialog::DontConfirmOverwrite));
}

} // namespace tolvane::gui
