#include "gui/form_date.h"

#include "window/default_error.h"
#include "window/layout.h"
#include "gui/qt_text.h"

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

constexpr std::array<FieldPlace, 6> kFields{{
    {1440, 495, 1980, "年"},
    {2220, 435, 2700, "月"},
    {2940, 435, 3420, "日"},
    {3660, 435, 4140, "時"},
    {4380, 435, 4860, "分"},
    {5100, 435, 5580, "秒"},
}};

} // namespace

FormDate::FormDate(FormState& state, history::CopyDateDialog& dialog, Shell& shell)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      state_(state), dialog_(dialog), shell_(shell) {
    setWindowTitle(QStringLiteral("コピー後のファイル日付入力"));
    setFixedSize(pixelsOfTwips(6060), pixelsOfTwips(690));

    LabelTimeStamp_ = new QLabel(QStringLiteral("更新日時"), this);
    place(LabelTimeStamp_, 480, 120, 855, 255);

    for (std::size_t i = 0; i < kFields.size(); ++i) {
        auto* field = new QLineEdit(this);
        place(field, kFields[i].left, 0, kFields[i].width, 315);
        const int index = static_cast<int>(i);
        connect(field, &QLineEdit::textEdited, this, [this, index](const QString& text) {
            window::runHandler(shell_, [&] { state_.setTextDate(index, fromQt(text)); });
            // Normalising may have put back the text the box already had, which
            // the model does not announce; draw it anyway.
            refresh();
        });
        TextDate_[i] = field;

        // The unit labels are drawn a little taller than designed so the
        // glyphs of this platform's fonts are not clipped.
        auto* unit = new QLabel(QString::fromUtf8(kFields[i].unit), this);
        place(unit, kFields[i].labelLeft, 30, 240, 255);
        unitLabels_[i] = unit;
    }

    CheckKakunin_ = new QCheckBox(QStringLiteral("日付の変更を行わない"), this);
    place(CheckKakunin_, 840, 360, 2415, 255);
    connect(CheckKakunin_, &QCheckBox::clicked, this, [this](bool checked) {
        window::runHandler(shell_, [&] {
            state_.setCheckKakunin(checked ? 1 : 0);
            dialog_.CheckKakunin_Click();
        });
    });

    CommandOK_ = new QPushButton(QStringLiteral("OK"), this);
    place(CommandOK_, 4440, 360, 1215, 300);
    connect(CommandOK_, &QPushButton::clicked, this,
            [this] { window::runHandler(shell_, [&] { dialog_.CommandOK_Click(); }); });

    state_.subscribe([this](StateField field) {
        if (field == StateField::FormDate) {
            refresh();
        }
    });
    refresh();
}

void FormDate::refresh() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    CheckKakunin_->setChecked(state_.checkKakunin() != 0);
    const bool enabled = state_.dateFieldsEnabled();
    LabelTimeStamp_->setEnabled(enabled);
    for (std::size_t i = 0; i < TextDate_.size(); ++i) {
        unitLabels_[i]->setEnabled(enabled);
        TextDate_[i]->setEnabled(enabled);
        const QString text = toQt(state_.textDate(static_cast<int>(i)));
        if (TextDate_[i]->text() != text) {
            // setText leaves the caret at the end, so digits go on in order.
            TextDate_[i]->setText(text);
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

void FormDate::bringForward() {
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

void FormDate::closeEvent(QCloseEvent* event) {
    // The close box discards the entries, as closing the dialog always has.
    window::runHandler(shell_, [&] { dialog_.closedByCloseBox(); });
    event->accept();
}

} // namespace tolvane::gui
