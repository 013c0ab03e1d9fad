// TForm4, the read window.
#include "windows/read_window.h"

#include "windows/form_layout.h"
#include "windows/forms.h"
#include "windows/main_state.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace gnc {

TForm4::TForm4(Forms& forms, QWidget* parent) : TForm(parent), forms_(forms) {
    setObjectName(QStringLiteral("TForm4"));
    use_close_box_only(this);
    ignore_escape();
    apply_form_font(this);
    fix_outer_size(this, 705, 177);
    clear_caption(this);
    place_bevel(this, "Bevel1", 0, 0, width(), height());
    // Placeholder: the read action always sets the text before showing.
    Label1 = place_label(this, "Label1", QStringLiteral("Label1"), 32, 32);
    QPalette black = Label1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(black);
    ProgressBar1 = place_bar(this, 32, 56, 633, 25, 100);
    Button1 = place_button(this, QStringLiteral("OK"), 304, 96);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm4::Button1Click() {
    close();
    if (forms_.state->link.read_failed == 0) {
        if (show_parameters_window)
            show_parameters_window();
    } else {
        forms_.state->link.link_up = 0;
    }
}

} // namespace gnc
