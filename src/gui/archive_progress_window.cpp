#include "gui/archive_progress_window.h"

#include "gui/qt_text.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tolvane::gui {

namespace {

constexpr int kBarSteps = 1000;
constexpr int kPollMilliseconds = 100;

QLabel* pathLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    // Long paths are cut rather than widening the window.
    label->setMinimumWidth(360);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

ArchiveProgressWindow::ArchiveProgressWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ArchiveProgress"));
    setWindowTitle(QStringLiteral("Tolvane：圧縮中"));

    folderLabel_ = pathLabel(this, "FolderLabel");
    phaseLabel_ = pathLabel(this, "PhaseLabel");
    fileLabel_ = pathLabel(this, "FileLabel");
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, kBarSteps);
    cancelButton_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    connect(cancelButton_, &QPushButton::clicked, this, [this] { requestCancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel_);
    layout->addWidget(phaseLabel_);
    layout->addWidget(fileLabel_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMilliseconds);
    connect(poll_, &QTimer::timeout, this, [this] { refresh(); });
}

void ArchiveProgressWindow::open(lha::PackProgress& progress) {
    progress_ = &progress;
    cancelButton_->setEnabled(true);
    refresh();
    poll_->start();
    show();
    raise();
}

void ArchiveProgressWindow::close() {
    poll_->stop();
    progress_ = nullptr;
    hide();
}

void ArchiveProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    requestCancel();
}

void ArchiveProgressWindow::requestCancel() {
    if (progress_ != nullptr) {
        progress_->cancel = true;
        cancelButton_->setEnabled(false);
    }
}

void ArchiveProgressWindow::refresh() {
    if (progress_ == nullptr) {
        return;
    }
    folderLabel_->setText(QStringLiteral("フォルダ名：") + toQt(progress_->folder()));
    switch (progress_->phase.load()) {
    case lha::PackPhase::Listing:
    case lha::PackPhase::Writing:
        phaseLabel_->setText(QStringLiteral("圧縮しています"));
        break;
    case lha::PackPhase::Verifying:
    case lha::PackPhase::Done:
        phaseLabel_->setText(QStringLiteral("圧縮ファイルを確認しています"));
        break;
    }
    fileLabel_->setText(QStringLiteral("ファイル名：") + toQt(progress_->currentFile()));
    const std::uint64_t total = progress_->bytesTotal;
    const std::uint64_t done = std::min<std::uint64_t>(progress_->bytesDone, total);
    bar_->setValue(total == 0 ? 0 : static_cast<int>(done * kBarSteps / total));
}

} // namespace tolvane::gui
