// gsm-notifier-config: programs a GSM SMS alarm notifier over a serial cable.

#include "app/app_windows.h"
#include "app/toolkit_language.h"
#include "gnc_version.h"
#include "resources/resource_paths.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before the toolkit starts, so no display is needed for them.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("gsm-notifier-config " GNC_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::puts("usage: gsm-notifier-config [--version | --help]\n"
                  "Programs a GSM SMS alarm notifier over a serial cable.");
        return 0;
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
