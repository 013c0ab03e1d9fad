#include "windows/file_dialogs.h"

#include "windows/modal.h"

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

// "description|pattern" becomes Qt's "description (pattern)".
QString qt_filter(const QString& filter) {
    const auto parts = filter.split(QLatin1Char('|'));
    if (parts.size() != 2)
        return filter;
    return parts[0] + QStringLiteral(" (") + parts[1] + QStringLiteral(")");
}

} // namespace

// A replaced dialog runs as the same modal layer as the real one, so the
// windows behind it are deactivated and reactivated alike.
QString ask_open_file_name(const QString& filter) {
    QString name;
    run_modal_layer([&](QWidget* parent) {
        if (open_override())
            name = open_override()(filter);
        else
            name = QFileDialog::getOpenFileName(parent, QString(), QString(), qt_filter(filter));
    });
    return name;
}

QString ask_save_file_name(const QString& filter) {
    // No default suffix: the file is written under exactly the name typed,
    // and an existing file of that name is overwritten without a question.
    QString name;
    run_modal_layer([&](QWidget* parent) {
        if (save_override())
            name = save_override()(filter);
        else
            name = QFileDialog::getSaveFileName(parent, QString(), QString(), qt_filter(filter),
                                                nullptr, QFileDialog::DontConfirmOverwrite);
    });
    return name;
}

void override_open_dialog(FileDialogOverride answer) { open_override() = std::move(answer); }
void override_save_dialog(FileDialogOverride answer) { save_override() = std::move(answer); }

std::string file_name_bytes(const QString& name) {
    return name.toStdString();
}

} // namespace gnc
