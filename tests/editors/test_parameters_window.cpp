// The parameters window: filling and storing, the field rules with their
// messages and repairs, and how message boxes store and refill the window.

#include "editors/parameters_snapshot.h"
#include "editors/settle_timer.h"
#include "editors/parameters_window.h"
#include "editors/messages_window.h"
#include "image/decoder.h"
#include "tests/support/modal_watcher.h"
#include "windows/box_state.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/radio_group.h"
#include "windows/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace gnc;
using gnc::test::ModalWatcher;

namespace {

enum { orange, era, plus_, play, other };
enum { on_item = 0, off_item = 1 };

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Fixture {
    MainState state;
    QTimer timer3;
    Forms forms;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    ModalWatcher watcher;

    Fixture() {
        state.image_buffer.fill(0xFF);
        decode_parameters(state.image_buffer, state.settings);
        odczytaj_uzytkownikow(state.image_buffer, state.settings);
        timer3.setInterval(50);
        QObject::connect(&timer3, &QTimer::timeout, [this] { settle_timer_tick(state, timer3); });
        forms.state = &state;
        forms.Timer3 = &timer3;
        form2 = std::make_unique<TForm2>(forms);
        forms.form2 = form2.get();
        form3 = std::make_unique<TForm3>(forms);
        forms.form3 = form3.get();
        // A message box that keeps coming back would hang the test.
        watcher.on_box = [this](const auto&) {
            if (watcher.boxes().size() > 20)
                qFatal("message boxes without end");
        };
    }

    // Shows the window modally, runs `steps` in it once the gated rules are
    // armed, and closes it.
    void in_window(const std::function<void()>& steps) {
        when_in_front(*form2, [this, steps] {
            arm();
            steps();
            if (form2->isVisible())
                form2->close();
        });
        show_modal(*form2);
    }

    static void when_in_front(QWidget& window, const std::function<void()>& steps) {
        QTimer::singleShot(0, &window, [&window, steps] {
            if (QApplication::activeModalWidget() == &window)
                steps();
            else
                when_in_front(window, steps);
        });
    }

    void arm() {
        QVERIFY(test::wait_until([this] { return state.parameter_rules_armed == 1; }));
    }

    // The messages shown since the last call.
    QStringList shown() {
        const QStringList texts = watcher.texts();
        watcher.clear();
        return texts;
    }
};

bool greyed(const QLineEdit* box) {
    return !box->isEnabled() && box_colour(box) == BoxColour::scroll_bar;
}
bool applicable(const QLineEdit* box) {
    return box->isEnabled() && box_colour(box) == BoxColour::window;
}

// Every mask ticked, ECHO on, no balance option, both outputs neither
// permanently nor automatically driven: the erased and the factory state.
bool has_factory_choices(const ParametersControls& c) {
    for (int i = 0; i < 8; ++i)
        if (!c.input_mask_boxes[i] || (i < 4 && !(c.sms_mask_boxes[i] && c.ring_mask_boxes[i])))
            return false;
    return c.CheckBox17 && !c.CheckBox9 && !c.CheckBox10 && !c.CheckBox20 &&
           c.RadioGroup2 == off_item && c.RadioGroup3 == off_item && c.RadioGroup4 == off_item &&
           c.RadioGroup5 == off_item;
}

} // namespace

class TestTForm2 : public QObject {
    Q_OBJECT

  private slots:
    void erased_device_defaults_are_shown() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            QCOMPARE(w.radiogroup6->ItemIndex(), int(other));
            QVERIFY(w.Edit7->isEnabled());
            for (QLineEdit* box : {w.Edit7, w.Edit8, w.Edit9, w.Edit10, w.Edit11})
                QVERIFY(box->text().isEmpty());
            const ParametersControls c = read_parameters_controls(w);
            QVERIFY(has_factory_choices(c));
            for (QLineEdit* box : {w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit12})
                QVERIFY(greyed(box) && box->text().isEmpty());
            QCOMPARE(w.Edit1->text(), T("20"));
            QVERIFY(!f.form3->CheckBox1->isChecked() && f.form3->Edit11->text().isEmpty());
        });
        QVERIFY(f.shown().isEmpty());
    }

    void activation_derives_operator_and_balance_query() {
        Fixture f;
        Settings& s = f.state.settings;
        s.sms_centre_number = "48602951111";
        s.balance_query_number = "*555#";
        s.balance_info_on = 1;
        s.test_message_on = 1;
        s.test_message_user = "2";
        f.state.image_buffer[300] = 5;
        f.state.image_buffer[301] = 5 ^ 0xAA;
        f.in_window([&] {
            QCOMPARE(f.form2->radiogroup6->ItemIndex(), int(era));
            QVERIFY(!f.form2->Edit7->isEnabled());
            QCOMPARE(f.form2->Edit2->text(), T("*555#")); // not the preset's "*101#"
            QVERIFY(f.form3->CheckBox1->isChecked() && applicable(f.form3->Edit11));
            QCOMPARE(f.form3->Edit11->text(), T("2"));
        });
        s.sms_centre_number = "48123";
        f.state.image_buffer[301] = 0; // the length pair no longer matches
        f.in_window([&] {
            QCOMPARE(f.form2->radiogroup6->ItemIndex(), int(other));
            QVERIFY(f.form2->Edit7->isEnabled());
            QCOMPARE(f.form2->Edit7->text(), T("48123"));
            QVERIFY(f.form2->Edit2->text().isEmpty() && applicable(f.form2->Edit2));
            QVERIFY(f.form2->CheckBox9->isChecked());
        });
        QVERIFY(s.balance_query_number.empty());
    }

    void operator_choice_fills_and_chains() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            const char* const centres[] = {"48501200777", "48602951111", "48601000310",
                                           "48790998250"};
            const char* const codes[] = {"*124*#", "*101#", "*100#", ""};
            for (int item : {orange, era, plus_, play}) {
                w.radiogroup6->item(item)->click();
                QCOMPARE(w.Edit7->text(), T(centres[item]));
                QCOMPARE(w.Edit2->text(), T(codes[item]));
                QVERIFY(!w.Edit7->isEnabled());
            }
            // PLAY empties the query, which drops both report options.
            w.radiogroup6->item(orange)->click();
            w.CheckBox9->click();
            w.CheckBox20->click();
            w.CheckBox10->click();
            QVERIFY(applicable(w.Edit4) && applicable(w.Edit3));
            w.radiogroup6->item(play)->click();
            QVERIFY(!w.CheckBox20->isChecked() && !w.CheckBox10->isChecked());
            QVERIFY(greyed(w.Edit4) && greyed(w.Edit3) && w.CheckBox9->isChecked());
            // INNY empties the centre; then every keystroke empties the query.
            w.radiogroup6->item(orange)->click();
            w.radiogroup6->item(other)->click();
            QVERIFY(w.Edit7->isEnabled() && w.Edit7->text().isEmpty());
            QVERIFY(w.Edit2->text().isEmpty());
            for (const char* key : {"4", "8"}) {
                w.Edit2->setText(T("*1#"));
                QTest::keyClicks(w.Edit7, T(key));
                QVERIFY(w.Edit2->text().isEmpty());
            }
            QCOMPARE(w.Edit7->text(), T("48"));
        });
        QVERIFY(f.shown().isEmpty());
    }

    void phone_numbers_take_seventeen_digits_only() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            QLineEdit* const boxes[] = {w.Edit7, w.Edit8, w.Edit9, w.Edit10, w.Edit11};
            const char* const too_long[] = {"Za duża liczba cyfr w definicji Centrum SMS",
                                            "Za duża liczba cyfr w definicji numeru użytkownika 1",
                                            "Za duża liczba cyfr w definicja uytkownika 2",
                                            "Za duża liczba cyfr w definicji uzytkownika 3",
                                            "Za duża liczba cyfr w definicji użytkownika 4"};
            const QString seventeen = T("12345678901234567");
            for (int i = 0; i < 5; ++i) {
                QTest::keyClicks(boxes[i], seventeen);
                QCOMPARE(boxes[i]->text(), seventeen);
                QVERIFY(f.shown().isEmpty());
                QTest::keyClicks(boxes[i], T("8"));
                QVERIFY(boxes[i]->text().isEmpty());
                QCOMPARE(f.shown(), QStringList{T(too_long[i])});
            }
            for (const char* bad : {"12 3", "1a", "+48", "1.5", "*124*#"}) {
                w.Edit9->setText(T(bad));
                QVERIFY(w.Edit9->text().isEmpty());
            }
            QCOMPARE(f.shown(), QStringList(5, T("Numer powinien zawierać tylko cyfry  ")));
            w.Edit7->setText(T("5 5"));
            QCOMPARE(f.shown(), QStringList{T("Numer powinien zawierać tylko cyfry")});
        });
    }

    void balance_query_takes_twenty_characters() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.radiogroup6->item(orange)->click(); // a preset refills Edit2 on every box
            w.CheckBox9->click();
            w.Edit2->clear();
            QTest::keyClicks(w.Edit2, QString(20, QLatin1Char('7')));
            QVERIFY(f.watcher.boxes().empty());
            QTest::keyClicks(w.Edit2, T("7"));
            QVERIFY(w.Edit2->text().isEmpty());
        });
        QCOMPARE(f.watcher.boxes().size(), size_t(1));
        QCOMPARE(f.watcher.boxes()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(f.shown(), QStringList{T("Za duża liczba znaków w definicji numeru badania "
                                          "stanu konta")});
    }

    void report_option_needs_a_balance_query() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.CheckBox10->click();
            QVERIFY(!w.CheckBox10->isChecked() && greyed(w.Edit3));
            QCOMPARE(f.shown(), QStringList{T("Zdefiniuj najpierw numer badania stanu konta")});
            f.arm();
            w.CheckBox9->click();
            w.Edit2->setText(T("*1#"));
            w.CheckBox20->click();
            QVERIFY(w.CheckBox20->isChecked() && applicable(w.Edit4));
            w.CheckBox9->click();
            QVERIFY(greyed(w.Edit2) && w.CheckBox20->isChecked());
        });
        QVERIFY(f.shown().isEmpty());
    }

    void number_boxes_refuse_and_repair() {
        struct Case {
            QLineEdit* TForm2::*box;
            const char* typed;
            const char* message; // nullptr: accepted
            const char* after;
        };
        const char* const count_big =
            "Błąd! Ilościowe informowanie o stanie konta nie może przekraczać 9999 SMS";
        const char* const days = "Błąd! Czasowe informowanie o stanie konta musi zawierać %1 w "
                                 "przedziale od 1 do 999 dni";
        const QByteArray days_sie = QString::fromUtf8(days).arg(T("sie")).toUtf8();
        const QByteArray days_sie_pl = QString::fromUtf8(days).arg(T("się")).toUtf8();
        const Case cases[] = {
            {&TForm2::Edit4, "0",
             "Błąd! Ilościowe informowanie o stanie konta ma zawierać się w przedziale od 10 do "
             "9999",
             "0"},
            {&TForm2::Edit4, "5", nullptr, "5"},
            {&TForm2::Edit4, "10000", count_big, "10"},
            {&TForm2::Edit4, "1x", count_big, "10"},
            {&TForm2::Edit4, "", nullptr, ""},
            {&TForm2::Edit3, "1000", days_sie.constData(), "1"},
            {&TForm2::Edit3, "x", days_sie_pl.constData(), "1"},
            {&TForm2::Edit3, "0", nullptr, "0"},
            {&TForm2::Edit1, "0", "Błąd! Dobowy limit SMS nie może zaczynać sie od liczby 0", "20"},
            {&TForm2::Edit1, "10000", "Błąd! Dobowy limit SMS nie może przekraczać 99999", "20"},
            {&TForm2::Edit1, "1x", "Błąd! Dobowy limit SMS nie może przekraczać 99999 ", "20"},
            {&TForm2::Edit1, "0005", nullptr, "0005"},
            {&TForm2::Edit1, "", nullptr, ""},
        };
        Fixture f;
        f.in_window([&] {
            for (const Case& c : cases) {
                QLineEdit* box = (*f.form2).*c.box;
                box->setText(T("7"));
                box->setText(T(c.typed));
                QCOMPARE(box->text(), T(c.after));
                for (const auto& box : f.watcher.boxes())
                    QCOMPARE(box.icon, QMessageBox::Critical);
                QCOMPARE(f.shown(), c.message ? QStringList{T(c.message)} : QStringList{});
                f.arm();
            }
        });
    }

    // A character that code page 1250 cannot hold is refused once by a number
    // box's rule and never stored as a substitute by the balance-query box;
    // the invisible marks around a number copied from a phone are dropped
    // without a word. What is stored is what the boxes show.
    void unholdable_characters_never_reach_the_settings() {
        Fixture f;
        const QString refused = T("Numer powinien zawierać tylko cyfry");
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.radiogroup6->item(other)->click();
            QTest::keyClicks(w.Edit7, T("4"));
            w.Edit7->insert(T("ñ"));
            QCOMPARE(f.shown(), QStringList{refused});
            QVERIFY(w.Edit7->text().isEmpty());
            f.arm();
            QTest::keyClicks(w.Edit8, T("5"));
            w.Edit8->insert(T("ñ"));
            QCOMPARE(f.shown(), QStringList{refused});
            QVERIFY(w.Edit8->text().isEmpty());
            f.arm();
            w.Edit1->clear();
            QTest::keyClicks(w.Edit1, T("5"));
            w.Edit1->insert(T("ñ"));
            QCOMPARE(f.shown(),
                     QStringList{T("Błąd! Dobowy limit SMS nie może przekraczać 99999 ")});
            QCOMPARE(w.Edit1->text(), T("20"));
            f.arm();

            w.Edit8->insert(T("\u202a600100200\u202c"));
            QCOMPARE(w.Edit8->text(), T("600100200"));
            w.CheckBox9->click();
            w.Edit2->clear();
            QTest::keyClicks(w.Edit2, T("*1"));
            w.Edit2->insert(T("😀"));
            w.Edit2->insert(T("ñ"));
            QTest::keyClicks(w.Edit2, T("#"));
            QCOMPARE(w.Edit2->text(), T("*1#"));
            w.Edit2->clear();
            w.Edit2->insert(T("\u202a*100#\u202c"));
            QCOMPARE(w.Edit2->text(), T("*100#"));
            QVERIFY(f.shown().isEmpty());
        });
        QCOMPARE(f.state.settings.user_number_1, std::string("600100200"));
        QCOMPARE(f.state.settings.balance_query_number, std::string("*100#"));
        QCOMPARE(f.state.settings.daily_sms_limit, std::string("20"));
        QCOMPARE(f.state.settings.sms_centre_number, std::string());
    }

    // The window closes through its buttons and its close box only.
    void escape_leaves_the_window_open() {
        Fixture f;
        bool open_after_escape = false;
        f.in_window([&] {
            QTest::keyClick(f.form2->Edit8, Qt::Key_Escape);
            open_after_escape = f.form2->isVisible();
        });
        QVERIFY(open_after_escape);
    }

    void outputs_are_never_driven_both_ways() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.RadioGroup2->item(on_item)->click();
            QVERIFY(greyed(w.Edit5));
            w.RadioGroup4->item(on_item)->click();
            QCOMPARE(w.RadioGroup2->ItemIndex(), int(off_item));
            QVERIFY(applicable(w.Edit5));
            QCOMPARE(w.Edit5->text(), T("30"));
            w.RadioGroup2->item(on_item)->click();
            QCOMPARE(w.RadioGroup4->ItemIndex(), int(off_item));
            QVERIFY(greyed(w.Edit5));
            w.RadioGroup2->item(off_item)->click();
            QVERIFY(applicable(w.Edit5));
        });
    }

    void drive_times_follow_the_automatic_drive() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.RadioGroup5->item(on_item)->click();
            QCOMPARE(w.Edit12->text(), T("30"));
            w.Edit5->setText(T("5000")); // output 1 is not driven automatically
            w.Edit12->setText(T("500"));
            QVERIFY(f.shown().isEmpty());
            for (const char* bad : {"0", "1000"}) {
                w.Edit12->setText(T(bad));
                QCOMPARE(w.Edit12->text(), T("30"));
                QCOMPARE(f.shown(),
                         QStringList{T("Błąd! Automatyczne wysterowanie wyjscia 2 musi "
                                       "zawierać się w przedziale od 1 do 999 sekund.")});
                f.arm();
            }
            w.Edit5->setText(T("x"));
            QCOMPARE(w.Edit5->text(), T("30"));
            QVERIFY(f.shown().value(0).contains(T("wyjscia 1")));
        });
    }

    void gated_rules_wait_for_the_settle_timer() {
        Fixture f;
        f.form2->FormActivate(); // no event loop has run: the timer cannot have ticked
        f.form2->Edit4->setText(T("99999"));
        QCOMPARE(f.form2->Edit4->text(), T("99999"));
        QVERIFY(f.shown().isEmpty());
        f.form2->Edit1->setText(T("0")); // ungated rules act at once
        QCOMPARE(f.shown().size(), 1);
        f.arm();
        f.form2->Edit4->setText(T("99998"));
        QCOMPARE(f.form2->Edit4->text(), T("10"));
        QCOMPARE(f.shown().size(), 1);
        f.form2->FormDeactivate();
        QVERIFY(!f.timer3.isActive());
    }

    void emptied_test_message_user_drops_the_test_message() {
        Fixture f;
        Settings& s = f.state.settings;
        s.user_number_2 = "222";
        s.user_number_3 = "333";
        s.test_message_on = 1;
        s.test_message_user = "3";
        f.in_window([&] {
            f.form2->Edit9->clear(); // user 2 does not get the test message
            QVERIFY(f.shown().isEmpty() && f.form3->CheckBox1->isChecked());
            f.form2->Edit10->clear();
            QCOMPARE(f.shown(), QStringList{T("zmień index uzytkownika do którego wysyłany jest "
                                              "SMS testowy")});
            QVERIFY(!f.form3->CheckBox1->isChecked());
            QVERIFY(greyed(f.form3->Edit11) && f.form3->Edit11->text().isEmpty());
            f.form2->Edit1->setText(T("0")); // a box refills the window
            QVERIFY(!f.form3->CheckBox1->isChecked());
            // An index that is not a whole number ends the rule silently.
            f.shown();
            f.form3->CheckBox1->setChecked(true);
            f.form3->Edit11->setText(T("x"));
            f.form2->Edit8->setText(T("1"));
            f.form2->Edit8->clear();
            QVERIFY(f.shown().isEmpty() && f.form3->CheckBox1->isChecked());
        });
        QCOMPARE(int(s.test_message_on), 0);
    }

    // New settings (a read or a template) whose user 3 is empty arrive while
    // the messages window still shows the old test message to user 3: its
    // rule fires during filling, but the new test message to user 1 stays.
    void filling_keeps_the_test_message_of_new_settings() {
        Fixture f;
        Settings& s = f.state.settings;
        s.user_number_3 = "333";
        s.test_message_on = 1;
        s.test_message_user = "3";
        f.in_window([] {});
        s.user_number_1 = "111";
        s.user_number_3.clear();
        s.test_message_user = "1";
        f.in_window([&] {
            QVERIFY(f.form3->CheckBox1->isChecked());
            QCOMPARE(f.form3->Edit11->text(), T("1"));
        });
        QCOMPARE(int(s.test_message_on), 1);
        QCOMPARE(s.test_message_user, std::string("1"));
    }

    void factory_settings_keep_the_numbers() {
        Fixture f;
        Settings& s = f.state.settings;
        s.user_number_1 = "111";
        s.sms_mask = s.ring_mask = s.input_mask = 0;
        s.echo_on = 0;
        s.output1_steady_on = 1;
        s.output2_timed_on = 1;
        s.output2_seconds = "45";
        s.daily_sms_limit = "7";
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.radiogroup6->item(era)->click();
            w.CheckBox9->click();
            w.CheckBox20->click();
            w.SpeedButton3->click();
            QCOMPARE(w.Edit8->text(), T("111"));
            QCOMPARE(w.Edit7->text(), T("48602951111"));
            QCOMPARE(w.Edit2->text(), T("*101#"));
            const ParametersControls c = read_parameters_controls(w);
            QVERIFY(has_factory_choices(c));
            QVERIFY(c.Edit5.empty() && c.Edit12.empty() && c.Edit3.empty() && c.Edit4.empty());
            QCOMPARE(c.Edit1, std::string("20"));
        });
        QVERIFY(f.shown().isEmpty());
    }

    void back_button_stores_and_reopening_shows_the_same() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.Edit8->setText(T("600100200"));
            w.CheckBox9->click();
            w.Edit2->setText(T("*77#"));
            w.CheckBox20->click();
            w.Edit4->setText(T("250"));
            w.CheckBox23->click();
            w.RadioGroup4->item(on_item)->click();
            w.SpeedButton2->click();
            QVERIFY(!w.isVisible());
        });
        QCOMPARE(int(f.state.image_buffer[300]), 4);
        QCOMPARE(int(f.state.image_buffer[301]), 4 ^ 0xAA);
        const Settings stored = f.state.settings;
        QCOMPARE(int(stored.input_mask), 0xDF);
        QCOMPARE(stored.balance_count, std::string("250"));
        QCOMPARE(stored.output1_seconds, std::string("30"));
        const ParametersControls first = read_parameters_controls(*f.form2);
        f.in_window([&] {
            const ParametersControls again = read_parameters_controls(*f.form2);
            QVERIFY(again.Edit8 == first.Edit8 && again.Edit2 == first.Edit2);
            QVERIFY(again.CheckBox20 && again.Edit4 == first.Edit4);
            QVERIFY(again.input_mask_boxes == first.input_mask_boxes);
            QCOMPARE(again.RadioGroup4, int(on_item));
            QVERIFY(applicable(f.form2->Edit4));
        });
        QVERIFY(f.state.settings == stored);
    }

    void message_box_refills_without_losing_an_edit() {
        Fixture f;
        f.in_window([&] {
            TForm2& w = *f.form2;
            w.CheckBox9->click();
            w.Edit2->setText(T("*9#"));
            w.CheckBox10->click();
            w.Edit3->setText(T("15"));
            w.CheckBox2->click();
            w.RadioGroup5->item(on_item)->click();
            w.Edit12->setText(T("99"));
            const ParametersControls edited = read_parameters_controls(w);
            w.Edit1->setText(T("0"));
            QCOMPARE(f.shown().size(), 1);
            QCOMPARE(int(f.state.parameter_rules_armed), 0); // refilled: disarmed again
            const ParametersControls now = read_parameters_controls(w);
            QCOMPARE(now.Edit1, std::string("20"));
            QVERIFY(now.Edit2 == edited.Edit2 && now.Edit3 == edited.Edit3 &&
                    now.Edit12 == edited.Edit12 && now.CheckBox10 && now.CheckBox9 &&
                    now.sms_mask_boxes == edited.sms_mask_boxes && now.RadioGroup5 == on_item);
            QVERIFY(applicable(w.Edit3) && applicable(w.Edit12));
        });
    }

    void box_while_filling_keeps_the_values_being_shown() {
        Fixture f;
        f.in_window([] {}); // the controls now hold the erased defaults
        Settings& s = f.state.settings;
        s.daily_sms_limit = "0";
        s.output1_timed_on = 1;
        s.output1_seconds = "45";
        s.sms_mask = 0x01;
        s.sms_centre_number = "48501200777";
        s.balance_query_number = std::string(25, '5');
        f.state.image_buffer[300] = 25;
        f.state.image_buffer[301] = 25 ^ 0xAA;
        f.in_window([&] {
            QCOMPARE(f.form2->Edit1->text(), T("20"));
            QVERIFY(f.form2->Edit2->text().isEmpty());
            QCOMPARE(f.form2->RadioGroup4->ItemIndex(), int(on_item));
            QCOMPARE(f.form2->Edit5->text(), T("45"));
            QVERIFY(f.form2->CheckBox4->isChecked() && !f.form2->CheckBox1->isChecked());
        });
        QCOMPARE(f.shown().size(), 2); // the long query and the zero limit, once each
        QCOMPARE(int(s.output1_timed_on), 1);
        QCOMPARE(s.daily_sms_limit, std::string("20"));
    }

    void messages_window_opens_with_texts_decoded() {
        Fixture f;
        bool opened = false;
        f.in_window([&] {
            f.form2->Edit9->setText(T("505"));
            Fixture::when_in_front(*f.form3, [&] {
                opened = true;
                QCOMPARE(int(f.state.messages_window_open), 1);
                QCOMPARE(f.state.settings.user_number_2, std::string("505"));
                QCOMPARE(f.state.settings.header_text, std::string("SYSTEM POWIADOMIENIA SMS: "));
                f.state.settings.user_number_2 = "606";
                f.form3->close();
            });
            f.form2->SpeedButton1->click();
            QCOMPARE(int(f.state.messages_window_open), 0);
            QCOMPARE(f.form2->Edit9->text(), T("606")); // refilled on return
        });
        QVERIFY(opened);
    }

    void test_message_tick_greys_the_index_box() {
        Fixture f;
        QLineEdit* index = f.form3->Edit11;
        QVERIFY(index->isEnabled() && !f.form3->CheckBox1->isChecked());
        f.form3->CheckBox1->setChecked(true);
        QVERIFY(applicable(index));
        index->setText(T("2"));
        f.form3->CheckBox1->setChecked(false);
        QVERIFY(greyed(index));
        QCOMPARE(index->text(), T("2"));
    }
};

QTEST_MAIN(TestTForm2)
#include "test_parameters_window.moc"
