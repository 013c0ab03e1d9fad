#include "editors/parameters_snapshot.h"

#include "editors/parameters_window.h"
#include "windows/radio_group.h"
#include "windows/text.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gnc {

namespace {

std::string bytes_of(const QLineEdit* box) {
    return to_cp1250(box->text());
}

} // namespace

ParametersControls read_parameters_controls(const TForm2& form) {
    ParametersControls p;
    p.Edit7 = bytes_of(form.Edit7);
    p.Edit8 = bytes_of(form.Edit8);
    p.Edit9 = bytes_of(form.Edit9);
    p.Edit10 = bytes_of(form.Edit10);
    p.Edit11 = bytes_of(form.Edit11);
    p.CheckBox17 = form.CheckBox17->isChecked();
    for (int user = 1; user <= 4; ++user) {
        p.sms_mask_boxes[user - 1] = form.sms_mask_box(user)->isChecked();
        p.ring_mask_boxes[user - 1] = form.ring_mask_box(user)->isChecked();
    }
    for (int input = 1; input <= 8; ++input)
        p.input_mask_boxes[input - 1] = form.input_mask_box(input)->isChecked();
    p.RadioGroup2 = form.RadioGroup2->ItemIndex();
    p.RadioGroup3 = form.RadioGroup3->ItemIndex();
    p.RadioGroup4 = form.RadioGroup4->ItemIndex();
    p.RadioGroup5 = form.RadioGroup5->ItemIndex();
    p.Edit5 = bytes_of(form.Edit5);
    p.Edit12 = bytes_of(form.Edit12);
    p.Edit1 = bytes_of(form.Edit1);
    p.CheckBox20 = form.CheckBox20->isChecked();
    p.Edit4 = bytes_of(form.Edit4);
    p.CheckBox10 = form.CheckBox10->isChecked();
    p.Edit3 = bytes_of(form.Edit3);
    p.CheckBox9 = form.CheckBox9->isChecked();
    p.Edit2 = bytes_of(form.Edit2);
    return p;
}

} // namespace gnc
