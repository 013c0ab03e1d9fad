#include "windows/file_dialogs.h"

#include "windows/modal.h"

#include <QDir>
#include <QFileDialog>

namespace gnc {

namespace {

FileDialogOverride& open_override() {
    static FileDialogOverride answer;
    return answer;
}

FileDialogOverride& save_override() {
    static FileDialogOverride answer;
    return answer;
}

// "description|pattern|description|pattern" becomes Qt's name filters,
// "description (pattern)" each.
QStringList qt_filters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() % 2 != 0)
        return {filter};
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        filters.append(parts[i] + QStringLiteral(" (") + parts[i + 1] + QStringLiteral(")"));
    return filters;
}

// The dialog shows no title and starts in Qt's default folder. Choosing a
// file type that has a folder of its own opens the dialog again in that
// folder, with that type chosen: Windows' own dialog (Wine's as well) does
// not go to a folder set while it is open, though both report the change of
// type as Qt's own dialog does.
QString run_open_dialog(QWidget* parent, const QString& filter, const QStringList& type_folders) {
    const QStringList filters = qt_filters(filter);
    QString folder; // where the dialog opens; empty for Qt's default
    qsizetype type = 0;
    for (;;) {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(filters);
        if (!folder.isEmpty())
            dialog.setDirectory(folder);
        dialog.selectNameFilter(filters.value(type));
        bool reopen = false;
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&](const QString& chosen) {
                             const QString wanted = type_folders.value(filters.indexOf(chosen));
                             if (wanted.isEmpty() || wanted == folder || !QDir().mkpath(wanted))
                                 return;
                             folder = wanted;
                             type = filters.indexOf(chosen);
                             reopen = true;
                             dialog.reject();
                         });
        if (dialog.exec() == QDialog::Accepted)
            return dialog.selectedFiles().value(0);
        if (!reopen)
            return {};
    }
}

} // namespace

// A replaced dialog runs as the same modal layer as the real one, so the
// windows behind it are deactivated and reactivated alike.
QString ask_open_file_name(const QString& filter, const QStringList& type_folders) {
    QString name;
    run_modal_layer([&](QWidget* parent) {
        if (open_override())
            name = open_override()(filter).name;
        else
            name = run_open_dialog(parent, filter, type_folders);
    });
    return name;
}

FileChoice ask_save_file_name(const QString& filter) {
    // No default suffix: the file is written under exactly the name typed,
    // and an existing file of that name is overwritten without a question.
    // Given a type with a suffix ("*.pdf"), Qt makes Windows' own dialog add
    // that suffix to any name typed without one, the template's too; Qt's
    // dialog adds none.
    QFileDialog::Options options = QFileDialog::DontConfirmOverwrite;
#ifdef _WIN32
    options |= QFileDialog::DontUseNativeDialog;
#endif
    FileChoice choice;
    run_modal_layer([&](QWidget* parent) {
        if (save_override()) {
            choice = save_override()(filter);
            return;
        }
        const QStringList filters = qt_filters(filter);
        QString selected = filters.value(0);
        choice.name = QFileDialog::getSaveFileName(
            parent, QString(), QString(), filters.join(QStringLiteral(";;")), &selected, options);
        choice.file_type = std::max<int>(0, static_cast<int>(filters.indexOf(selected)));
    });
    return choice;
}

void override_open_dialog(FileDialogOverride answer) {
    open_override() = std::move(answer);
}
void override_save_dialog(FileDialogOverride answer) {
    save_override() = std::move(answer);
}

std::string file_name_bytes(const QString& name) {
    return name.toStdString();
}

} // namespace gnc
