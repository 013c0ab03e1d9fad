// gnc-screenshots: renders the main window, the parameters window and the
// messages window of the real program into PNG files, with the settings of a
// template loaded through the main window's own "load template" button.
//   QT_QPA_PLATFORM=offscreen gnc-screenshots TEMPLATE OUTPUT_FOLDER
// scripts/screenshots.sh runs it for the README's pictures.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "app/toolkit_language.h"
#include "editors/parameters_window.h"
#include "editors/messages_window.h"
#include "resources/resource_paths.h"
#include "windows/file_dialogs.h"
#include "windows/main_state.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <functional>

namespace {

constexpr int give_up_ms = 60000;

// Runs `steps` once `window` is the modal window in front.
void when_in_front(QWidget& window, const std::function<void()>& steps) {
    QTimer::singleShot(20, &window, [&window, steps] {
        if (QApplication::activeModalWidget() == &window)
            steps();
        else
            when_in_front(window, steps);
    });
}

void wait_until(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < give_up_ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

class Renderer {
  public:
    Renderer(gnc::AppWindows& windows, const QDir& folder) : windows_(windows), folder_(folder) {}

    // Main window as it starts; then the template's settings in the two
    // editor windows, reached as a user reaches them.
    void render_all(const QString& template_path) {
        save(windows_.main_window(), "main-window.png");
        gnc::override_open_dialog([template_path](const QString&) { return template_path; });
        gnc::Forms& forms = windows_.forms();
        when_in_front(*forms.form2, [this, &forms] {
            // Let the window settle as it does after opening.
            wait_until([&forms] { return forms.state->parameter_rules_armed == 1; });
            save(*forms.form2, "parameters-window.png");
            when_in_front(*forms.form3, [this, &forms] {
                save(*forms.form3, "messages-window.png");
                forms.form3->close();
            });
            forms.form2->SpeedButton1->click();
            forms.form2->close();
        });
        windows_.main_window().SpeedButton7->click();
        gnc::override_open_dialog({});
    }

    int saved() const { return saved_; }

  private:
    void save(QWidget& window, const char* name) {
        // A blinking text cursor would be caught in one phase or the other.
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
        const QString path = folder_.filePath(QString::fromLatin1(name));
        if (window.grab().save(path, "PNG")) {
            ++saved_;
            std::printf("wrote %s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        }
    }

    gnc::AppWindows& windows_;
    QDir folder_;
    int saved_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TEMPLATE OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("gsm-notifier-config"));
    QApplication::setWindowIcon(gnc::pictures::application_icon());
    gnc::install_polish_toolkit_texts(application);
    // The arguments as the toolkit read them: whole Unicode names on Windows
    // too, where argv holds only what the local code page can.
    const QStringList arguments = QApplication::arguments();
    const QDir folder(arguments.at(2));
    QDir().mkpath(folder.path());

    gnc::AppWindows windows;
    windows.show();
    Renderer renderer(windows, folder);
    // A message box or a window that never comes would otherwise wait for
    // ever: give up instead.
    QTimer::singleShot(give_up_ms, [] {
        std::fprintf(stderr, "gnc-screenshots: the windows did not come up in time\n");
        QCoreApplication::exit(1);
    });
    QTimer::singleShot(0, [&] {
        renderer.render_all(arguments.at(1));
        QCoreApplication::exit(renderer.saved() == 3 ? 0 : 1);
    });
    return QApplication::exec();
}
