#include "gui/about_box.h"

#include "platform/system_info.h"
#include "version.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>

namespace tolvane::gui {

namespace {

// Survives closing the box, as the gesture's state always has.
bool armed = false;

const char* const kDescription =
    "時間を監視して、変更されたファイルだけを指定のフォルダへコピーする半自動の"
    "バックアップツールです。コピー先は書き込みのできるフォルダに限られます。"
    "監視間隔はおよそ1秒単位で、調整できる範囲は狭くなっています。";

const char* const kDisclaimer =
    "本プログラムの使用によって生じたいかなる損害についても、"
    "作者は責任を負いません。大切なデータは複数の場所に保管してください。";

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(x, y, w, h);
    return l;
}

QFrame* line(QWidget* parent, int y, QFrame::Shadow shadow) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(shadow);
    f->setGeometry(8, y, 414, 2);
    return f;
}

} // namespace

QPixmap drawBannerPicture() {
    QPixmap picture(400, 100);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 400, 100);
    sky.setColorAt(0, QColor(18, 52, 86));
    sky.setColorAt(1, QColor(40, 120, 150));
    p.fillRect(picture.rect(), sky);

    // A clock face: the program watches the time.
    p.setPen(QPen(QColor(240, 240, 230), 4));
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawEllipse(QPointF(55, 50), 34, 34);
    p.drawLine(QPointF(55, 50), QPointF(55, 27));
    p.drawLine(QPointF(55, 50), QPointF(72, 58));

    // Two sheets with an arrow between them: the copy.
    p.setPen(QPen(QColor(240, 240, 230), 2));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(110, 28, 30, 40));
    p.drawRect(QRectF(190, 28, 30, 40));
    QPainterPath arrow;
    arrow.moveTo(148, 44);
    arrow.lineTo(172, 44);
    arrow.lineTo(172, 36);
    arrow.lineTo(184, 48);
    arrow.lineTo(172, 60);
    arrow.lineTo(172, 52);
    arrow.lineTo(148, 52);
    arrow.closeSubpath();
    p.setBrush(QColor(255, 200, 60));
    p.setPen(Qt::NoPen);
    p.drawPath(arrow);

    QFont font = QApplication::font();
    font.setPointSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(250, 250, 245));
    p.drawText(QRectF(235, 20, 160, 60), Qt::AlignCenter, QStringLiteral("Tolvane"));
    return picture;
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(430, 270);

    icon_ = new QLabel(this);
    icon_->setGeometry(16, 16, 48, 48);
    icon_->setPixmap(QApplication::windowIcon().pixmap(48, 48));

    title_ = label(this, "lblTitle", QString(), 80, 14, 330, 34);
    QFont titleFont = title_->font();
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    title_->setMouseTracking(true);
    title_->installEventFilter(this);

    // Covers the plain title, its text set a little to the right.
    titleMark_ = label(this, "LabelTitle", QStringLiteral("【　Tolvane　】"), 80, 14, 330, 34);
    titleMark_->setAutoFillBackground(true);
    titleMark_->setIndent(8);
    QFont markFont = titleFont;
    markFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                          QStringLiteral("Noto Sans CJK JP")});
    titleMark_->setFont(markFont);
    titleMark_->hide();

    version_ = label(this, "lblVersion", QString(), 80, 48, 330, 20);

    description_ = label(this, "lblDescription", QString::fromUtf8(kDescription), 80, 76, 334, 96);
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    line(this, 178, QFrame::Sunken);
    line(this, 180, QFrame::Plain);

    disclaimer_ = label(this, "lblDisclaimer", QString::fromUtf8(kDisclaimer), 16, 190, 270, 70);
    disclaimer_->setWordWrap(true);
    disclaimer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = disclaimer_->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    disclaimer_->setFont(small);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    okButton_->setGeometry(300, 194, 116, 28);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::close);

    systemInfoButton_ = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    systemInfoButton_->setObjectName(QStringLiteral("cmdSysInfo"));
    systemInfoButton_->setGeometry(300, 230, 116, 28);
    connect(systemInfoButton_, &QPushButton::clicked, this, [this] { startSystemInfo(); });

    // Laid over the window once uncovered; a click hides it again.
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("picIcon"));
    picture_->setPixmap(drawBannerPicture());
    picture_->setGeometry(0, 39, 400, 100);
    picture_->installEventFilter(this);
    picture_->hide();

    fillCaptions();
}

void AboutBox::fillCaptions() {
    const QString title = QStringLiteral("Tolvane");
    setWindowTitle(title + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    version_->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                          .arg(TOLVANE_VERSION_MAJOR)
                          .arg(TOLVANE_VERSION_MINOR)
                          .arg(TOLVANE_VERSION_PATCH));
    title_->setText(title);
}

void AboutBox::startSystemInfo() {
    const std::string program = platform::findSystemInfoProgram();
    if (program.empty() || !QProcess::startDetached(QString::fromStdString(program), {})) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tolvane"),
                        QString::fromUtf8(kSystemInfoUnavailable), QMessageBox::Ok, this);
        box.exec();
    }
}

void AboutBox::armPictureIfShiftAlone(Qt::KeyboardModifiers modifiers) {
    armed = (modifiers == Qt::ShiftModifier);
}

void AboutBox::showPictureIfArmed() {
    if (!armed) {
        return;
    }
    picture_->move(0, 39); // 579.783 twips down
    picture_->show();
    picture_->raise();
    titleMark_->show();
    titleMark_->raise();
    armed = false;
}

void AboutBox::hidePicture() {
    picture_->hide();
    titleMark_->hide();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == title_) {
        if (event->type() == QEvent::MouseMove) {
            armPictureIfShiftAlone(static_cast<QMouseEvent*>(event)->modifiers());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            showPictureIfArmed();
            return true;
        }
    } else if (watched == picture_ && event->type() == QEvent::MouseButtonRelease) {
        hidePicture();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tolvane::gui
