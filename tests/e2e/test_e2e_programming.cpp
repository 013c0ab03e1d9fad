// The whole road through the real windows and the real serial code against
// the simulated device: connect, read, change a user number, a mask and an
// alarm text, save a template, program, and read the device again.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "editors/message_fields.h"
#include "editors/parameters_window.h"
#include "editors/messages_window.h"
#include "image/encoder.h"
#include "tests/editors/messages_fixture.h"
#include "tests/support/modal_watcher.h"
#include "windows/file_dialogs.h"
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
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace gnc;
using namespace gnc::test;

namespace {

constexpr int link_wait_ms = 30000;

// A device memory that composes cleanly: an SMS centre, user 1 in the SMS
// mask only, the factory texts.
QByteArray sound_memory() {
    EncoderInput input;
    input.parameters.Edit7 = "48601000310";
    input.parameters.Edit8 = "600100200";
    input.parameters.Edit9 = "600100300";
    input.parameters.CheckBox17 = true;
    input.parameters.sms_mask_boxes = {true, false, false, false};
    input.parameters.ring_mask_boxes = {true, true, true, true};
    input.parameters.input_mask_boxes = {true, true, true, true, true, true, true, true};
    input.parameters.RadioGroup2 = input.parameters.RadioGroup3 = 1;
    input.parameters.RadioGroup4 = input.parameters.RadioGroup5 = 1;
    input.parameters.Edit1 = "20";
    for (std::size_t i = 0; i < message_field_count; ++i)
        input.messages.texts[i] = to_cp1250(qs(message_fields()[i].factory_text));
    ImageBuffer image;
    image.fill(0xFF);
    Settings settings;
    compose_image(image, settings, input, [](const std::string& message) {
        qWarning("unexpected composition message: %s", message.c_str());
    });
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(settings_image_size));
}

QByteArray file_contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestE2eProgramming : public QObject {
    Q_OBJECT

  private slots:
    void connect_read_edit_program_and_read_again();

  private:
    bool start_device(QProcess& sim, const QTemporaryDir& dir);
};

bool TestE2eProgramming::start_device(QProcess& sim, const QTemporaryDir& dir) {
    QFile memory(dir.filePath(QStringLiteral("memory.bin")));
    if (!memory.open(QIODevice::WriteOnly) || memory.write(sound_memory()) != 2048)
        return false;
    memory.close();
    sim.start(QStringLiteral(GNC_SIM_PATH),
              {QStringLiteral("--offer-interval"), QStringLiteral("200"),
               QStringLiteral("--memory"), memory.fileName(), QStringLiteral("--save"),
               dir.filePath(QStringLiteral("saved.bin"))});
    if (!sim.waitForStarted(5000))
        return false;
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(5000))
            return false;
    const QByteArray pty = sim.readLine().trimmed();
    qputenv("GSM_NOTIFIER_COM1", pty);
    return !pty.isEmpty();
}

void TestE2eProgramming::connect_read_edit_program_and_read_again() {
    QTemporaryDir dir;
    QProcess sim;
    QVERIFY(start_device(sim, dir));
    const QString template_path = dir.filePath(QStringLiteral("dom"));
    const QString saved_path = dir.filePath(QStringLiteral("saved.bin"));
    override_save_dialog([&](const QString&) { return template_path; });

    AppWindows app;
    app.show();
    Forms& forms = app.forms();
    MainState& state = *forms.state;
    TForm2& form2 = *forms.form2;
    TForm3& form3 = *forms.form3;
    ModalWatcher watcher;

    // Connect: the connect window closes itself once the device answered.
    QTimer::singleShot(link_wait_ms, forms.form6, [&] { forms.form6->close(); });
    app.main_window().SpeedButton1->click();
    QCOMPARE(state.link.link_up, std::uint8_t(1));

    // Read, then edit in both windows, save a template and program.
    bool programmed = false;
    when_in_front(*forms.form4, [&] {
        wait_until([&] { return forms.form4->Label1->text() == qs("Ustawienia zostały pobrane"); },
                   link_wait_ms);
        when_in_front(form2, [&] {
            wait_until([&] { return state.parameter_rules_armed == 1; });
            form2.Edit9->setText(QStringLiteral("600100301"));
            form2.CheckBox2->setChecked(true); // SMS mask, user 2
            when_in_front(form3, [&] {
                form3.Edit4->setText(QStringLiteral("Alarm w kuchni"));
                form3.SpeedButton3->click();
                when_in_front(*forms.form5, [&] {
                    programmed = wait_until(
                        [&] {
                            return forms.form5->Label1->text() ==
                                   qs("Programowanie urządzenia zakończono pomyślnie");
                        },
                        link_wait_ms);
                    forms.form5->Button1->click();
                });
                form3.SpeedButton4->click();
                form3.close();
            });
            form2.SpeedButton1->click();
            form2.close();
        });
        forms.form4->Button1->click();
    });
    app.main_window().SpeedButton5->click();
    override_save_dialog({});
    QVERIFY(programmed);
    QCOMPARE(watcher.texts(),
             QStringList({qs("Operacja zapisu do pliku przeprowadzona pomyślnie")}));

    // The device holds exactly the settings image of the template.
    const QByteArray saved_template = file_contents(template_path);
    QCOMPARE(saved_template.size(), 4096);
    QVERIFY(
        wait_until([&] { return file_contents(saved_path) == saved_template.left(2048); }, 5000));

    // A fresh read shows the changes.
    state.settings = Settings{};
    when_in_front(*forms.form4, [&] {
        wait_until([&] { return forms.form4->Label1->text() == qs("Ustawienia zostały pobrane"); },
                   link_wait_ms);
        forms.form4->close();
    });
    app.main_window().SpeedButton5->click();
    QCOMPARE(state.settings.user_number_2, std::string("600100301"));
    QCOMPARE(state.settings.sms_mask, std::uint8_t(0x08 | 0x04));
    QCOMPARE(state.settings.input1_activation_text, std::string("Alarm w kuchni"));
    QCOMPARE(state.settings.sms_centre_number, std::string("48601000310"));

    sim.terminate();
    sim.waitForFinished(5000);
}

QTEST_MAIN(TestE2eProgramming)
#include "test_e2e_programming.moc"
