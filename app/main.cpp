// gsm-notifier-config: programs a GSM SMS alarm notifier over a serial cable.

#include "app/app_windows.h"
#include "app/toolkit_language.h"
#include "resources/resource_paths.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gsm-notifier-config"));
    QApplication::setDesktopFileName(QStringLiteral("gsm-notifier-config"));
    QApplication::setWindowIcon(gnc::pictures::application_icon());
    gnc::install_polish_toolkit_texts(application);
    gnc::AppWindows windows;
    windows.show();
    return QApplication::exec();
}
