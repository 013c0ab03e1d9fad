// TForm6, the connect window.
#include "windows/connect_window.h"

#include "windows/form_layout.h"
#include "windows/text.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace gnc {

TForm6::TForm6(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("TForm6"));
    use_close_box_only(this);
    ignore_escape();
    apply_form_font(this);
    fix_outer_size(this, 713, 177);
    clear_caption(this);
    place_bevel(this, "Bevel1", 0, 0, width(), height());
    Label1 = place_label(this, "Label1", qs("Trwa nawiązywanie polaczenia komputera z urządzeniem"),
                         8, 16);
    Label2 = place_label(this, "Label2", QString(), 11, 32);
    ProgressBar1 = place_bar(this, 16, 64, 681, 25, 150);
    Button1 = place_button(this, QStringLiteral("OK"), 320, 96);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm6::Button1Click() {
    close();
}

} // namespace gnc
