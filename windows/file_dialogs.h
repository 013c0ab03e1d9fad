#pragma once
// Open and save dialogs for template files. Tests replace the dialogs with a
// function that returns a chosen name (or an empty one for "cancelled").

#include <QString>

#include <functional>
#include <string>

namespace gnc {

// filter in the form "description|pattern", e.g. "sbn|*.sbn"
QString ask_open_file_name(const QString& filter);
QString ask_save_file_name(const QString& filter);

// A chosen name as the template file functions take it: UTF-8, which is what
// Linux names are made of and what the Windows file functions turn into
// UTF-16 (the local 8-bit code page would lose letters beyond it there).
std::string file_name_bytes(const QString& name);

using FileDialogOverride = std::function<QString(const QString& filter)>;
void override_open_dialog(FileDialogOverride answer); // empty function: real dialog
void override_save_dialog(FileDialogOverride answer);

} // namespace gnc
