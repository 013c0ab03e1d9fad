// End to end: the configurator's own windows and serial port against the
// simulated device, with the real timer intervals. Connect, read the
// device's settings and open the parameters window with the read window's OK.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/parameters_window.h"
#include "tests/app/app_test_support.h"
#include "tests/support/modal_watcher.h"
#include "windows/read_window.h"
#include "windows/connect_window.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace gnc;
using gnc::test::later;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// Starts the simulator and returns the terminal path it prints first.
QString start_simulator(QProcess& sim, const QStringList& arguments) {
    sim.start(QStringLiteral(GNC_SIM_PATH), arguments);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
        return {};
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

} // namespace

class TestConnectRead : public QObject {
    Q_OBJECT

  private slots:
    void connect_read_and_open_the_parameters_window() {
        QTemporaryDir folder;
        const ImageBuffer image = test::image_with_user_number("600700800");
        const QString memory_file = folder.filePath(QStringLiteral("memory.bin"));
        QFile memory(memory_file);
        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write(reinterpret_cast<const char*>(image.data()), settings_image_size);
        memory.close();

        QProcess sim;
        auto stop_simulator = qScopeGuard([&] {
            sim.terminate();
            sim.waitForFinished(5000);
        });
        // COM1 reaches the simulator through a symbolic link, as in the demo.
        const QString link = folder.filePath(QStringLiteral("com1"));
        const QString terminal = start_simulator(
            sim, {QStringLiteral("--memory"), memory_file, QStringLiteral("--link"), link});
        QVERIFY2(!terminal.isEmpty(), "the simulator did not start");
        QVERIFY(test::wait_until([&] { return QFileInfo::exists(link); }, 5000));
        qputenv("GSM_NOTIFIER_COM1", link.toLocal8Bit());

        AppWindows app;
        app.show();
        TForm1& main = app.main_window();
        Forms& forms = app.forms();
        test::SafetyNet net(forms, 25000);
        test::ModalWatcher watcher;
        std::vector<QWidget*> shown;
        QString user1;
        bool read_image_matches = false;
        QTimer read_done;
        read_done.setInterval(100);
        connect(&read_done, &QTimer::timeout, [&] {
            if (forms.form4->Label1->text() != utf8("Ustawienia zostały pobrane"))
                return;
            read_done.stop();
            read_image_matches = std::equal(image.begin(), image.begin() + settings_image_size,
                                            main.image_buffer.begin());
            later([&] { forms.form4->Button1->click(); });
        });
        watcher.on_window = [&](QWidget* window) {
            shown.push_back(window);
            if (window == forms.form4)
                read_done.start();
            if (window == forms.form2)
                later([&] {
                    user1 = forms.form2->Edit8->text();
                    forms.form2->close();
                });
        };

        // The connect window closes by itself about two seconds after the
        // device's connect frame was answered.
        later([&] { main.SpeedButton1->click(); });
        QVERIFY(test::wait_until(
            [&] { return !shown.empty() && !forms.form6->isVisible() && main.link.link_up == 1; },
            15000));
        QCOMPARE(main.Label5->text(), utf8("Połączenie z urządzeniem nawiązane"));

        later([&] { main.SpeedButton5->click(); });
        QVERIFY(test::wait_until([&] { return !user1.isEmpty() || net.fired(); }, 20000));
        QVERIFY(!net.fired());
        QCOMPARE(shown, (std::vector<QWidget*>{forms.form6, forms.form4, forms.form2}));
        QCOMPARE(user1, QStringLiteral("600700800"));
        QVERIFY(read_image_matches);
    }
};

QTEST_MAIN(TestConnectRead)
#include "test_connect_read.moc"
