#pragma once
// Where a serial port's lock file may lie. QSerialPort puts it in the first
// of several folders that the user may write in (/var/lock on Debian, which
// is /run/lock), so a test looks in all of them rather than in one that
// another system, or a user without rights there, would not use.

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace gnc::test {

inline QStringList lock_folders() {
    return {QStringLiteral("/var/lock"),
            QStringLiteral("/etc/locks"),
            QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp"),
            QStringLiteral("/var/lock/lockdev"),
            QStringLiteral("/run/lock"),
            QDir::tempPath()};
}

// "LCK..pts_3" for /dev/pts/3, "LCK.._tmp_x_com1" for /tmp/x/com1.
inline QString lock_file_name(const QString& device) {
    QString name = device.startsWith(QStringLiteral("/dev/")) ? device.mid(5) : device;
    return QStringLiteral("LCK..") + name.replace('/', '_');
}

inline bool lock_file_exists(const QString& device) {
    for (const QString& folder : lock_folders()) {
        if (QFile::exists(folder + '/' + lock_file_name(device))) {
            return true;
        }
    }
    return false;
}

} // namespace gnc::test
