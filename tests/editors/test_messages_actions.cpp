// The actions at the foot of the messages window: programming, saving a
// template, going back and ending, driven through the real windows with a
// recording link port and view.

#include "tests/editors/messages_fixture.h"
#include "tests/support/pdf_reading.h"

#include "windows/end_program.h"
#include "windows/file_dialogs.h"
#include "windows/modal.h"
#include "windows/radio_group.h"
#include "windows/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>

using namespace gnc;
using namespace gnc::test;

namespace {

const QString port_message =
    qs("Zapis ustawień nie może być przeprowadzony, Wybierz port komputera, wyłącz i włącz "
       "urządzenie a następnie nacinij przycisk \"Nawiąż połączenie\"");
const QString refused_message =
    qs("Zapis ustawień nie może być przeprowadzony,skoryguj ustawienia");
const QString centre_message = qs("NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI CENTRUM SMS");

// Settings that compose without a complaint: a defined SMS centre and user.
void make_sound(Settings& settings) {
    settings.sms_centre_number = "48601000310";
    settings.user_number_1 = "600100200";
}

// Answers the save dialog with `name` and counts the questions.
struct SaveDialogAnswer {
    explicit SaveDialogAnswer(FileChoice choice) {
        override_save_dialog([this, choice](const QString& filter) {
            filters << filter;
            return choice;
        });
    }
    ~SaveDialogAnswer() { override_save_dialog({}); }
    QStringList filters;
};

QByteArray image_bytes(const ImageBuffer& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

} // namespace

class TestTForm3Actions : public QObject {
    Q_OBJECT

  private slots:
    void write_without_link_composes_nothing();
    void write_with_wrong_centre_goes_back_to_parameters();
    void write_with_sound_settings_starts_programming();
    void non_integer_seconds_stop_both_actions();
    void template_saved_under_the_typed_name();
    void template_cancel_and_failure();
    void template_dialog_overwrites_without_a_question();
    void report_saved_through_the_second_file_type();
    void back_keeps_edited_texts_in_the_image();
    void close_box_loses_texts_not_composed();
    void exit_ends_the_program();
};

void TestTForm3Actions::write_without_link_composes_nothing() {
    MessagesFixture f;
    f.state.link.link_up = 0;
    f.state.link.watchdog_armed = 1;
    f.through_parameters([&] {
        const ImageBuffer before = f.state.image_buffer;
        f.form3->SpeedButton4->click();
        QVERIFY(f.state.image_buffer == before);
        QVERIFY(f.form3->isVisible());
    });
    QCOMPARE(f.watcher.texts(), QStringList({port_message}));
    QCOMPARE(f.watcher.boxes().front().icon, QMessageBox::Critical);
    QCOMPARE(f.state.link.watchdog_armed, std::uint8_t(0));
    QCOMPARE(f.state.link.programming_on, std::uint8_t(0));
    QCOMPARE(f.view.programming_windows_shown, 0);
}

void TestTForm3Actions::write_with_wrong_centre_goes_back_to_parameters() {
    MessagesFixture f;
    f.state.link.link_up = 1;
    f.state.settings.sms_centre_number.clear();
    bool back_in_parameters = false;
    f.through_parameters([&] { f.form3->SpeedButton4->click(); },
                         [&] {
                             back_in_parameters =
                                 QApplication::activeModalWidget() == f.form2.get() &&
                                 !f.form3->isVisible();
                         });
    QVERIFY(back_in_parameters);
    QCOMPARE(f.watcher.texts(), QStringList({centre_message, refused_message}));
    QCOMPARE(f.state.link.programming_on, std::uint8_t(0));
    QCOMPARE(f.view.programming_windows_shown, 0);
}

void TestTForm3Actions::write_with_sound_settings_starts_programming() {
    MessagesFixture f;
    make_sound(f.state.settings);
    f.state.link.link_up = 1;
    f.state.link.watchdog_armed = 1;
    f.state.link.page_index = 3;
    f.state.link.program_watch_ticks = 9;
    f.timer1.setInterval(50);
    f.through_parameters([&] {
        f.form3->Edit2->setText(QStringLiteral("Brak 230V"));
        f.form3->SpeedButton4->click();
        QVERIFY(f.form3->isVisible());
    });
    QVERIFY(f.watcher.boxes().empty());
    const LinkState& link = f.state.link;
    QCOMPARE(link.watchdog_armed, std::uint8_t(0));
    QCOMPARE(link.programming_on, std::uint8_t(1));
    QCOMPARE(link.page_index, std::uint8_t(0));
    QCOMPARE(link.program_watch_on, std::uint8_t(1));
    QCOMPARE(link.program_watch_ticks, 0);
    QCOMPARE(f.timer1.interval(), 1000);
    QCOMPARE(f.view.programming_windows_shown, 1);
    QCOMPARE(f.view.programming_label, std::string("Trwa zapis ustawień do urządzenia"));
    QCOMPARE(f.view.bar, 0);
    // The image holds both windows' values.
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&f.state.image_buffer[0]), 11),
             QByteArray("48601000310"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&f.state.image_buffer[614]), 10),
             QByteArray("Brak 230V\0", 10));
}

void TestTForm3Actions::non_integer_seconds_stop_both_actions() {
    MessagesFixture f;
    make_sound(f.state.settings);
    f.state.link.link_up = 1;
    SaveDialogAnswer answer(QStringLiteral("/nonexistent/never"));
    f.through_parameters([&] {
        f.form2->RadioGroup4->setItemIndex(0); // "TAK"
        f.form2->Edit5->clear();
        f.form3->SpeedButton3->click();
        f.form3->SpeedButton4->click();
    });
    const QString report = QStringLiteral("'' is not a valid integer value");
    QCOMPARE(f.watcher.texts(), QStringList({report, report}));
    QVERIFY(answer.filters.isEmpty());
    QCOMPARE(f.state.link.programming_on, std::uint8_t(0));
    QCOMPARE(f.view.programming_windows_shown, 0);
}

void TestTForm3Actions::template_saved_under_the_typed_name() {
    MessagesFixture f;
    make_sound(f.state.settings);
    f.state.link.programming_on = 1; // a run still sending pages
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dom"));
    SaveDialogAnswer answer(path);
    f.through_parameters([&] { f.form3->SpeedButton3->click(); });

    QCOMPARE(answer.filters, QStringList({qs("sbn|sbn|Raport ustawień|*.pdf")}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QCOMPARE(saved.size(), 4096);
    QCOMPARE(saved, image_bytes(f.state.image_buffer));
    QCOMPARE(saved.mid(2048), QByteArray(2048, '\xFF'));
    QVERIFY(!QFile::exists(path + QStringLiteral(".sbn")));
    QCOMPARE(f.watcher.texts(),
             QStringList({qs("Operacja zapisu do pliku przeprowadzona pomyślnie")}));
    QCOMPARE(f.watcher.boxes().front().icon, QMessageBox::NoIcon);
    QCOMPARE(f.watcher.boxes().front().title, QString::fromUtf8(application_title));
    QCOMPARE(f.state.link.programming_on, std::uint8_t(0));
}

void TestTForm3Actions::template_cancel_and_failure() {
    MessagesFixture f;
    make_sound(f.state.settings);
    {
        SaveDialogAnswer cancel{QString()};
        f.state.link.programming_on = 1;
        f.through_parameters([&] { f.form3->SpeedButton3->click(); });
        QCOMPARE(cancel.filters.size(), 1);
        QVERIFY(f.watcher.boxes().empty());
        QCOMPARE(f.state.link.programming_on, std::uint8_t(0));
    }
    {
        SaveDialogAnswer unwritable(QStringLiteral("/nonexistent-folder/dom.sbn"));
        f.through_parameters([&] { f.form3->SpeedButton3->click(); });
        QCOMPARE(f.watcher.texts(), QStringList({qs("Operacja zapisu nie powiodła się")}));
    }
    {
        // Refused by the encoder: only its message, no dialog.
        f.state.settings.sms_centre_number.clear();
        f.watcher.clear();
        SaveDialogAnswer never(QStringLiteral("/tmp/never"));
        f.through_parameters([&] { f.form3->SpeedButton3->click(); });
        QVERIFY(never.filters.isEmpty());
        QCOMPARE(f.watcher.texts(), QStringList({centre_message}));
    }
}

// The save dialog's second file type, chosen in the real dialog: the same
// composition, then the report of the composed image instead of the
// template, under the typed name with ".pdf" added; a failure has the
// template's message.
void TestTForm3Actions::report_saved_through_the_second_file_type() {
    MessagesFixture f;
    make_sound(f.state.settings);
    f.state.link.programming_on = 1;
    QTemporaryDir dir;
    const QString path = dir.filePath(qs("raport żółć"));
    QStringList types;
    f.watcher.on_window = [&](QWidget* window) {
        if (auto* dialog = qobject_cast<QFileDialog*>(window)) {
            types = dialog->nameFilters();
            dialog->selectNameFilter(types.value(1));
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        }
    };
    f.through_parameters([&] {
        f.form3->Edit2->setText(QStringLiteral("Brak 230V"));
        f.form3->SpeedButton3->click();
    });
    QCOMPARE(types, QStringList({QStringLiteral("sbn (sbn)"), qs("Raport ustawień (*.pdf)")}));
    QCOMPARE(f.watcher.texts(), QStringList({qs("Raport ustawień został zapisany")}));
    QCOMPARE(f.state.link.programming_on, std::uint8_t(0));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(first_missing_in_order(read_pdf(path + QStringLiteral(".pdf")).text,
                                    {qs("ustawienia wprowadzone w programie"),
                                     QStringLiteral("PLUS, 48601000310"),
                                     QStringLiteral("0+ zanik zasilania Brak 230V")}),
             QString());

    f.watcher.clear();
    f.watcher.on_window = {};
    SaveDialogAnswer unwritable(FileChoice(QStringLiteral("/nonexistent-folder/raport.pdf"), 1));
    f.through_parameters([&] { f.form3->SpeedButton3->click(); });
    QCOMPARE(f.watcher.texts(), QStringList({qs("Operacja zapisu nie powiodła się")}));
}

// The real save dialog: an existing file of the typed name is overwritten
// without a question, and the name gets no extension.
void TestTForm3Actions::template_dialog_overwrites_without_a_question() {
    MessagesFixture f;
    make_sound(f.state.settings);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dom"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    int dialogs = 0;
    bool asks_before_overwriting = true;
    f.watcher.on_window = [&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (dialog == nullptr)
            return;
        ++dialogs;
        asks_before_overwriting = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->setOption(QFileDialog::DontConfirmOverwrite); // never hang on a question
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's Save button
    };
    f.through_parameters([&] { f.form3->SpeedButton3->click(); });

    QCOMPARE(dialogs, 1);
    QVERIFY(!asks_before_overwriting);
    QCOMPARE(f.watcher.texts(),
             QStringList({qs("Operacja zapisu do pliku przeprowadzona pomyślnie")}));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), image_bytes(f.state.image_buffer));
}

void TestTForm3Actions::back_keeps_edited_texts_in_the_image() {
    MessagesFixture f;
    QByteArray page0_before;
    f.through_parameters([&] {
        f.form3->Edit2->setText(QStringLiteral("Brak zasilania 230V"));
        f.form3->Edit16->clear();
        f.form3->Edit16->setText(QStringLiteral("Kontrola"));
        f.form3->CheckBox1->setChecked(false);
        page0_before = image_bytes(f.state.image_buffer).left(512);
        f.form3->SpeedButton2->click();
        QVERIFY(!f.form3->isVisible());
    });
    const QByteArray image = image_bytes(f.state.image_buffer);
    QCOMPARE(image.left(512), page0_before);
    QCOMPARE(image.mid(614, 20), QByteArray("Brak zasilania 230V\0", 20));
    QCOMPARE(image.mid(1944, 9), QByteArray("Kontrola\0", 9));
    QCOMPARE(f.state.settings.power_loss_text, std::string("Brak zasilania 230V"));
    QCOMPARE(f.state.settings.test_message_on, std::uint8_t(0));

    f.through_parameters([&] {
        QCOMPARE(f.form3->Edit2->text(), QStringLiteral("Brak zasilania 230V"));
        QCOMPARE(f.form3->Edit16->text(), QStringLiteral("Kontrola"));
        QCOMPARE(f.form3->Edit3->text(), QStringLiteral("Powrot zasilania"));
    });
    QVERIFY(f.watcher.boxes().empty());
}

void TestTForm3Actions::close_box_loses_texts_not_composed() {
    MessagesFixture f;
    f.through_parameters([&] {
        f.form3->Edit2->setText(QStringLiteral("Nie zapisany"));
        f.form3->close();
    });
    QCOMPARE(f.state.settings.power_loss_text, std::string("Nie zapisany"));
    f.through_parameters(
        [&] { QCOMPARE(f.form3->Edit2->text(), QStringLiteral("Zanik zasilania")); });
}

void TestTForm3Actions::exit_ends_the_program() {
    MessagesFixture f;
    int endings = 0;
    override_end_program([&] { ++endings; });
    f.in_messages_window([&] {
        const ImageBuffer before = f.state.image_buffer;
        f.form3->SpeedButton5->click();
        QVERIFY(f.state.image_buffer == before);
    });
    override_end_program({});
    QCOMPARE(endings, 1);
    QVERIFY(f.watcher.boxes().empty());
}

QTEST_MAIN(TestTForm3Actions)
#include "test_messages_actions.moc"
