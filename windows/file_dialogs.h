#pragma once
// Open and save dialogs for template files. Tests replace the dialogs with a
// function that returns a chosen name (or an empty one for "cancelled").

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

namespace gnc {

// What the user chose in a save dialog: the name (empty when cancelled) and
// which of the dialog's file types was selected (0 for the first).
struct FileChoice {
    FileChoice(QString chosen_name = {}, int chosen_type = 0)
        : name(std::move(chosen_name)), file_type(chosen_type) {}
    QString name;
    int file_type;
};

// `filter` lists the file types as "description|pattern" pairs, each joined
// to the next by "|", e.g. "sbn|*.sbn|Wszystkie pliki|*".
// `type_folders[i]`, where given and not empty, is the folder that the open
// dialog goes to when the user chooses file type i (created when missing).
QString ask_open_file_name(const QString& filter, const QStringList& type_folders = {});
FileChoice ask_save_file_name(const QString& filter);

// A chosen name as the template file functions take it: UTF-8, which is what
// Linux names are made of and what the Windows file functions turn into
// UTF-16 (the local 8-bit code page would lose letters beyond it there).
std::string file_name_bytes(const QString& name);

using FileDialogOverride = std::function<FileChoice(const QString& filter)>;
void override_open_dialog(FileDialogOverride answer); // empty function: real dialog
void override_save_dialog(FileDialogOverride answer);

} // namespace gnc
