#include "tests/editors/messages_fixture.h"

#include "image/decoder.h"
#include "windows/modal.h"

#include <QAbstractButton>
#include <QApplication>

namespace gnc::test {

MessagesFixture::MessagesFixture()
    : controller(state.link, state.link_buffer, state.image_buffer, state.port_name, port, view) {
    state.image_buffer.fill(0xFF);
    decode_parameters(state.image_buffer, state.settings);
    odczytaj_uzytkownikow(state.image_buffer, state.settings);
    forms.state = &state;
    forms.controller = &controller;
    forms.Timer1 = &timer1;
    forms.Timer2 = &timer2;
    forms.Timer3 = &timer3;
    form2 = std::make_unique<TForm2>(forms);
    forms.form2 = form2.get();
    form3 = std::make_unique<TForm3>(forms);
    forms.form3 = form3.get();
}

MessagesFixture::~MessagesFixture() {
    forms.form3 = nullptr;
    forms.form2 = nullptr;
}

void when_in_front(QWidget& window, const std::function<void()>& steps) {
    QTimer::singleShot(0, &window, [&window, steps] {
        if (QApplication::activeModalWidget() == &window)
            steps();
        else
            when_in_front(window, steps);
    });
}

void MessagesFixture::in_messages_window(const std::function<void()>& steps) {
    state.messages_window_open = 1;
    when_in_front(*form3, [this, steps] {
        steps();
        if (form3->isVisible())
            form3->close();
    });
    show_modal(*form3);
}

void MessagesFixture::through_parameters(const std::function<void()>& steps,
                                         const std::function<void()>& after) {
    when_in_front(*form2, [this, steps, after] {
        when_in_front(*form3, [this, steps] {
            steps();
            if (form3->isVisible())
                form3->close();
        });
        form2->SpeedButton1->click();
        if (after)
            after();
        form2->close();
    });
    show_modal(*form2);
}

} // namespace gnc::test
