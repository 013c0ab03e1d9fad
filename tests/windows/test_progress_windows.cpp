// The progress windows and the link-lost notice: the bars the link
// controller counts on, the read window's OK after a good and a failed read,
// and a notice that only its OK can dismiss.

#include "link/link_texts.h"
#include "tests/support/modal_watcher.h"
#include "windows/form_layout.h"
#include "windows/forms.h"
#include "windows/main_state.h"
#include "windows/modal.h"
#include "windows/link_lost_notice.h"
#include "windows/read_window.h"
#include "windows/programming_window.h"
#include "windows/connect_window.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace gnc;

namespace {

const char* const link_lost_status =
    "Nastąpiło zerwanie komunikacji z programem.Wyłącz i włącz urządzenie, wybierz port a "
    "następnie nasiśnij przycisk \"Nawiąż połączenie\"";

// Runs `action` once the event loop runs, i.e. inside the modal window that
// the test is about to open.
void later(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
}

} // namespace

class TestProgressWindows : public QObject {
    Q_OBJECT
    MainState state;
    Forms forms;
    QWidget main_window;
    FormEvents main_events;

  private slots:
    void init() {
        closed_.clear();
        state = MainState{};
        forms = Forms{};
        forms.state = &state;
        main_window.show();
        set_main_form(&main_window, &main_events);
    }

    void bars_start_at_zero_with_their_ranges() {
        TForm6 connect;
        TForm4 read(forms);
        TForm5 programming;
        QCOMPARE(connect.ProgressBar1->value(), 0);
        QCOMPARE(connect.ProgressBar1->maximum(), 150);
        QCOMPARE(read.ProgressBar1->value(), 0);
        QCOMPARE(read.ProgressBar1->maximum(), 100);
        QCOMPARE(programming.ProgressBar1->maximum(), 100);
        QCOMPARE(connect.ProgressBar1->geometry(), QRect(16, 64, 681, 25));
        QCOMPARE(read.ProgressBar1->geometry(), QRect(32, 56, 633, 25));
        QCOMPARE(programming.ProgressBar1->geometry(), QRect(40, 56, 625, 25));
        // Outer sizes 713 x 177, 705 x 177, 713 x 161 less the title bar and borders.
        QCOMPARE(connect.size(), QSize(705, 145));
        QCOMPARE(read.size(), QSize(697, 145));
        QCOMPARE(programming.size(), QSize(705, 129));
        // No caption text, yet not an empty title: the platform would show
        // the program's name in place of an empty one.
        for (QWidget* window : std::initializer_list<QWidget*>{&connect, &read, &programming}) {
            QVERIFY(!window->windowTitle().isEmpty());
            QVERIFY(window->windowTitle().trimmed().isEmpty());
        }
        QCOMPARE(connect.Label1->text(),
                 QString::fromUtf8("Trwa nawiązywanie polaczenia komputera z urządzeniem"));
    }

    void every_link_text_fits_inside_its_window() {
        TForm6 connect;
        TForm4 read(forms);
        TForm5 programming;
        const auto fits = [](QLabel* label, const char* text) {
            set_label_text(label, QString::fromUtf8(text));
            return label->geometry().right() < label->parentWidget()->width();
        };
        for (const char* text : {text_connecting, text_connected_window, text_connect_failed})
            QVERIFY2(fits(connect.Label1, text), text);
        QVERIFY(fits(connect.Label2, text_connect_failed_advice));
        for (const char* text : {text_reading, text_read_done, text_read_failed})
            QVERIFY2(fits(read.Label1, text), text);
        for (const char* text : {text_programming, text_programming_done, text_programming_failed})
            QVERIFY2(fits(programming.Label1, text), text);
    }

    void read_ok_after_a_good_read_opens_the_parameters_window() {
        TForm4 read(forms);
        int parameters_shown = 0;
        bool read_window_closed_first = false;
        read.show_parameters_window = [&] {
            ++parameters_shown;
            read_window_closed_first = !read.isVisible();
        };
        state.link.link_up = 1;
        later([&] { read.Button1->click(); });
        show_modal(read);
        QCOMPARE(parameters_shown, 1);
        QVERIFY(read_window_closed_first);
        QCOMPARE(state.link.link_up, 1);
    }

    void read_ok_after_a_failed_read_drops_the_link() {
        TForm4 read(forms);
        int parameters_shown = 0;
        read.show_parameters_window = [&] { ++parameters_shown; };
        state.link.link_up = 1;
        state.link.read_failed = 1;
        later([&] { read.Button1->click(); });
        show_modal(read);
        QCOMPARE(parameters_shown, 0);
        QCOMPARE(state.link.link_up, 0);
        QVERIFY(!read.isVisible());
    }

    void closing_the_read_window_by_its_box_opens_nothing() {
        TForm4 read(forms);
        int parameters_shown = 0;
        read.show_parameters_window = [&] { ++parameters_shown; };
        later([&] { read.close(); });
        show_modal(read);
        QCOMPARE(parameters_shown, 0);
    }

    // Escape neither closes a progress window nor runs its OK: the read
    // window would then never open the parameters window.
    void escape_leaves_the_progress_windows_open() {
        TForm6 connect;
        TForm4 read(forms);
        TForm5 programming;
        int parameters_shown = 0;
        read.show_parameters_window = [&] { ++parameters_shown; };
        for (TForm* window : std::initializer_list<TForm*>{&connect, &read, &programming}) {
            bool open_after_escape = false;
            later([&] {
                QTest::keyClick(window, Qt::Key_Escape);
                open_after_escape = window->isVisible();
                window->close();
            });
            show_modal(*window);
            QVERIFY2(open_after_escape, qPrintable(window->objectName()));
        }
        QCOMPARE(parameters_shown, 0);
    }

    void the_notice_yields_only_to_its_ok() {
        TForm11 notice(forms);
        QCOMPARE(notice.windowTitle(), QStringLiteral("DOMOWY SYSTEM POWIADOMIENIA SMS"));
        QVERIFY(!(notice.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(notice.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(notice.Label1->text(),
                 QString::fromUtf8("Nastąpiło zerwanie komunikacji z  programem  "));
        QString status;
        notice.set_status_text = [&](const QString& text) { status = text; };
        bool survived_escape_and_close = false;
        later([&] {
            QTest::keyClick(&notice, Qt::Key_Escape);
            notice.close();
            notice.reject();
            survived_escape_and_close = notice.isVisible();
            notice.Button1->click();
        });
        state.link.link_up = 1;
        show_modal(notice);
        QVERIFY(survived_escape_and_close);
        QVERIFY(!notice.isVisible());
        QCOMPARE(state.link.link_up, 0);
        QCOMPARE(status, QString::fromUtf8(link_lost_status));
    }

    void the_notice_closes_the_windows_under_it_in_order() {
        TForm11 notice(forms);
        TForm6 connect;
        TForm5 programming;
        QDialog not_open;
        for (QWidget* w : std::initializer_list<QWidget*>{&connect, &programming, &not_open})
            w->installEventFilter(this);
        connect.setObjectName(QStringLiteral("connect"));
        programming.setObjectName(QStringLiteral("programming"));
        notice.windows_to_close = {&programming, &not_open, &connect};
        later([&] { show_modal(programming); });
        test::ModalWatcher watcher;
        watcher.on_window = [&](QWidget* w) {
            if (w == &programming)
                later([&] { show_modal(connect); });
            else if (w == &connect)
                later([&] { show_modal(notice); });
            else if (w == &notice)
                later([&] { notice.Button1->click(); });
        };
        QVERIFY(test::wait_until([&] { return closed_.size() >= 2; }, 5000));
        QVERIFY(test::wait_until([&] { return !programming.isVisible(); }, 5000));
        QCOMPARE(closed_, (QStringList{QStringLiteral("programming"), QStringLiteral("connect")}));
        QVERIFY(!connect.isVisible() && !notice.isVisible() && !not_open.isVisible());
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !watched->objectName().isEmpty())
            closed_ << watched->objectName();
        return false;
    }

  private:
    QStringList closed_;
};

QTEST_MAIN(TestProgressWindows)
#include "test_progress_windows.moc"
