// Opens COM1 through the configurator's serial port and ends: exit status 0
// when it opened, 3 when it did not. The open-failure tests run it as another
// process to read what it writes on stderr.

#include "link/serial_port.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gsm-notifier-config"));
    gnc::SerialPort port;
    return port.open("COM1") ? 0 : 3;
}
