#pragma once
// The one way windows and message boxes are shown modally. Before a modal
// window or box appears, the window it covers gets FormDeactivate; the shown
// window gets FormActivate once it is visible; when it closes it gets its own
// FormDeactivate, and the covered window (if still open) gets FormActivate.

#include <QString>

#include <functional>

class QWidget;

namespace gnc {

class FormEvents;
class TForm;

inline constexpr const char* application_title = "DOMOWY SYSTEM POWIADOMIENIA SMS";
inline constexpr const char* error_box_title = "Error";

// The main window: the bottom of the stack of open windows.
void set_main_form(QWidget* widget, FormEvents* events);

// Shows `form` modally and returns its result once it has been closed.
// Showing a window that is already open does nothing.
int show_modal(TForm& form);

// Error box: critical icon, the error title, one OK button.
void show_error_box(const QString& text);
// Plain box: no icon, the application's title, one OK button.
void show_plain_box(const QString& text);

// Runs `show` (which opens some other modal window, e.g. a file dialog) as a
// modal layer of its own: the window in front is deactivated before and
// reactivated after, like for a message box.
void run_modal_layer(const std::function<void(QWidget* parent)>& show);

// The window currently in front (the widget to parent dialogs to).
QWidget* front_window();

} // namespace gnc
