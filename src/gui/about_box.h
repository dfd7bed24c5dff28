#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tolvane::gui {

// The about box: title, version, description, and a launcher for the
// desktop's system-information program. Each showing is a fresh window.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts the system-information program, or says it cannot.
    void StartSysInfo();

    // The hidden-picture gesture: a double click on the title after a mouse
    // move over it with Shift alone held.
    void lblTitle_MouseMove(Qt::KeyboardModifiers modifiers);
    void lblTitle_DblClick();
    void picIcon_Click();

    static bool pictureArmed();

    QLabel* lblTitle() const { return lblTitle_; }
    QLabel* labelTitle() const { return LabelTitle_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* picIcon() const { return picIcon_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();

    QLabel* icon_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* LabelTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblDisclaimer_ = nullptr;
    QLabel* picIcon_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
};

// The 400 x 100 picture the gesture uncovers.
QPixmap drawBannerPicture();

inline constexpr const char* kSysInfoUnavailable = "現時点ではｼｽﾃﾑ情報を使用できません";

} // namespace tolvane::gui
