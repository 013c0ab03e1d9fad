#pragma once
// Open and save dialogs for template files. Tests replace the dialogs with a
// function that returns a chosen name (or an empty one for "cancelled").

#include <QString>

#include <functional>

namespace gnc {

// filter in the form "description|pattern", e.g. "sbn|*.sbn"
QString ask_open_file_name(const QString& filter);
QString ask_save_file_name(const QString& filter);

using FileDialogOverride = std::function<QString(const QString& filter)>;
void override_open_dialog(FileDialogOverride answer); // empty function: real dialog
void override_save_dialog(FileDialogOverride answer);

} // namespace gnc
