// TForm6, the connect window.
#pragma once
// The connect window: shown while a connect attempt runs. Its labels and bar
// are written by the link controller; OK only closes it (the attempt goes on).

#include "windows/window_base.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace gnc {

class TForm6 : public TForm {
    Q_OBJECT
  public:
    explicit TForm6(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr; // 0 to 150
    QPushButton* Button1 = nullptr;       // "OK"

    void Button1Click();
};

} // namespace gnc
