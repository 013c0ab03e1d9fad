// TForm3, the messages window.
#pragma once
// The messages window: the SMS header, thirteen alarm texts and the test
// message, with the test-message controls and the programming and
// template-saving actions.

#include "editors/message_fields.h"
#include "windows/window_base.h"

#include <array>
#include <cstddef>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace gnc {

struct Forms;

class TForm3 : public TForm {
    Q_OBJECT
  public:
    explicit TForm3(Forms& forms, QWidget* parent = nullptr);

    // Loads the fields from the settings values on every activation.
    void FormActivate() override;
    // Stores the fields, the user index and the tick into the settings values.
    void FormDeactivate() override;

    // The text field of slot `index` (0 = Edit1 ... 14 = Edit16) and its
    // "Czyść" button.
    QLineEdit* text_field(std::size_t index) const { return text_fields_[index]; }
    QPushButton* clear_button(std::size_t index) const { return clear_buttons_[index]; }

    // Text fields in slot order; Edit11 is the user index box.
    QLineEdit* Edit1 = nullptr; // message header
    QLineEdit* Edit2 = nullptr; // 0+ ... Edit15: 8+
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QLineEdit* Edit12 = nullptr;
    QLineEdit* Edit13 = nullptr;
    QLineEdit* Edit14 = nullptr;
    QLineEdit* Edit15 = nullptr;
    QLineEdit* Edit16 = nullptr; // test message

    // Test-message controls, set by the parameters window when it shows the
    // settings and read by the image encoder.
    QCheckBox* CheckBox1 = nullptr; // "Wysyłanie wiadomości testowej "
    QLineEdit* Edit11 = nullptr;    // index of the user who gets the test message
    QLabel* Label11 = nullptr;      // "Index użytkownika  (1...4)"

    QLabel* Label1 = nullptr;  // caption above the header field
    QLabel* Label16 = nullptr; // caption above the test field
    QLabel* Label19 = nullptr; // window title line
    QLabel* Label20 = nullptr; // the limits
    QLabel* Label26 = nullptr; // caption above the alarm rows

    QToolButton* SpeedButton1 = nullptr; // factory texts
    QToolButton* SpeedButton2 = nullptr; // back
    QToolButton* SpeedButton3 = nullptr; // save a template
    QToolButton* SpeedButton4 = nullptr; // write the settings to the device
    QToolButton* SpeedButton5 = nullptr; // end the program

    // Set by a composition that found a bad value; the actions go on only
    // while it is clear after compose_image.
    bool compose_error = false;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void create_frames();
    void create_captions();
    void create_text_rows();
    void create_test_message_controls();
    void create_action_buttons();
    QToolButton* create_action_button(const char* name, const char* picture, const char* caption,
                                      QRect geometry);
    void set_keyboard_order();

    void TextFieldChange(std::size_t index);
    void ClearButtonClick(std::size_t index);
    void CheckBox1Click();
    void Edit11Change();
    bool user_number_defined(int user) const;

    void load_text(std::size_t index, const std::string& bytes);
    void store_texts();
    void store_test_message_user();
    void store_test_message_on();

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();

    // How a composition of the whole image ended: clear, refused with
    // compose_error set, or aborted by a seconds text that is not a whole
    // number (the action then goes no further at all).
    enum class Composition { clear, refused, aborted };
    Composition compose_whole_image();
    void compose_message_texts();
    void save_template_file();
    void save_report_file(QString name);
    void close_if_asked();

    Forms& forms_;
    std::array<QLineEdit*, message_field_count> text_fields_{};
    std::array<QPushButton*, message_field_count> clear_buttons_{};
    std::array<QString, message_field_count> last_accepted_{};
    bool close_asked_ = false;
    bool loading_ = false; // FormActivate is putting the values into the fields
};

} // namespace gnc
