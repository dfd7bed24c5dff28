#include "gui/copy_date_window.h"

#include "gui/qt_text.h"
#include "window/default_error.h"
#include "window/layout.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tolvane::gui {

namespace {

using window::pixelsOfTwips;

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(pixelsOfTwips(left), pixelsOfTwips(top), pixelsOfTwips(width),
                        pixelsOfTwips(height));
}

struct FieldPlace {
    int left;
    int width;
    int labelLeft;
    const char* unit;
};

constexpr int kUnitLabelHeight = 210;

constexpr std::array<FieldPlace, 6> kFields{{
    {1440, 495, 1980, "年"},
    {2220, 435, 2700, "月"},
    {2940, 435, 3420, "日"},
    {3660, 435, 4140, "時"},
    {4380, 435, 4860, "分"},
    {5100, 435, 5580, "秒"},
}};

} // namespace

CopyDateWindow::CopyDateWindow(FormState& state, history::CopyDateDialog& dialog, Shell& shell)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      state_(state), dialog_(dialog), shell_(shell) {
    setWindowTitle(QStringLiteral("コピー後のファイル日付入力"));
    setFixedSize(pixelsOfTwips(6060), pixelsOfTwips(690));

    timeStampLabel_ = new QLabel(QStringLiteral("更新日時"), this);
    timeStampLabel_->setObjectName(QStringLiteral("LabelTimeStamp"));
    place(timeStampLabel_, 480, 120, 855, 255);

    for (std::size_t i = 0; i < kFields.size(); ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("TextDate%1").arg(i));
        place(field, kFields[i].left, 0, kFields[i].width, 315);
        const int index = static_cast<int>(i);
        connect(field, &QLineEdit::textEdited, this, [this, index](const QString& text) {
            window::runHandler(shell_, [&] { state_.setTextDate(index, fromQt(text)); });
            // Normalising may have put back the text the box already had, which
            // the model does not announce; draw it anyway.
            refresh();
        });
        fields_[i] = field;

        auto* unit = new QLabel(QString::fromUtf8(kFields[i].unit), this);
        unit->setObjectName(QStringLiteral("LabelUnit%1").arg(i));
        // Designed 180 twips high; at 180 the lowest antialiased row of "分"
        // in our CJK font is cut off, and 210 (the font's line height) is the
        // least that shows every glyph whole.
        place(unit, kFields[i].labelLeft, 60, 180, kUnitLabelHeight);
        unitLabels_[i] = unit;
    }

    keepDatesBox_ = new QCheckBox(QStringLiteral("日付の変更を行わない"), this);
    keepDatesBox_->setObjectName(QStringLiteral("CheckKakunin"));
    place(keepDatesBox_, 840, 360, 2415, 255);
    connect(keepDatesBox_, &QCheckBox::clicked, this, [this](bool checked) {
        window::runHandler(shell_, [&] {
            state_.setKeepCopyDates(checked);
            dialog_.applyKeepDatesBox();
        });
    });

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("CommandOK"));
    place(okButton_, 4440, 360, 1215, 300);
    connect(okButton_, &QPushButton::clicked, this,
            [this] { window::runHandler(shell_, [&] { dialog_.accept(); }); });

    state_.subscribe([this](StateField field) {
        if (field == StateField::FormDate) {
            refresh();
        }
    });
    refresh();
}

void CopyDateWindow::refresh() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    keepDatesBox_->setChecked(state_.keepCopyDates());
    const bool enabled = state_.dateFieldsEnabled();
    timeStampLabel_->setEnabled(enabled);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        unitLabels_[i]->setEnabled(enabled);
        fields_[i]->setEnabled(enabled);
        const QString text = toQt(state_.textDate(static_cast<int>(i)));
        if (fields_[i]->text() != text) {
            // setText leaves the caret at the end, so digits go on in order.
            fields_[i]->setText(text);
        }
    }
    if (state_.formDateVisible() != isVisible()) {
        if (state_.formDateVisible()) {
            show();
            raise();
            activateWindow();
        } else {
            hide();
        }
    }
    refreshing_ = false;
}

void CopyDateWindow::bringForward() {
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

void CopyDateWindow::closeEvent(QCloseEvent* event) {
    // The close box discards the entries, as closing the dialog always has.
    window::runHandler(shell_, [&] { dialog_.discardEntries(); });
    event->accept();
}

} // namespace tolvane::gui
