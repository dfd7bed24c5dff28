#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tolvane::gui {

// The about box: title, version, description, and a launcher for the
// desktop's system-information program. Each showing is a fresh window.
//
// A hidden picture: a double click on the title after a mouse move over it
// with Shift alone held lays a picture over the box; a click on it hides it.
class AboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fillCaptions();
    // Starts the system-information program, or says it cannot.
    void startSystemInfo();
    void armPictureIfShiftAlone(Qt::KeyboardModifiers modifiers);
    void showPictureIfArmed();
    void hidePicture();

    QLabel* icon_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* titleMark_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* disclaimer_ = nullptr;
    QLabel* picture_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* systemInfoButton_ = nullptr;
};

// The 400 x 100 picture the gesture uncovers.
QPixmap drawBannerPicture();

inline constexpr const char* kSystemInfoUnavailable = "現時点ではｼｽﾃﾑ情報を使用できません";

} // namespace tolvane::gui
