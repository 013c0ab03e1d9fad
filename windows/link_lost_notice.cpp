// TForm11, the link-lost notice.
#include "windows/link_lost_notice.h"

#include "windows/form_layout.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/text.h"

#include <QLabel>
#include <QPushButton>

namespace gnc {

TForm11::TForm11(Forms& forms, QWidget* parent) : TForm(parent), forms_(forms) {
    setObjectName(QStringLiteral("TForm11"));
    // A caption but no system menu, so no close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    apply_form_font(this);
    fix_outer_size(this, 537, 193);
    setWindowTitle(QString::fromUtf8(application_title));
    place_bevel(this, "Bevel1", 0, 0, width(), height());
    Label1 =
        place_label(this, "Label1", qs("Nastąpiło zerwanie komunikacji z  programem  "), 144, 40);
    Button1 = place_button(this, QStringLiteral("OK"), 248, 88);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm11::Button1Click() {
    closing_by_ok_ = true;
    close();
    closing_by_ok_ = false;
    for (QWidget* window : windows_to_close)
        if (window != nullptr)
            window->close();
    forms_.state->link.link_up = 0;
    if (set_status_text)
        set_status_text(qs("Nastąpiło zerwanie komunikacji z programem.Wyłącz i włącz urządzenie, "
                           "wybierz port a następnie nasiśnij przycisk \"Nawiąż połączenie\""));
}

void TForm11::reject() {
    if (closing_by_ok_)
        TForm::reject();
}

} // namespace gnc
