// TForm2, the parameters window.
#pragma once
// The parameters window: SMS centre and operator, user numbers, the SMS, RING
// and input masks, output drive, balance reporting, ECHO and the daily SMS
// limit. It shows the settings values on every activation and stores its
// controls back on every deactivation; its field rules react to every change
// of a box, whether the user or the program made it.

#include "windows/window_base.h"

#include <QString>

#include <functional>
#include <map>
#include <string>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace gnc {

struct Forms;
struct MainState;
class RadioGroup;

class TForm2 : public TForm {
    Q_OBJECT
  public:
    explicit TForm2(Forms& forms, QWidget* parent = nullptr);

    void FormActivate() override;
    void FormDeactivate() override;

    // Controls, public for the image encoder, the messages window and tests.
    RadioGroup* radiogroup6 = nullptr; // "Centrum SMS": operator choice
    RadioGroup* RadioGroup2 = nullptr; // output 1 driven permanently
    RadioGroup* RadioGroup3 = nullptr; // output 2 driven permanently
    RadioGroup* RadioGroup4 = nullptr; // output 1 driven automatically
    RadioGroup* RadioGroup5 = nullptr; // output 2 driven automatically

    QLineEdit* Edit1 = nullptr;  // daily SMS limit
    QLineEdit* Edit2 = nullptr;  // balance-query number or code
    QLineEdit* Edit3 = nullptr;  // balance report every N days
    QLineEdit* Edit4 = nullptr;  // balance report every N SMS
    QLineEdit* Edit5 = nullptr;  // drive time of output 1
    QLineEdit* Edit7 = nullptr;  // SMS-centre number
    QLineEdit* Edit8 = nullptr;  // user 1
    QLineEdit* Edit9 = nullptr;  // user 2
    QLineEdit* Edit10 = nullptr; // user 3
    QLineEdit* Edit11 = nullptr; // user 4
    QLineEdit* Edit12 = nullptr; // drive time of output 2

    // SMS mask, users 1 to 4, then RING mask, users 1 to 4.
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;  // "Informuj o stanie konta"
    QCheckBox* CheckBox10 = nullptr; // "Informacja czasowa"
    QCheckBox* CheckBox17 = nullptr; // ECHO
    QCheckBox* CheckBox20 = nullptr; // "Informacja ilościowa:"
    // Input mask, inputs 1 to 8.
    QCheckBox* CheckBox21 = nullptr;
    QCheckBox* CheckBox22 = nullptr;
    QCheckBox* CheckBox23 = nullptr;
    QCheckBox* CheckBox24 = nullptr;
    QCheckBox* CheckBox25 = nullptr;
    QCheckBox* CheckBox26 = nullptr;
    QCheckBox* CheckBox27 = nullptr;
    QCheckBox* CheckBox28 = nullptr;

    QAbstractButton* SpeedButton1 = nullptr; // "Definicja alarmów i zapis ustawień"
    QAbstractButton* SpeedButton2 = nullptr; // "WSTECZ"
    QAbstractButton* SpeedButton3 = nullptr; // "Ustawienia fabryczne"

    // The mask check boxes in bit order, most significant first.
    QCheckBox* sms_mask_box(int user) const;    // user 1..4
    QCheckBox* ring_mask_box(int user) const;   // user 1..4
    QCheckBox* input_mask_box(int input) const; // input 1..8
    QLineEdit* user_box(int user) const;        // Edit8..Edit11, user 1..4

  private:
    // Construction of the controls, by section.
    void create_window();
    void create_number_section();
    void create_mask_section();
    void create_output_section();
    void create_balance_section();
    void create_other_section();
    void create_buttons();
    void connect_rules();

    // Filling and storing.
    void wyswietl_nastawy();
    void show_operator_of(const std::string& sms_centre);
    void store_controls();
    void store_balance_query_length();
    void show_test_message_controls();

    // Buttons.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    // Field rules.
    void connect_box_rule(QLineEdit* box, std::function<void()> rule);
    bool admit_text(QLineEdit* box);
    bool rules_armed() const;
    void RadioGroup6Click();
    void Edit7Change();
    void user_number_change(int user);
    void clear_test_message_user(int user);
    void forget_test_message_of(int user);
    void Edit2Change();
    void CheckBox9Click();
    void report_option_click(QCheckBox* option, QLineEdit* value_box);
    void Edit4Change();
    void Edit3Change();
    void Edit1Change();
    void steady_drive_click(RadioGroup* steady, RadioGroup* timed, QLineEdit* time_box);
    void timed_drive_click(RadioGroup* steady, RadioGroup* timed, QLineEdit* time_box);
    void drive_time_change(RadioGroup* timed, QLineEdit* time_box, int output);

    MainState& state() const;

    Forms& forms_;
    // True while FormActivate fills the controls (see FormActivate).
    bool filling_ = false;
    // The last text of each box that passed admit_text.
    std::map<const QLineEdit*, QString> admitted_text_;
    QCheckBox* sms_mask_[4] = {};
    QCheckBox* ring_mask_[4] = {};
    QCheckBox* input_mask_[8] = {};
};

} // namespace gnc
