// TForm5, the programming window.
#include "windows/programming_window.h"

#include "windows/form_layout.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace gnc {

TForm5::TForm5(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("TForm5"));
    use_close_box_only(this);
    ignore_escape();
    apply_form_font(this);
    fix_outer_size(this, 713, 161);
    clear_caption(this);
    place_bevel(this, "Bevel1", 0, 0, width(), height());
    // Placeholder: the programming start always sets the text before showing.
    Label1 = place_label(this, "Label1", QStringLiteral("Label1"), 56, 24);
    ProgressBar1 = place_bar(this, 40, 56, 625, 25, 100);
    Button1 = place_button(this, QStringLiteral("OK"), 304, 96);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm5::Button1Click() {
    close();
}

} // namespace gnc
