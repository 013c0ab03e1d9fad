// The field rules of the parameters window. Each rule is bound to its box's
// change (or click) signal, so it runs for the user's edits and the program's
// own changes alike, and nests when it changes another box. Every step reads
// the box afresh, because a nested rule or a message box may have changed it.

#include "editors/operator_presets.h"
#include "editors/parameters_window.h"
#include "editors/messages_window.h"
#include "image/number_text.h"
#include "windows/box_state.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/radio_group.h"
#include "windows/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <algorithm>
#include <optional>

namespace gnc {

namespace {

constexpr std::size_t phone_number_limit = 17;
constexpr std::size_t balance_query_limit = 20;

const char* const sms_centre_too_long = "Za duża liczba cyfr w definicji Centrum SMS";
const char* const digits_only = "Numer powinien zawierać tylko cyfry";

struct UserMessages {
    const char* too_long;
    const char* not_a_number;
};

const UserMessages user_messages[4] = {
    {"Za duża liczba cyfr w definicji numeru użytkownika 1", "Numer powinien zawierać tylko cyfry"},
    {"Za duża liczba cyfr w definicja uytkownika 2", "Numer powinien zawierać tylko cyfry  "},
    {"Za duża liczba cyfr w definicji uzytkownika 3", "Numer powinien zawierać tylko cyfry"},
    {"Za duża liczba cyfr w definicji użytkownika 4", "Numer powinien zawierać tylko cyfry"},
};

const char* const test_user_emptied =
    "zmień index uzytkownika do którego wysyłany jest SMS testowy";
const char* const balance_query_too_long =
    "Za duża liczba znaków w definicji numeru badania stanu konta";
const char* const define_balance_query_first = "Zdefiniuj najpierw numer badania stanu konta";
const char* const count_range = "Błąd! Ilościowe informowanie o stanie konta ma zawierać się w "
                                "przedziale od 10 do 9999";
const char* const count_too_big =
    "Błąd! Ilościowe informowanie o stanie konta nie może przekraczać 9999 SMS";
const char* const days_too_big = "Błąd! Czasowe informowanie o stanie konta musi zawierać sie w "
                                 "przedziale od 1 do 999 dni";
const char* const days_not_a_number = "Błąd! Czasowe informowanie o stanie konta musi zawierać "
                                      "się w przedziale od 1 do 999 dni";
const char* const limit_zero = "Błąd! Dobowy limit SMS nie może zaczynać sie od liczby 0";
const char* const limit_too_big = "Błąd! Dobowy limit SMS nie może przekraczać 99999";
const char* const limit_not_a_number = "Błąd! Dobowy limit SMS nie może przekraczać 99999 ";
const char* const drive_time_range[2] = {
    "Błąd! Automatyczne wysterowanie wyjscia 1 musi zawierać się w przedziale od 1 do 999 "
    "sekund.",
    "Błąd! Automatyczne wysterowanie wyjscia 2 musi zawierać się w przedziale od 1 do 999 "
    "sekund.",
};

constexpr int steady_on_item = 0;  // "AKTYWNE"
constexpr int steady_off_item = 1; // "NIEAKTYWNE"
constexpr int timed_on_item = 0;   // "TAK"
constexpr int timed_off_item = 1;  // "NIE"

void error(const char* text) {
    show_error_box(qs(text));
}

std::string bytes_of(const QLineEdit* box) {
    return to_cp1250(box->text());
}

std::size_t length_of(const QLineEdit* box) {
    return bytes_of(box).size();
}

bool is_empty(const QLineEdit* box) {
    return box->text().isEmpty();
}

std::optional<std::int32_t> number_in(const QLineEdit* box) {
    return read_integer(bytes_of(box));
}

bool holds(const QLineEdit* box, const char* text) {
    return box->text() == qs(text);
}

void set(QLineEdit* box, const char* text) {
    box->setText(qs(text));
}

// Refuses a phone number that is too long or holds anything but digits.
void check_phone_number(QLineEdit* box, const char* too_long, const char* not_a_number) {
    if (length_of(box) > phone_number_limit) {
        error(too_long);
        box->clear();
    }
    if (!is_empty(box) && !is_phone_number(bytes_of(box))) {
        error(not_a_number);
        box->clear();
    }
}

} // namespace

bool TForm2::rules_armed() const {
    return state().parameter_rules_armed == 1;
}

void TForm2::connect_rules() {
    connect(radiogroup6, &RadioGroup::itemClicked, this, [this] { RadioGroup6Click(); });
    connect_box_rule(Edit7, [this] { Edit7Change(); });
    for (int user = 1; user <= 4; ++user)
        connect_box_rule(user_box(user), [this, user] { user_number_change(user); });
    connect_box_rule(Edit2, [this] { Edit2Change(); });
    connect(CheckBox9, &QCheckBox::toggled, this, [this] { CheckBox9Click(); });
    connect(CheckBox20, &QCheckBox::toggled, this,
            [this] { report_option_click(CheckBox20, Edit4); });
    connect(CheckBox10, &QCheckBox::toggled, this,
            [this] { report_option_click(CheckBox10, Edit3); });
    connect_box_rule(Edit4, [this] { Edit4Change(); });
    connect_box_rule(Edit3, [this] { Edit3Change(); });
    connect_box_rule(Edit1, [this] { Edit1Change(); });
    connect(RadioGroup2, &RadioGroup::itemClicked, this,
            [this] { steady_drive_click(RadioGroup2, RadioGroup4, Edit5); });
    connect(RadioGroup3, &RadioGroup::itemClicked, this,
            [this] { steady_drive_click(RadioGroup3, RadioGroup5, Edit12); });
    connect(RadioGroup4, &RadioGroup::itemClicked, this,
            [this] { timed_drive_click(RadioGroup2, RadioGroup4, Edit5); });
    connect(RadioGroup5, &RadioGroup::itemClicked, this,
            [this] { timed_drive_click(RadioGroup3, RadioGroup5, Edit12); });
    connect_box_rule(Edit5, [this] { drive_time_change(RadioGroup4, Edit5, 1); });
    connect_box_rule(Edit12, [this] { drive_time_change(RadioGroup5, Edit12, 2); });
}

void TForm2::connect_box_rule(QLineEdit* box, std::function<void()> rule) {
    connect(box, &QLineEdit::textChanged, this, [this, box, rule = std::move(rule)] {
        if (admit_text(box))
            rule();
    });
}

// A box holds only what the settings can store, so that what is stored is
// always what the box shows. Invisible format characters (the direction marks
// of a number copied from a phone) are dropped silently. Any other character
// that code page 1250 cannot hold becomes '?' in a number box, which the box's
// own rule then refuses with its message, once; the balance-query box, which
// takes any text and has no message of its own, keeps its previous text when
// the user typed or pasted it (while the window fills it from the settings it
// shows '?' too).
// False when the text was changed here: that change has already run the rule.
bool TForm2::admit_text(QLineEdit* box) {
    const QString text = box->text();
    QString kept = without_format_characters(text);
    if (!fits_cp1250(kept)) {
        if (box == Edit2 && !filling_) {
            QApplication::beep();
            kept = admitted_text_[box];
        } else {
            kept = with_unholdable_marked(kept, QLatin1Char('?'));
        }
    }
    if (kept == text) {
        admitted_text_[box] = text;
        return true;
    }
    const int cursor = box->cursorPosition() - static_cast<int>(text.size() - kept.size());
    box->setText(kept);
    if (box->text() == kept)
        box->setCursorPosition(std::max(cursor, 0));
    return false;
}

// ---------------------------------------------------------------- operator

void TForm2::RadioGroup6Click() {
    const int item = radiogroup6->ItemIndex();
    if (item == other_item) {
        Edit7->setEnabled(true);
        Edit7->clear();
        return;
    }
    if (item < 0)
        return;
    const OperatorPreset& preset = operator_presets[item];
    Edit7->setEnabled(false);
    if (preset.balance_query_first) {
        set(Edit2, preset.balance_query);
        set(Edit7, preset.sms_centre);
    } else {
        set(Edit7, preset.sms_centre);
        set(Edit2, preset.balance_query);
    }
}

// While a preset operator is chosen its number cannot be changed: a change is
// pulled back, or turns the choice into "INNY". With "INNY" every change of
// the number empties the balance-query number.
void TForm2::Edit7Change() {
    if (length_of(Edit7) > phone_number_limit) {
        error(sms_centre_too_long);
        Edit7->clear();
    }
    if (!is_empty(Edit7) && !is_phone_number(bytes_of(Edit7))) {
        error(digits_only);
        Edit7->clear();
    }
    const int chosen = radiogroup6->ItemIndex();
    if ((chosen == orange_item || chosen == era_item || chosen == plus_item) &&
        !holds(Edit7, operator_presets[chosen].sms_centre))
        radiogroup6->setItemIndex(other_item);

    switch (radiogroup6->ItemIndex()) {
    case orange_item:
        set(Edit7, operator_presets[orange_item].sms_centre);
        break;
    case era_item:
    case plus_item:
    case play_item: {
        const OperatorPreset& preset = operator_presets[radiogroup6->ItemIndex()];
        set(Edit7, preset.sms_centre);
        set(Edit2, preset.balance_query);
        break;
    }
    case other_item:
        Edit2->clear();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- users

void TForm2::user_number_change(int user) {
    QLineEdit* box = user_box(user);
    const UserMessages& messages = user_messages[user - 1];
    check_phone_number(box, messages.too_long, messages.not_a_number);
    if (is_empty(box))
        clear_test_message_user(user);
}

// The test message must go to a defined user.
void TForm2::clear_test_message_user(int user) {
    TForm3* messages = forms_.form3;
    if (messages == nullptr || !messages->CheckBox1->isChecked())
        return;
    const std::optional<std::int32_t> index = number_in(messages->Edit11);
    if (!index || *index != user)
        return;
    error(test_user_emptied);
    messages->CheckBox1->setChecked(false);
    messages->Edit11->clear();
    paint_box(messages->Edit11, BoxColour::scroll_bar);
    forget_test_message_of(user);
}

// Clears the test message in the settings values too, so that refilling this
// window does not tick it again before the messages window has stored its own
// controls. Only settings that name the same user are cleared: while the
// window is being filled the messages window may still show the test message
// of earlier settings, and the settings being shown must survive that.
void TForm2::forget_test_message_of(int user) {
    Settings& v = state().settings;
    if (v.test_message_on != 1 || read_integer(v.test_message_user) != user)
        return;
    v.test_message_on = 0;
    v.test_message_user.clear();
}

// ---------------------------------------------------------------- balance

// A refused text is emptied before its message is shown: the message box
// stores and refills the window, and refilling with a preset operator would
// otherwise bring the refused text back and refuse it again without end.
void TForm2::Edit2Change() {
    if (length_of(Edit2) > balance_query_limit) {
        Edit2->clear();
        show_plain_box(qs(balance_query_too_long));
    }
    if (is_empty(Edit2)) {
        CheckBox20->setChecked(false);
        set_box_applicable(Edit4, false);
        CheckBox10->setChecked(false);
        set_box_applicable(Edit3, false);
    }
}

void TForm2::CheckBox9Click() {
    if (!rules_armed())
        return;
    set_box_applicable(Edit2, CheckBox9->isChecked());
}

// A balance report needs the number that queries the balance.
void TForm2::report_option_click(QCheckBox* option, QLineEdit* value_box) {
    if (!rules_armed())
        return;
    if (option->isChecked() && is_empty(Edit2)) {
        option->setChecked(false);
        error(define_balance_query_first);
    }
    set_box_applicable(value_box, option->isChecked());
}

// Values 1 to 9 pass while the user types; composing the image refuses them.
void TForm2::Edit4Change() {
    if (!rules_armed())
        return;
    if (holds(Edit4, "0"))
        error(count_range);
    std::optional<std::int32_t> count = number_in(Edit4);
    if (length_of(Edit4) >= 2 && count && *count > 9999) {
        error(count_too_big);
        set(Edit4, "10");
    }
    if (!is_empty(Edit4) && !number_in(Edit4)) {
        error(count_too_big);
        set(Edit4, "10");
    }
}

void TForm2::Edit3Change() {
    if (!rules_armed())
        return;
    std::optional<std::int32_t> days = number_in(Edit3);
    if (days && *days > 999) {
        error(days_too_big);
        set(Edit3, "1");
    }
    if (!is_empty(Edit3) && !number_in(Edit3)) {
        error(days_not_a_number);
        set(Edit3, "1");
    }
}

// ---------------------------------------------------------------- daily limit

void TForm2::Edit1Change() {
    if (holds(Edit1, "0")) {
        error(limit_zero);
        set(Edit1, "20");
    }
    std::optional<std::int32_t> limit = number_in(Edit1);
    if (limit && *limit > 9999) {
        error(limit_too_big);
        set(Edit1, "20");
    }
    if (!is_empty(Edit1) && !number_in(Edit1)) {
        error(limit_not_a_number);
        set(Edit1, "20");
    }
}

// ---------------------------------------------------------------- outputs

// An output is never driven both permanently and automatically.
void TForm2::steady_drive_click(RadioGroup* steady, RadioGroup* timed, QLineEdit* time_box) {
    if (steady->ItemIndex() == steady_on_item) {
        timed->setItemIndex(timed_off_item);
        set_box_applicable(time_box, false);
    } else if (steady->ItemIndex() == steady_off_item) {
        set_box_applicable(time_box, true);
    }
}

// Every switch to automatic drive starts from 30 seconds.
void TForm2::timed_drive_click(RadioGroup* steady, RadioGroup* timed, QLineEdit* time_box) {
    if (timed->ItemIndex() == timed_on_item) {
        steady->setItemIndex(steady_off_item);
        set_box_applicable(time_box, true);
        set(time_box, "30");
    } else if (timed->ItemIndex() == timed_off_item) {
        set_box_applicable(time_box, false);
    }
}

void TForm2::drive_time_change(RadioGroup* timed, QLineEdit* time_box, int output) {
    if (!rules_armed())
        return;
    const char* message = drive_time_range[output - 1];
    std::optional<std::int32_t> seconds = number_in(time_box);
    if (seconds && (*seconds < 1 || *seconds > 999) && timed->ItemIndex() == timed_on_item) {
        error(message);
        set(time_box, "30");
    }
    if (!is_empty(time_box) && !number_in(time_box)) {
        error(message);
        set(time_box, "30");
    }
}

// ---------------------------------------------------------------- factory

// Puts the factory settings into the controls; the numbers, the SMS centre,
// the operator and the balance-query number stay as they are.
void TForm2::SpeedButton3Click() {
    for (int user = 1; user <= 4; ++user)
        ring_mask_box(user)->setChecked(true);
    for (int user = 1; user <= 4; ++user)
        sms_mask_box(user)->setChecked(true);
    for (int input = 1; input <= 8; ++input)
        input_mask_box(input)->setChecked(true);
    RadioGroup2->setItemIndex(steady_off_item);
    RadioGroup3->setItemIndex(steady_off_item);
    RadioGroup4->setItemIndex(timed_off_item);
    RadioGroup5->setItemIndex(timed_off_item);
    Edit5->clear();
    Edit12->clear();
    CheckBox20->setChecked(false);
    CheckBox10->setChecked(false);
    Edit3->clear();
    Edit4->clear();
    CheckBox9->setChecked(false);
    CheckBox17->setChecked(true);
    set(Edit1, "20");
}

} // namespace gnc
