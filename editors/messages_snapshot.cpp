#include "editors/messages_snapshot.h"

#include "editors/messages_window.h"
#include "windows/text.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gnc {

static_assert(message_field_count == text_slot_count);

MessagesControls read_messages_controls(const TForm3& form) {
    MessagesControls controls;
    controls.CheckBox1 = form.CheckBox1->isChecked();
    controls.Edit11 = to_cp1250(form.Edit11->text());
    for (std::size_t i = 0; i < message_field_count; ++i)
        controls.texts[i] = to_cp1250(form.text_field(i)->text());
    return controls;
}

} // namespace gnc
