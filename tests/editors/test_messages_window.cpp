// The messages window's field rules, activation and deactivation, driven
// through key clicks and program changes with the message boxes answered.

#include "tests/editors/messages_fixture.h"

#include "image/decoder.h"
#include "windows/box_state.h"
#include "windows/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace gnc;
using namespace gnc::test;

namespace {

const QString header_too_long =
    qs("Definicja treści nagłówka komunikatu alarmowego nie moze przekraczać 50 znaków");
const QString alarm_too_long =
    qs("Definicja treści komunikatu alarmowego nie moze przekraczać 100 znaków");
const QString range_message =
    qs("Index użytkownika - pozycja na której użytkownik zapisany jest w systemie ma zawierać "
       "się w przedziałe od 1 do 4 ");

// The Polish-letter message of each text field, in slot order.
const QStringList polish_messages{
    qs("Definicja treści nagłówka komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści  komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści  komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści  komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści  komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści  komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści  komunikatu alarmowego nie może zawierać polskich znaków"),
    qs("Definicja treści komunikatu testowego nie może zawierać polskich znaków"),
};

const QStringList factory_texts{
    qs("SYSTEM POWIADOMIENIA SMS: "), qs("Zanik zasilania"),
    qs("Powrot zasilania"),           qs("Aktywacja wejscia nr 1"),
    qs("Dezaktywacja wejscia nr 1"),  qs("Aktywacja wejscia nr 2"),
    qs("Dezaktywacja wejscia nr 2"),  qs("Aktywacja wejscia nr 3"),
    qs("Dezaktywacja wejscia nr 3"),  qs("Aktywacja wejscia nr 4"),
    qs("Aktywacja wejscia nr 5"),     qs("Aktywacja wejscia nr 6"),
    qs("Aktywacja wejscia nr 7"),     qs("Aktywacja wejscia nr 8"),
    qs("Test Systemu SMS"),
};

// Types `text` into `field` key by key, as a keyboard would (any character).
void type(QLineEdit* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
    }
}

} // namespace

class TestTForm3 : public QObject {
    Q_OBJECT

  private slots:
    void length_limit_refuses_one_character_more();
    void pasted_long_text_gives_one_message();
    void polish_letter_rule_per_field();
    void first_text_after_clear_is_accepted();
    void factory_texts_leave_the_test_controls();
    void user_index_rule();
    void user_index_rule_silent_while_parameters_fill();
    void activation_loads_and_deactivation_stores();
    void box_during_activation_keeps_later_texts();
    void enter_and_escape_do_nothing();
};

void TestTForm3::length_limit_refuses_one_character_more() {
    MessagesFixture f;
    f.in_messages_window([&] {
        const QString fifty(50, QLatin1Char('H'));
        f.form3->Edit1->setText(fifty);
        QTest::keyClick(f.form3->Edit1, Qt::Key_X);
        QCOMPARE(f.form3->Edit1->text(), fifty);

        const QString hundred(100, QLatin1Char('a'));
        f.form3->Edit9->setText(hundred);
        QTest::keyClick(f.form3->Edit9, Qt::Key_B);
        QCOMPARE(f.form3->Edit9->text(), hundred);
    });
    QCOMPARE(f.watcher.texts(), QStringList({header_too_long, alarm_too_long}));
    QCOMPARE(f.watcher.boxes().front().icon, QMessageBox::Critical);
}

void TestTForm3::pasted_long_text_gives_one_message() {
    MessagesFixture f;
    f.in_messages_window([&] {
        f.form3->Edit3->setText(QStringLiteral("Powrot"));
        QApplication::clipboard()->setText(QString(120, QLatin1Char('p')));
        f.form3->Edit3->paste();
        QCOMPARE(f.form3->Edit3->text(), QStringLiteral("Powrot"));
    });
    QCOMPARE(f.watcher.texts(), QStringList({alarm_too_long}));
}

void TestTForm3::polish_letter_rule_per_field() {
    MessagesFixture f;
    f.in_messages_window([&] {
        for (std::size_t i = 0; i < message_field_count; ++i) {
            QLineEdit* field = f.form3->text_field(i);
            field->setText(QStringLiteral("ab"));
            f.watcher.clear();
            type(field, qs("ą"));
            QCOMPARE(field->text(), QStringLiteral("ab"));
            QCOMPARE(f.watcher.texts(), QStringList({polish_messages[static_cast<int>(i)]}));
        }
        QLineEdit* field = f.form3->Edit16;
        f.watcher.clear();
        type(field, QStringLiteral("~"));
        type(field, qs("ж")); // not a CP1250 character at all
        QCOMPARE(field->text(), QStringLiteral("ab"));
        type(field, QStringLiteral("}"));
        QCOMPARE(field->text(), QStringLiteral("ab}"));
        QCOMPARE(f.watcher.boxes().size(), std::size_t(2));

        // A character that CP1250 cannot hold would reach the device as 0x1A:
        // refused even as the first text of an empty field.
        f.form3->Edit3->clear();
        f.watcher.clear();
        f.form3->Edit3->setText(qs("Prąd ∅"));
        QCOMPARE(f.form3->Edit3->text(), QString());
        QCOMPARE(f.watcher.texts(), QStringList({polish_messages[2]}));
    });
}

void TestTForm3::first_text_after_clear_is_accepted() {
    MessagesFixture f;
    f.in_messages_window([&] {
        f.form3->Edit4->setText(QStringLiteral("Aktywacja"));
        f.form3->Edit5->setText(QStringLiteral("Dezaktywacja"));
        f.form3->clear_button(3)->click();
        QCOMPARE(f.form3->Edit4->text(), QString());
        f.form3->Edit4->setText(qs("Włamanie"));
        QCOMPARE(f.form3->Edit4->text(), qs("Włamanie"));
        QVERIFY(f.watcher.boxes().empty());

        // The next change is tested again, and so is the restored text, which
        // holds a Polish letter itself: two messages. The field beside it
        // keeps its own rule.
        type(f.form3->Edit4, qs("ż"));
        QCOMPARE(f.form3->Edit4->text(), qs("Włamanie"));
        type(f.form3->Edit5, qs("ę"));
        QCOMPARE(f.form3->Edit5->text(), QStringLiteral("Dezaktywacja"));
        QCOMPARE(f.watcher.texts(),
                 QStringList({polish_messages[3], polish_messages[3], polish_messages[4]}));
    });
}

void TestTForm3::factory_texts_leave_the_test_controls() {
    MessagesFixture f;
    f.in_messages_window([&] {
        f.form3->CheckBox1->setChecked(true);
        f.form3->Edit11->setText(QString());
        f.form2->Edit9->setText(QStringLiteral("600100200"));
        f.form3->Edit11->setText(QStringLiteral("2"));
        f.form3->Edit13->setText(QStringLiteral("inny"));
        const Settings before = f.state.settings;
        f.form3->SpeedButton1->click();
        for (std::size_t i = 0; i < message_field_count; ++i)
            QCOMPARE(f.form3->text_field(i)->text(), factory_texts[static_cast<int>(i)]);
        QVERIFY(f.form3->CheckBox1->isChecked());
        QCOMPARE(f.form3->Edit11->text(), QStringLiteral("2"));
        QVERIFY(f.state.settings == before);
    });
    QVERIFY(f.watcher.boxes().empty());
}

void TestTForm3::user_index_rule() {
    MessagesFixture f;
    f.in_messages_window([&] {
        f.form2->Edit10->setText(QStringLiteral("600100300"));
        f.form2->Edit9->clear();
        f.form3->CheckBox1->setChecked(true);
        for (const char* wrong : {"0", "5", "x", "-1"}) {
            f.watcher.clear();
            f.form3->Edit11->setText(QString::fromLatin1(wrong));
            QCOMPARE(f.form3->Edit11->text(), QString());
            QCOMPARE(f.watcher.texts(), QStringList({range_message}));
        }
        f.watcher.clear();
        f.form3->Edit11->setText(QStringLiteral("2"));
        QCOMPARE(f.form3->Edit11->text(), QString());
        QCOMPARE(f.watcher.texts(), QStringList({qs("Zdefiniuj najpierw użytkownika numer 2")}));

        f.watcher.clear();
        type(f.form3->Edit11, QStringLiteral("3"));
        QCOMPARE(f.form3->Edit11->text(), QStringLiteral("3"));
        QVERIFY(f.watcher.boxes().empty());
    });
    QCOMPARE(f.state.settings.test_message_user, std::string("3"));
    QCOMPARE(f.state.settings.test_message_on, std::uint8_t(1));
}

void TestTForm3::user_index_rule_silent_while_parameters_fill() {
    MessagesFixture f;
    f.state.messages_window_open = 0;
    f.form3->Edit11->setText(QStringLiteral("x"));
    f.form3->Edit11->setText(QStringLiteral("2"));
    QCOMPARE(f.form3->Edit11->text(), QStringLiteral("2"));
    QVERIFY(f.watcher.boxes().empty());
}

void TestTForm3::activation_loads_and_deactivation_stores() {
    MessagesFixture f;
    Settings& s = f.state.settings;
    s.header_text = "Dom \xB9"; // CP1250 "Dom ą": a first text is accepted as it is
    s.power_loss_text = "Brak 230V";
    s.test_message_text = "Test";
    s.test_message_user = "4";
    s.test_message_on = 1;
    f.form3->CheckBox1->setChecked(false);
    f.form3->Edit11->setText(QStringLiteral("1"));
    f.in_messages_window([&] {
        QCOMPARE(f.form3->Label1->text(), qs("Nagłówek komunikatu"));
        QCOMPARE(f.form3->Edit1->text(), qs("Dom ą"));
        QCOMPARE(f.form3->Edit2->text(), QStringLiteral("Brak 230V"));
        QCOMPARE(f.form3->Edit16->text(), QStringLiteral("Test"));
        QCOMPARE(f.form3->Edit11->text(), QStringLiteral("1")); // not loaded
        QVERIFY(!f.form3->CheckBox1->isChecked());
        f.form3->Edit2->setText(QStringLiteral("Brak zasilania"));
    });
    QCOMPARE(s.header_text, std::string("Dom \xB9"));
    QCOMPARE(s.power_loss_text, std::string("Brak zasilania"));
    QCOMPARE(s.test_message_user, std::string("1"));
    QCOMPARE(s.test_message_on, std::uint8_t(0));
    QVERIFY(f.watcher.boxes().empty());
}

// A message box raised while activation loads the fields must not store the
// fields not yet loaded over the values they are about to show.
void TestTForm3::box_during_activation_keeps_later_texts() {
    {
        // First opening: a header too long for its field, the other fields
        // still empty.
        MessagesFixture f;
        decode_texts(f.state.image_buffer, f.state.settings); // factory texts
        f.state.settings.header_text = std::string(60, 'N');
        f.state.settings.power_loss_text = "Brak 230V";
        f.in_messages_window([&] {
            QCOMPARE(f.form3->Edit1->text(), QString());
            QCOMPARE(f.form3->Edit2->text(), QStringLiteral("Brak 230V"));
            QCOMPARE(f.form3->Edit16->text(), QStringLiteral("Test Systemu SMS"));
        });
        QCOMPARE(f.watcher.texts(), QStringList({header_too_long}));
        QCOMPARE(f.state.settings.power_loss_text, std::string("Brak 230V"));
    }
    {
        // A later opening with other texts, one of them with a Polish letter.
        MessagesFixture f;
        Settings& s = f.state.settings;
        decode_texts(f.state.image_buffer, s);
        f.in_messages_window([] {});
        s.power_return_text = "Powr\xF3t"; // CP1250 "Powrót"
        s.input1_activation_text = "Nowy";
        s.test_message_text = "Nowy test";
        f.in_messages_window([&] {
            QCOMPARE(f.form3->Edit3->text(), QStringLiteral("Powrot zasilania"));
            QCOMPARE(f.form3->Edit4->text(), QStringLiteral("Nowy"));
            QCOMPARE(f.form3->Edit16->text(), QStringLiteral("Nowy test"));
        });
        QCOMPARE(f.watcher.texts(), QStringList({polish_messages[2]}));
        QCOMPARE(s.power_return_text, std::string("Powrot zasilania"));
        QCOMPARE(s.input1_activation_text, std::string("Nowy"));
    }
}

// Enter in a field must not press a "Czyść" button, and Escape must not close
// the window: it closes by its buttons and its close box only.
void TestTForm3::enter_and_escape_do_nothing() {
    MessagesFixture f;
    f.in_messages_window([&] {
        f.form3->Edit1->setText(QStringLiteral("Naglowek"));
        f.form3->Edit2->setText(QStringLiteral("Zanik"));
        f.form3->Edit2->setFocus();
        QTest::keyClick(f.form3->Edit2, Qt::Key_Return);
        QTest::keyClick(f.form3->Edit2, Qt::Key_Escape);
        QVERIFY(f.form3->isVisible());
        QCOMPARE(f.form3->Edit1->text(), QStringLiteral("Naglowek"));
        QCOMPARE(f.form3->Edit2->text(), QStringLiteral("Zanik"));
    });
}

QTEST_MAIN(TestTForm3)
#include "test_messages_window.moc"
