#include "app/configurator.h"

#include "app/app_windows.h"
#include "app/toolkit_language.h"
#include "resources/resource_paths.h"
#include "windows/end_program.h"

#include <QApplication>

namespace gnc {

int run_configurator(int argc, char** argv, const std::function<void(AppWindows&)>& after_start) {
    ignore_file_size_signal();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gsm-notifier-config"));
    QApplication::setDesktopFileName(QStringLiteral("gsm-notifier-config"));
    QApplication::setWindowIcon(pictures::application_icon());
    install_polish_toolkit_texts(application);
    release_on_ending_signals();
    AppWindows windows;
    windows.show();
    if (after_start)
        after_start(windows);
    return QApplication::exec();
}

} // namespace gnc
