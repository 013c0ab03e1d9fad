// TForm, the base class of every window.
#pragma once
// Base of every window. FormActivate and FormDeactivate are called by the
// modal helper (modal.h) in the order the windows' rules rely on, instead of
// the platform's asynchronous activation events.

#include <QDialog>

namespace gnc {

class FormEvents {
  public:
    virtual ~FormEvents() = default;
    virtual void FormActivate() {}
    virtual void FormDeactivate() {}
};

class TForm : public QDialog, public FormEvents {
    Q_OBJECT
  public:
    explicit TForm(QWidget* parent = nullptr);
    // True while the window is shown modally (between show and close).
    bool is_showing() const { return isVisible(); }
    // Fits the window to its screen (screen_fit.h) before it shows.
    void setVisible(bool visible) override;

  protected:
    // Escape closes a dialog without running any of its buttons; windows that
    // close only through their buttons and close box turn that off.
    void ignore_escape() { escape_ignored_ = true; }
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool escape_ignored_ = false;
};

} // namespace gnc
