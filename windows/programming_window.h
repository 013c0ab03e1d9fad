// TForm5, the programming window.
#pragma once
// The programming window: shown while the settings are written to the
// device. OK only closes it; the programming goes on behind it.

#include "windows/window_base.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace gnc {

class TForm5 : public TForm {
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr; // 0 to 100
    QPushButton* Button1 = nullptr;       // "OK"

    void Button1Click();
};

} // namespace gnc
