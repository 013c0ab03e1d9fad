// TForm4, the read window.
#pragma once
// The read window: shown while the settings image is read. Its OK closes it
// and then, after a read that has not failed, opens the parameters window;
// after a failed read it drops the link instead.

#include "windows/window_base.h"

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace gnc {

struct Forms;

class TForm4 : public TForm {
    Q_OBJECT
  public:
    explicit TForm4(Forms& forms, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;             // black
    QProgressBar* ProgressBar1 = nullptr; // 0 to 100
    QPushButton* Button1 = nullptr;       // "OK"

    // Shows the parameters window modally (wired by the application, which
    // knows that window).
    std::function<void()> show_parameters_window;

    void Button1Click();

  private:
    Forms& forms_;
};

} // namespace gnc
