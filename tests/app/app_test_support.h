#pragma once
// Helpers for tests that drive the whole program's windows: deferred
// actions (so that a modal window opened by the action does not block the
// caller), a settings image holding a user number, and a safety net that
// closes windows a failing test left open.

#include "image/image_buffer.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

namespace gnc {
struct Forms;
}

namespace gnc::test {

// Runs `action` from the event loop, after the current handler returned.
void later(std::function<void()> action, int delay_ms = 0);
// The same, dropped if `context` is destroyed first: an action queued for a
// window must not outlive the test whose windows it works on.
void later(QObject* context, std::function<void()> action, int delay_ms = 0);

// Writes `digits` into the phone slot at `slot` with its check byte.
void write_phone_slot(std::uint8_t* image, std::size_t slot, const std::string& digits);

// A 4096-byte image: all 0xFF with user 1's number set.
ImageBuffer image_with_user_number(const std::string& digits);

// Closes every window but the main one after `timeout_ms`, so that a test
// whose expectations failed ends instead of waiting in a modal window.
class SafetyNet : public QObject {
  public:
    SafetyNet(Forms& forms, int timeout_ms);
    bool fired() const { return fired_; }

  private:
    void close_all();
    Forms& forms_;
    QTimer timer_;
    bool fired_ = false;
};

} // namespace gnc::test
