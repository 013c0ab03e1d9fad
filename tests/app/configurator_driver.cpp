// The configurator started as a user starts it (the same start-up as its
// main()), with its windows worked by a short script instead of a person:
//
//   configurator_driver connect exit-main|exit-messages|close-box|wait
//       connects on COM1, prints "connected" once the port is open and, once
//       a line arrives on its input, ends by the main window's exit button,
//       the messages window's exit button or the main window's close box
//       ("wait": ends only by a signal);
//   configurator_driver save PATH
//       saves the erased defaults as a template through the parameters and
//       messages windows, prints the message box's text and ends.

#include "app/app_windows.h"
#include "app/configurator.h"
#include "app/main_window.h"
#include "editors/messages_window.h"
#include "editors/parameters_window.h"
#include "link/searching_port.h"
#include "windows/connect_window.h"
#include "windows/file_dialogs.h"
#include "windows/forms.h"
#include "windows/radio_group.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace gnc;

namespace {

void say(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

// Runs `step` every 50 ms from the event loop (also inside modal windows)
// until it returns true.
void every_50_ms_until(std::function<bool()> step) {
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step = std::move(step)] {
        if (step())
            timer->stop();
    });
    timer->start();
}

void end_as(const std::string& way, AppWindows& app) {
    Forms& forms = app.forms();
    if (way == "exit-main") {
        forms.form6->close();
        QTimer::singleShot(0, [&app] { app.main_window().SpeedButton2->click(); });
    } else if (way == "exit-messages") {
        forms.form3->SpeedButton5->click();
    } else if (way == "close-box") {
        forms.form6->close();
        QTimer::singleShot(0, [&app] { app.main_window().close(); });
    }
}

void connect_then_end(AppWindows& app, const std::string& way) {
    every_50_ms_until([&app, way] {
        auto* port = dynamic_cast<SearchingPort*>(&app.port());
        if (port == nullptr || !port->is_open())
            return false;
        say(QStringLiteral("connected"));
        // Ends once the test has looked at the port and writes a line.
        auto* input =
            new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(input, &QSocketNotifier::activated, input, [input, &app, way] {
            input->setEnabled(false);
            end_as(way, app);
        });
        return true;
    });
    QTimer::singleShot(0, [&app] { app.main_window().SpeedButton1->click(); });
}

void save_template_as(AppWindows& app, const QString& path) {
    override_save_dialog([path](const QString&) { return path; });
    Forms& forms = app.forms();
    // Clicks are deferred: a button that opens a modal window would hold
    // this timer's slot, and Qt does not deliver a timer whose slot waits.
    every_50_ms_until([&forms, opened = false, saved = false]() mutable {
        QWidget* front = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(front)) {
            say(box->text());
            std::_Exit(EXIT_SUCCESS);
        }
        if (front == forms.form2 && !opened) {
            opened = true;
            forms.form2->radiogroup6->item(0)->click(); // an operator: a valid SMS centre
            QTimer::singleShot(0, forms.form2->SpeedButton1, &QAbstractButton::click);
        } else if (front == forms.form3 && !saved) {
            saved = true;
            QTimer::singleShot(0, forms.form3->SpeedButton3, &QAbstractButton::click);
        }
        return false;
    });
    QTimer::singleShot(0, [&app] { app.main_window().SpeedButton6->click(); });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "connect") != 0 && std::strcmp(argv[1], "save") != 0)) {
        std::fputs("usage: configurator_driver connect WAY | save PATH\n", stderr);
        return 2;
    }
    const std::string action = argv[1];
    const std::string argument = argv[2];
    int qt_argc = 1;
    return run_configurator(qt_argc, argv, [&](AppWindows& app) {
        if (action == "connect")
            connect_then_end(app, argument);
        else
            save_template_as(app, QString::fromLocal8Bit(argument.c_str()));
    });
}
