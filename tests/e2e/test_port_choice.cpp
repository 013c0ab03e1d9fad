// The port box against two pseudo-terminals that the machine's list of
// serial ports is made to hold: a silent one, whose other end this test
// keeps and reads, and the simulated demo device. The device is reached,
// read and programmed through the real windows on the port chosen from the
// list, on a name typed into the box, and through "Wszystkie porty"; the
// silent port never receives a byte, and it leaves the list once it is gone.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "link/port_choices.h"
#include "link/serial_devices.h"
#include "tests/support/demo_road.h"
#include "tests/support/lock_files.h"
#include "tests/support/modal_watcher.h"
#include "windows/text.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace gnc;
using namespace gnc::test;

namespace {

constexpr int link_wait_ms = 30000;

QByteArray file_contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList items_of(const QComboBox& box, int role) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemData(i, role).toString();
    return items;
}

} // namespace

class TestPortChoice : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void the_list_holds_every_port_after_the_eight();
    void device_is_read_and_programmed_on_the_port_chosen_data();
    void device_is_read_and_programmed_on_the_port_chosen();
    void a_port_gone_is_gone_from_the_list();

  private:
    QString silent_path_;
    QString sim_path_;
    int silent_master_ = -1;
    QTemporaryDir dir_;
    QProcess sim_;
    std::unique_ptr<AppWindows> app_;
};

// Neither of the eight names reaches anything here: the machine's own ports
// stay out of the test.
void TestPortChoice::initTestCase() {
    qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("data")).toLocal8Bit());
    char name[256] = {};
    int slave = -1;
    QVERIFY(openpty(&silent_master_, &slave, name, nullptr, nullptr) == 0);
    termios line{};
    tcgetattr(slave, &line);
    cfmakeraw(&line);
    tcsetattr(slave, TCSANOW, &line);
    ::close(slave);
    fcntl(silent_master_, F_SETFL, O_NONBLOCK);
    fcntl(silent_master_, F_SETFD, FD_CLOEXEC); // the simulator must not hold it
    silent_path_ = QString::fromLocal8Bit(name);

    sim_.start(QStringLiteral(GNC_SIM_PATH),
               {QStringLiteral("--offer-interval"), QStringLiteral("200"),
                QStringLiteral("--memory"), QStringLiteral(DEMO_TEMPLATE), QStringLiteral("--save"),
                dir_.filePath(QStringLiteral("saved.bin")), QStringLiteral("--link"),
                dir_.filePath(QStringLiteral("device"))});
    QVERIFY(sim_.waitForStarted(5000));
    QVERIFY(wait_until([&] { return sim_.canReadLine(); }, 5000));
    sim_path_ = QString::fromLocal8Bit(sim_.readLine().trimmed());

    override_port_sources([this] {
        PortSources sources;
        sources.default_device = [](int n) { return "/nonexistent/ttyS" + std::to_string(n); };
        for (const auto& [path, product] :
             {std::pair{silent_path_, "Cichy adapter"}, std::pair{sim_path_, "Symulator"}}) {
            if (QFileInfo::exists(path))
                sources.devices.push_back({path.toStdString(), "", "", product, "", ""});
        }
        return sources;
    });
    app_ = std::make_unique<AppWindows>();
}

void TestPortChoice::cleanupTestCase() {
    app_.reset();
    override_port_sources({});
    sim_.terminate();
    sim_.waitForFinished(5000);
    if (silent_master_ >= 0)
        ::close(silent_master_);
}

void TestPortChoice::the_list_holds_every_port_after_the_eight() {
    QComboBox& box = *app_->main_window().ComboBox1;
    box.showPopup();
    box.hidePopup();
    const QStringList shown = items_of(box, Qt::DisplayRole);
    QCOMPARE(shown.mid(8), (QStringList{silent_path_, sim_path_, qs(all_ports_name)}));
    QCOMPARE(shown.first(), QStringLiteral("COM1"));
    QCOMPARE(box.currentText(), QStringLiteral("COM1"));
    const QStringList tips = items_of(box, Qt::ToolTipRole);
    QCOMPARE(tips.at(9), sim_path_ + QStringLiteral(" (Symulator)"));
    QCOMPARE(tips.last(), qs(all_ports_tooltip));
}

void TestPortChoice::device_is_read_and_programmed_on_the_port_chosen_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("limit");
    QTest::newRow("chosen from the list") << "list"
                                          << "41";
    QTest::newRow("typed into the box") << "typed"
                                        << "42";
    QTest::newRow("Wszystkie porty") << "all"
                                     << "43";
}

void TestPortChoice::device_is_read_and_programmed_on_the_port_chosen() {
    QFETCH(QString, how);
    QFETCH(QString, limit);
    TForm1& main = app_->main_window();
    QComboBox& box = *main.ComboBox1;
    box.showPopup();
    box.hidePopup();
    box.setCurrentIndex(0);
    if (how == "list") {
        box.setCurrentIndex(box.findText(sim_path_));
    } else if (how == "all") {
        box.setCurrentIndex(box.count() - 1);
    } else {
        // The simulator's link: a name that no item holds.
        box.lineEdit()->setText(dir_.filePath(QStringLiteral("device")));
        QTest::keyClick(box.lineEdit(), Qt::Key_Return);
        QCOMPARE(main.port_name, dir_.filePath(QStringLiteral("device")).toStdString());
    }
    ModalWatcher watcher;
    const DemoRoadSeen seen = walk_the_demo_road(*app_, limit, link_wait_ms);
    QVERIFY(seen.link_up);
    QVERIFY(seen.programmed);
    QCOMPARE(watcher.texts(), QStringList());
    QVERIFY(wait_until(
        [&] {
            return file_contents(dir_.filePath(QStringLiteral("saved.bin"))) ==
                   demo_memory_with_daily_limit(limit.toStdString());
        },
        5000));
    if (how == "all") {
        QCOMPARE(box.currentText(), sim_path_);
        QCOMPARE(main.port_name, sim_path_.toStdString());
    }
    // The silent port, opened by the search or never, holds no lock and got
    // nothing.
    QVERIFY(!lock_file_exists(silent_path_));
    char byte = 0;
    QCOMPARE(::read(silent_master_, &byte, 1), ssize_t(-1));
}

void TestPortChoice::a_port_gone_is_gone_from_the_list() {
    ::close(silent_master_);
    silent_master_ = -1;
    QVERIFY(wait_until([&] { return !QFileInfo::exists(silent_path_); }, 5000));
    QComboBox& box = *app_->main_window().ComboBox1;
    box.showPopup();
    box.hidePopup();
    QCOMPARE(items_of(box, Qt::DisplayRole).mid(8), (QStringList{sim_path_, qs(all_ports_name)}));
}

QTEST_MAIN(TestPortChoice)
#include "test_port_choice.moc"
