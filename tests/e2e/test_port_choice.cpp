// The port box with two pseudo-terminals in the list of ports: a silent one
// (its far end kept here) and the demo device, read and programmed through
// the windows; the silent port gets no byte and leaves the list once gone.

#include "app/main_window.h"
#include "link/port_choices.h"
#include "link/serial_devices.h"
#include "tests/support/demo_road.h"
#include "tests/support/lock_files.h"
#include "tests/support/modal_watcher.h"
#include "windows/text.h"

#include <QComboBox>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace gnc;
using namespace gnc::test;

class TestPortChoice : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString silent_path_;
    QString sim_path_;
    int silent_master_ = -1;
    QProcess sim_;
    std::unique_ptr<AppWindows> app_;

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QComboBox& box() const { return *app_->main_window().ComboBox1; }
    QStringList items(int role) const { // as the list shows them when opened
        box().showPopup();
        box().hidePopup();
        QStringList texts;
        for (int i = 0; i < box().count(); ++i)
            texts << box().itemData(i, role).toString();
        return texts;
    }

  private slots:
    void initTestCase() { // the eight names reach nothing: the machine's ports stay out
        qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
        char name[256] = {};
        int slave = -1;
        QVERIFY(openpty(&silent_master_, &slave, name, nullptr, nullptr) == 0);
        ::close(slave);
        fcntl(silent_master_, F_SETFD, FD_CLOEXEC); // the simulator must not hold it
        fcntl(silent_master_, F_SETFL, O_NONBLOCK);
        silent_path_ = QString::fromLocal8Bit(name);
        sim_.start(GNC_SIM_PATH, {"--offer-interval", "200", "--memory", DEMO_TEMPLATE, "--save",
                                  path("saved.bin"), "--link", path("device")});
        QVERIFY(sim_.waitForStarted(5000) && wait_until([&] { return sim_.canReadLine(); }));
        sim_path_ = QString::fromLocal8Bit(sim_.readLine().trimmed());
        override_port_sources([this] {
            PortSources sources;
            sources.default_device = [](int n) { return "/nonexistent/ttyS" + std::to_string(n); };
            for (const auto& [device, product] :
                 {std::pair{silent_path_, "Cichy"}, std::pair{sim_path_, "Symulator"}}) {
                if (QFileInfo::exists(device))
                    sources.devices.push_back({device.toStdString(), "", "", product, "", ""});
            }
            return sources;
        });
        app_ = std::make_unique<AppWindows>();
    }

    void cleanupTestCase() {
        app_.reset();
        override_port_sources({});
        sim_.terminate();
        sim_.waitForFinished(5000);
    }

    void the_list_holds_every_port_after_the_eight() {
        QCOMPARE(items(Qt::DisplayRole).mid(7),
                 (QStringList{"COM8", silent_path_, sim_path_, qs(all_ports_name)}));
        QCOMPARE(items(Qt::ToolTipRole).mid(9),
                 (QStringList{sim_path_ + " (Symulator)", qs(all_ports_tooltip)}));
    }

    void device_on_the_port_chosen_data() { add_port_choice_rows(); }
    void device_on_the_port_chosen() {
        QFETCH(QString, how);
        ModalWatcher watcher; // typed: the simulator's link
        QVERIFY(demo_road_on_port(*app_, how, sim_path_, path("device"), path("saved.bin"), 30000));
        QCOMPARE(watcher.texts(), QStringList());
        const QString port = how == "typed" ? path("device") : sim_path_;
        QCOMPARE(app_->main_window().port_name, port.toStdString());
        QCOMPARE(box().currentText(), port);
        QVERIFY(!lock_file_exists(silent_path_)); // opened by the search or never, and got nothing
        char byte = 0;
        QCOMPARE(::read(silent_master_, &byte, 1), ssize_t(-1));
    }

    void a_port_gone_is_gone_from_the_list() {
        ::close(silent_master_);
        QVERIFY(wait_until([&] { return !QFileInfo::exists(silent_path_); }));
        QCOMPARE(items(Qt::DisplayRole).mid(8), (QStringList{sim_path_, qs(all_ports_name)}));
    }
};

QTEST_MAIN(TestPortChoice)
#include "test_port_choice.moc"
