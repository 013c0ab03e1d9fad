#pragma once
// Answers modal windows in widget tests: while a watcher lives, every message
// box that appears is recorded and confirmed with OK; other modal windows are
// handed to an optional callback (which may close them), so tests can drive
// nested modal loops without a person at the keyboard.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QWidget;

namespace gnc::test {

struct SeenBox {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

class ModalWatcher : public QObject {
    Q_OBJECT
public:
    ModalWatcher();
    ~ModalWatcher() override;

    // Called for each modal window that is not a message box, once per
    // showing. Leave it empty to let such windows stay open.
    std::function<void(QWidget*)> on_window;
    // Called for each message box before it is confirmed.
    std::function<void(const SeenBox&)> on_box;

    const std::vector<SeenBox>& boxes() const { return boxes_; }
    QStringList texts() const;
    void clear() { boxes_.clear(); }

private:
    void poll();

    QTimer timer_;
    std::vector<SeenBox> boxes_;
    QWidget* last_window_ = nullptr;
};

// Runs the event loop until `done` is true or `timeout_ms` passes.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 5000);

} // namespace gnc::test
