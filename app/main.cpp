// gsm-notifier-config: programs a GSM SMS alarm notifier over a serial cable.

#include "app/app_windows.h"
#include "app/command_line.h"
#include "app/toolkit_language.h"
#include "resources/resource_paths.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
    if (const auto status = gnc::run_command_line({argv, argv + argc}, std::cout)) {
        return *status;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gsm-notifier-config"));
    QApplication::setDesktopFileName(QStringLiteral("gsm-notifier-config"));
    QApplication::setWindowIcon(gnc::pictures::application_icon());
    gnc::install_polish_toolkit_texts(application);
    gnc::AppWindows windows;
    windows.show();
    return QApplication::exec();
}
