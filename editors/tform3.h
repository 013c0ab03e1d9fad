#pragma once
// The messages window: the SMS header, thirteen alarm texts and the test
// message, with the test-message controls and the programming and
// template-saving actions.

#include "windows/tform.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace gnc {

struct Forms;

class TForm3 : public TForm {
    Q_OBJECT
public:
    explicit TForm3(Forms& forms, QWidget* parent = nullptr);

    // Test-message controls, set by the parameters window when it shows the
    // settings and read by the image encoder.
    QCheckBox* CheckBox1 = nullptr; // "Wysyłanie wiadomości testowej "
    QLineEdit* Edit11 = nullptr;    // index of the user who gets the test message
    QLabel* Label11 = nullptr;      // "Index użytkownika  (1...4)"

private:
    void create_test_message_controls();
    void CheckBox1Click();

    Forms& forms_;
};

} // namespace gnc
