#include "gui/qt_shell.h"

#include "gui/qt_text.h"
#include "platform/termination_signal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace tolvane::gui {

Button QtShell::message(const std::string& text, MessageStyle style) {
    QString shown = toQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tolvane"), shown);
    switch (style) {
    case MessageStyle::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageStyle::OkExclamation:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageStyle::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        // The program speaks Japanese; Qt's own captions follow the locale's
        // translations, which may not be installed.
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageStyle::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    const int chosen = box.exec();
    if (style == MessageStyle::Ok || style == MessageStyle::OkExclamation) {
        return Button::Ok;
    }
    switch (chosen) {
    case QMessageBox::Yes:
        return Button::Yes;
    case QMessageBox::No:
        return Button::No;
    default:
        // The box closed any other way counts as its escape answer.
        return style == MessageStyle::YesNo ? Button::No : Button::Cancel;
    }
}

void QtShell::reportRunFailures(const std::string& text) {
    QString shown = toQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (runReport_ == nullptr) {
        runReport_ = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Tolvane"), QString(),
                                     QMessageBox::Ok);
        runReport_->setWindowModality(Qt::NonModal);
        runReport_->setAttribute(Qt::WA_DeleteOnClose);
    }
    runReport_->setText(shown);
    runReport_->show();
    runReport_->raise();
}

void QtShell::serveEvents() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastServed_ < kServeInterval) {
        return;
    }
    QCoreApplication::processEvents();
    // Measured after serving, so a slow event does not make every next call
    // serve again at once.
    lastServed_ = std::chrono::steady_clock::now();
}

void QtShell::endApplication(EndKind kind, EndCause cause) {
    const int status = cause == EndCause::Requested ? EXIT_SUCCESS : EXIT_FAILURE;
    if (kind == EndKind::Immediate) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    unloadAndExit(UnloadMode::ByProgram, status);
}

void QtShell::endIfSessionEnding() {
    if (platform::terminationRequested()) {
        endSession();
    }
}

void QtShell::endSession() {
    unloadAndExit(UnloadMode::SessionEnd, EXIT_SUCCESS);
}

void QtShell::unloadAndExit(UnloadMode mode, int status) {
    // An end that comes while the unload itself is running goes no further
    // than the first one.
    if (!ending_) {
        ending_ = true;
        if (unload_) {
            unload_(mode);
        }
        QApplication::closeAllWindows();
    }
    std::fflush(nullptr);
    std::exit(status);
}

} // namespace tolvane::gui
