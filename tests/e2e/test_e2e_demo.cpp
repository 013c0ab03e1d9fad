// The demo device as a newcomer meets it: the simulated device starts from
// the committed demo template, its settings are read into the real windows,
// one value is changed, and the device is programmed back without a single
// message box.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/parameters_window.h"
#include "editors/messages_window.h"
#include "tests/editors/messages_fixture.h"
#include "tests/support/modal_watcher.h"
#include "tools/demo/demo_settings.h"
#include "windows/radio_group.h"
#include "windows/text.h"
#include "windows/read_window.h"
#include "windows/programming_window.h"
#include "windows/connect_window.h"

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

// The device memory the demo settings give with the daily limit changed.
QByteArray demo_memory_with_daily_limit(const std::string& limit) {
    EncoderInput input = demo::demo_controls();
    input.parameters.Edit1 = limit;
    ImageBuffer image;
    image.fill(0xFF);
    Settings settings;
    compose_image(image, settings, input, [](const std::string&) {});
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(settings_image_size));
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
    app.show();
    Forms& forms = app.forms();
    TForm2& form2 = *forms.form2;
    TForm3& form3 = *forms.form3;
    ModalWatcher watcher;

    QTimer::singleShot(link_wait_ms, forms.form6, [&] { forms.form6->close(); });
    app.main_window().SpeedButton1->click();
    QCOMPARE(forms.state->link.link_up, std::uint8_t(1));

    bool programmed = false;
    QString operator_shown, seconds_shown, user2_shown, text_shown;
    when_in_front(*forms.form4, [&] {
        wait_until([&] { return forms.form4->Label1->text() == qs("Ustawienia zostały pobrane"); },
                   link_wait_ms);
        when_in_front(form2, [&] {
            wait_until([&] { return forms.state->parameter_rules_armed == 1; });
            operator_shown = form2.radiogroup6->item(form2.radiogroup6->ItemIndex())->text();
            seconds_shown = form2.Edit5->text();
            user2_shown = form2.Edit9->text();
            form2.Edit1->setText(QStringLiteral("40"));
            when_in_front(form3, [&] {
                text_shown = form3.Edit4->text();
                when_in_front(*forms.form5, [&] {
                    programmed = wait_until(
                        [&] {
                            return forms.form5->Label1->text() ==
                                   qs("Programowanie urządzenia zakończono pomyślnie");
                        },
                        link_wait_ms);
                    forms.form5->Button1->click();
                });
                form3.SpeedButton4->click(); // "Zapis ustawień do urządzenia"
                form3.close();
            });
            form2.SpeedButton1->click();
            form2.close();
        });
        forms.form4->Button1->click();
    });
    app.main_window().SpeedButton5->click();

    QCOMPARE(operator_shown, QStringLiteral("PLUS"));
    QCOMPARE(seconds_shown, QStringLiteral("45"));
    QCOMPARE(user2_shown, QStringLiteral("48600100300"));
    QCOMPARE(text_shown, QStringLiteral("Alarm! Ruch w salonie"));
    QVERIFY(programmed);
    QCOMPARE(watcher.texts(), QStringList());
    // The device holds the demo settings with only the daily limit changed:
    // everything else went through the windows and back unchanged.
    const QByteArray expected = demo_memory_with_daily_limit("40");
    QVERIFY(wait_until([&] { return file_contents(saved_path) == expected; }, 5000));
}

QTEST_MAIN(TestE2eDemo)
#include "test_e2e_demo.moc"
