#include "app/app_windows.h"

#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "link/link_controller.h"
#include "link/searching_port.h"
#include "windows/connect_window.h"
#include "windows/end_program.h"
#include "windows/info_windows.h"
#include "windows/link_lost_notice.h"
#include "windows/modal.h"
#include "windows/programming_window.h"
#include "windows/read_window.h"

#include <QLabel>

namespace gnc {

AppWindows::AppWindows(LinkPort* port) {
    if (port == nullptr) {
        serial_port_ = std::make_unique<SearchingPort>();
        port = serial_port_.get();
        // The exit buttons and the ending signals end the program at once;
        // the port is released first, or the next program finds it locked.
        release_at_program_end([this] { serial_port_->close(); });
    }
    port_ = port;
    create_windows();
    wire_windows();
    if (serial_port_ != nullptr) {
        TForm1* main = forms_.form1;
        serial_port_->on_found = [main](const std::string& name) { main->show_found_port(name); };
    }
}

AppWindows::~AppWindows() {
    if (serial_port_ != nullptr)
        release_at_program_end(nullptr);
    // The controller refers to the main window; the other windows are the
    // main window's children and go with it.
    controller_.reset();
    form1_.reset();
}

void AppWindows::create_windows() {
    form1_ = std::make_unique<TForm1>(forms_);
    TForm1* main = form1_.get();
    forms_.form1 = main;
    forms_.state = main;
    forms_.Timer1 = main->Timer1;
    forms_.Timer2 = main->Timer2;
    forms_.Timer3 = main->Timer3;
    controller_ = std::make_unique<LinkController>(
        main->link, main->link_buffer, main->image_buffer, main->port_name, *port_, *main);
    forms_.controller = controller_.get();

    forms_.form2 = new TForm2(forms_, main);
    forms_.form3 = new TForm3(forms_, main);
    forms_.form4 = new TForm4(forms_, main);
    forms_.form5 = new TForm5(main);
    forms_.form6 = new TForm6(main);
    forms_.form7 = new TForm7(main);
    forms_.form8 = new TForm8(main);
    forms_.form10 = new TForm10(main);
    forms_.form11 = new TForm11(forms_, main);
}

void AppWindows::wire_windows() {
    TForm1* main = forms_.form1;
    set_main_form(main, main);
    forms_.form4->show_parameters_window = [this] { show_modal(*forms_.form2); };
    forms_.form11->windows_to_close = {forms_.form2, forms_.form3, forms_.form4,
                                       forms_.form5, forms_.form6, forms_.form7};
    forms_.form11->set_status_text = [main](const QString& text) { main->Label5->setText(text); };
}

void AppWindows::show() {
    forms_.form1->show();
}

} // namespace gnc
