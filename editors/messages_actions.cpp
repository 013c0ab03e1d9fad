// TForm3, the messages window: its programming and template-saving actions.
// The actions at the foot of the messages window: writing the settings to the
// device, saving a template, going back and ending the program.

#include "editors/messages_snapshot.h"
#include "editors/messages_window.h"
#include "editors/parameters_snapshot.h"
#include "editors/parameters_window.h"
#include "editors/settings_sheet.h"
#include "image/encoder.h"
#include "image/template_file.h"
#include "link/link_controller.h"
#include "windows/end_program.h"
#include "windows/file_dialogs.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/text.h"

#include <QDateTime>
#include <QTimer>

namespace gnc {

namespace {

void show_encoder_message(const std::string& utf8) {
    show_error_box(QString::fromStdString(utf8));
}

} // namespace

TForm3::Composition TForm3::compose_whole_image() {
    const EncoderInput input{read_parameters_controls(*forms_.form2),
                             read_messages_controls(*this)};
    const ComposeResult result = compose_image(forms_.state->image_buffer, forms_.state->settings,
                                               input, show_encoder_message);
    compose_error = result.compose_error;
    close_asked_ = close_asked_ || result.close_messages_window;
    if (result.invalid_integer_text) {
        show_error_box(
            QString::fromStdString(invalid_integer_message(*result.invalid_integer_text)));
        return Composition::aborted;
    }
    return compose_error ? Composition::refused : Composition::clear;
}

void TForm3::compose_message_texts() {
    if (compose_texts(forms_.state->image_buffer, read_messages_controls(*this),
                      show_encoder_message))
        compose_error = true;
}

// The encoder may ask for this window to close so that a parameter can be
// corrected; the request takes effect once the action has finished.
void TForm3::close_if_asked() {
    if (!close_asked_)
        return;
    close_asked_ = false;
    close();
}

// "Zapis ustawień do urządzenia"
void TForm3::SpeedButton4Click() {
    LinkState& link = forms_.state->link;
    link.watchdog_armed = 0;
    if (link.link_up != 1) {
        show_error_box(qs("Zapis ustawień nie może być przeprowadzony, Wybierz port komputera, "
                          "wyłącz i włącz urządzenie a następnie nacinij przycisk \"Nawiąż "
                          "połączenie\""));
        return;
    }
    switch (compose_whole_image()) {
    case Composition::refused:
        show_error_box(qs("Zapis ustawień nie może być przeprowadzony,skoryguj ustawienia"));
        break;
    case Composition::clear:
        forms_.Timer1->setInterval(exchange_tick_ms);
        forms_.controller->start_programming();
        break;
    case Composition::aborted:
        break;
    }
    close_if_asked();
}

// "Zapis szablonu na dysk". Whatever happens, a programming run that is still
// sending pages stops, with its watch: the image it sends may just have been
// recomposed.
void TForm3::SpeedButton3Click() {
    if (compose_whole_image() == Composition::clear)
        save_template_file();
    forms_.controller->stop_programming();
    close_if_asked();
}

// The dialog's second file type writes the settings report of the composed
// image instead of the template.
void TForm3::save_template_file() {
    const FileChoice choice = ask_save_file_name(qs("sbn|sbn|Raport ustawień|*.pdf"));
    if (choice.name.isEmpty())
        return;
    if (choice.file_type == 1) {
        save_report_file(choice.name);
        return;
    }
    if (save_template(file_name_bytes(choice.name), forms_.state->image_buffer))
        show_plain_box(qs("Operacja zapisu do pliku przeprowadzona pomyślnie"));
    else
        show_plain_box(qs("Operacja zapisu nie powiodła się"));
}

// A report named without ".pdf" gets it, so that it opens as a PDF.
void TForm3::save_report_file(QString name) {
    if (!name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        name += QStringLiteral(".pdf");
    const MainState& state = *forms_.state;
    const SheetOrigin origin = state.settings_origin.empty()
                                   ? windows_origin()
                                   : SheetOrigin{QString::fromStdString(state.settings_origin)};
    if (save_settings_sheet(file_name_bytes(name), state.image_buffer, origin,
                            QDateTime::currentDateTime()))
        show_plain_box(qs("Raport ustawień został zapisany"));
    else
        show_plain_box(qs("Operacja zapisu nie powiodła się"));
}

// "Wstecz": keeps the edited texts in the image, because the parameters window
// decodes them from the image afresh whenever it opens this window again.
void TForm3::SpeedButton2Click() {
    store_texts();
    store_test_message_user();
    compose_message_texts();
    store_test_message_on();
    close();
}

// "WYJŚCIE"
void TForm3::SpeedButton5Click() {
    end_program();
}

} // namespace gnc
