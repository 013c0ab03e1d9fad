// A completed read in the configurator also leaves a backup template, and a
// backup that cannot be saved does not disturb the read.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/parameters_window.h"
#include "image/template_file.h"
#include "tests/app/app_test_support.h"
#include "tests/link/link_fakes.h"
#include "tests/support/modal_watcher.h"
#include "windows/read_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace gnc;
using gnc::test::later;

class TestReadBackup : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    QByteArray saved_data_home;

    struct ReadResult {
        QString label;
        QString user1;
        std::string origin; // as the settings report will name it
    };

    // Reads the device through the read button and the read window's OK, as
    // a user does, with a prompt fake device holding user 1's number.
    ReadResult read_device() {
        test::FakePort port;
        test::FakeDevice device(port);
        const ImageBuffer image = test::image_with_user_number("48601234567");
        std::copy_n(image.begin(), device.memory.size(), device.memory.begin());
        AppWindows app(&port);
        app.show();
        TForm1& main = app.main_window();
        Forms& forms = app.forms();
        port.open("COM1");
        main.Timer1->stop();
        main.Timer2->stop();
        main.link.link_up = 1;
        ReadResult result;
        test::ModalWatcher watcher;
        watcher.on_window = [&](QWidget* window) {
            if (window == forms.form4)
                later([&] {
                    for (int tick = 0; tick < 5; ++tick)
                        main.Timer1Timer();
                    result.label = forms.form4->Label1->text();
                    forms.form4->Button1->click();
                });
            if (window == forms.form2)
                later([&] {
                    result.user1 = forms.form2->Edit8->text();
                    forms.form2->close();
                });
        };
        test::SafetyNet net(forms, 10000);
        main.SpeedButton5->click();
        result.origin = main.settings_origin;
        return result;
    }

    QStringList backups() const {
        return QDir(home.filePath("data/gsm-notifier-config/backups"))
            .entryList({QStringLiteral("*.sbn")}, QDir::Files);
    }

  private slots:
    void initTestCase() { saved_data_home = qgetenv("XDG_DATA_HOME"); }
    void cleanupTestCase() { qputenv("XDG_DATA_HOME", saved_data_home); }

    void a_completed_read_leaves_a_backup() {
        qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
        const ReadResult read = read_device();
        QCOMPARE(read.label, QString::fromUtf8("Ustawienia zostały pobrane"));
        QCOMPARE(read.origin, std::string("odczyt z urządzenia przez port COM1"));
        const QStringList files = backups();
        QCOMPARE(files.size(), 1);
        ImageBuffer backup{};
        QVERIFY(load_template(
            home.filePath("data/gsm-notifier-config/backups/" + files[0]).toStdString(), backup));
        // What the device holds, the second half erased as after any read
        // (the image buffer itself moves on once the parameters window stores).
        QVERIFY(backup == test::image_with_user_number("48601234567"));
    }

    void an_unusable_backup_folder_does_not_disturb_the_read() {
        QFile blocker(home.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        qputenv("XDG_DATA_HOME", blocker.fileName().toLocal8Bit());
        const ReadResult read = read_device();
        QCOMPARE(read.label, QString::fromUtf8("Ustawienia zostały pobrane"));
        QCOMPARE(read.user1, QStringLiteral("48601234567"));
        QVERIFY(QFileInfo(blocker.fileName()).isFile());
    }
};

QTEST_MAIN(TestReadBackup)
#include "test_read_backup.moc"
