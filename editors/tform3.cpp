#include "editors/tform3.h"

#include "windows/box_state.h"
#include "windows/forms.h"
#include "windows/text.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace gnc {

TForm3::TForm3(Forms& forms, QWidget* parent) : TForm(parent), forms_(forms) {
    setWindowTitle(qs("SYSTEM POWIADOMIENIA SMS DEFINIOWANIE PATRAMETRÓW I PROGRAMOWANIE"));
    create_test_message_controls();
}

void TForm3::create_test_message_controls() {
    CheckBox1 = new QCheckBox(qs("Wysyłanie wiadomości testowej "), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->move(288, 720);
    Edit11 = new QLineEdit(QStringLiteral("Edit11"), this);
    Edit11->setObjectName(QStringLiteral("Edit11"));
    Edit11->setGeometry(552, 712, 33, 24);
    Label11 = new QLabel(qs("Index użytkownika  (1...4)"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->move(592, 720);
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
}

// The index box applies only while a test message is to be sent. At creation
// the box is enabled although the check box is unticked, until the first tick.
void TForm3::CheckBox1Click() { set_box_applicable(Edit11, CheckBox1->isChecked()); }

} // namespace gnc
