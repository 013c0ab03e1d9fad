// The demo device as a newcomer meets it: the simulated device starts from
// the committed demo template, its settings are read into the real windows,
// one value is changed, and the device is programmed back without a single
// message box.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "tests/editors/messages_fixture.h"
#include "tests/support/demo_road.h"
#include "tests/support/modal_watcher.h"
#include "tools/demo/demo_settings.h"
#include "windows/connect_window.h"
#include "windows/programming_window.h"
#include "windows/radio_group.h"
#include "windows/read_window.h"
#include "windows/text.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace gnc;
using namespace gnc::test;

namespace {

constexpr int link_wait_ms = 30000;

QByteArray file_contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestE2eDemo : public QObject {
    Q_OBJECT

  private slots:
    void demo_reads_into_the_windows_and_programs_back_without_a_message();
};

void TestE2eDemo::demo_reads_into_the_windows_and_programs_back_without_a_message() {
    QTemporaryDir dir;
    const QString saved_path = dir.filePath(QStringLiteral("saved.bin"));
    QProcess sim;
    auto stop_simulator = qScopeGuard([&] {
        sim.terminate();
        sim.waitForFinished(5000);
    });
    sim.start(QStringLiteral(GNC_SIM_PATH),
              {QStringLiteral("--offer-interval"), QStringLiteral("200"),
               QStringLiteral("--memory"), QStringLiteral(DEMO_TEMPLATE), QStringLiteral("--save"),
               saved_path});
    QVERIFY(sim.waitForStarted(5000));
    QVERIFY(wait_until([&] { return sim.canReadLine(); }, 5000));
    qputenv("GSM_NOTIFIER_COM1", sim.readLine().trimmed());

    AppWindows app;
    ModalWatcher watcher;
    const DemoRoadSeen seen = walk_the_demo_road(app, QStringLiteral("40"), link_wait_ms);
    QVERIFY(seen.link_up);

    QCOMPARE(seen.operator_shown, QStringLiteral("PLUS"));
    QCOMPARE(seen.seconds_shown, QStringLiteral("45"));
    QCOMPARE(seen.user2_shown, QStringLiteral("48600100300"));
    QCOMPARE(seen.text_shown, QStringLiteral("Alarm! Ruch w salonie"));
    QVERIFY(seen.programmed);
    QCOMPARE(watcher.texts(), QStringList());
    // The device holds the demo settings with only the daily limit changed:
    // everything else went through the windows and back unchanged.
    const QByteArray expected = demo_memory_with_daily_limit("40");
    QVERIFY(wait_until([&] { return file_contents(saved_path) == expected; }, 5000));
}

QTEST_MAIN(TestE2eDemo)
#include "test_e2e_demo.moc"
