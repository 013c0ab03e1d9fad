// TForm11, the link-lost notice.
#pragma once
// The link-lost notice, shown when the device has fallen silent. It has no
// close box and ignores Escape and close requests: OK is the only way to dismiss it. OK closes
// the notice and the windows under it, drops the link and tells the user in
// the main window's status line.

#include "windows/window_base.h"

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace gnc {

struct Forms;

class TForm11 : public TForm {
    Q_OBJECT
  public:
    explicit TForm11(Forms& forms, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr; // "OK"

    // Windows that OK closes after the notice, in this order (wired by the
    // application: parameters, messages, read, programming, connect, cable
    // schematic). Closing a window that is not open does nothing.
    std::vector<QWidget*> windows_to_close;
    // Writes the main window's status line.
    std::function<void(const QString&)> set_status_text;

    void Button1Click();

    // Escape, a close request and reject() all end here: ignored unless OK
    // is closing the notice.
    void reject() override;

  private:
    Forms& forms_;
    bool closing_by_ok_ = false;
};

} // namespace gnc
